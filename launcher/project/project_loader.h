#pragma once
// The project loader: reads the project description, creates the viewer components
// in its order, unpacks the project archive where the security component says, and
// reports every step to the loading window.

#include <cstdint>
#include <string>

#include "launcher/project/loading_block.h"
#include "launcher/project/record_reader.h"

namespace quillet::project {

// The loader's reports (the codes of UPDATE_LOADING_WINDOW).
enum LoadingReport : uint32_t {
    kReportLoadingBegins = 0,
    kReportComponentLoaded = 1,
    kReportExtractionBegins = 2,
    kReportEntryHandled = 3,
    kReportStartingBegins = 4,
    kReportComponentStarted = 5,
    kReportFinished = 6,
    kReportAbandoned = 7,
};

constexpr char kDescriptionName[] = "orvane.dat";
constexpr char kArchiveName[] = "Orvane.sdf";
constexpr size_t kExtractionBufferSize = 65536;
constexpr int kPhaseWaitMs = 250;
// The smallest record a content component can have: its kind.
constexpr size_t kSmallestComponentBytes = kRecordHeaderSize + kIntegerPayloadSize;

// What the loader needs of the program around it.
class LoaderHost {
public:
    virtual ~LoaderHost() = default;
    // Delivered before the loader goes on.
    virtual void report(uint32_t code, int32_t value) = 0;
    virtual void wait(int milliseconds) = 0;
    // A new component of kind, owned by the host until the program ends; nullptr
    // for a kind the viewer library does not have.
    virtual viewer::CViewerComponent* createComponent(int32_t kind) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Why a load was given up, for the diagnostic output.
    virtual void note(const std::string& /*text*/) {}
};

class CThreadLoadProject {
public:
    explicit CThreadLoadProject(LoaderHost& host) : host_(host) {}
    void load(LoadingBlock& block);

private:
    void loadDescription(LoadingBlock& block);
    viewer::CViewerComponent* createAndOwn(int32_t kind, const LoadingBlock& block);
    void extractArchive(const std::string& path, viewer::CSecurityComponent& security);

    LoaderHost& host_;
    RecordReader reader_;
};

// Thrown inside the loader for a description it cannot go on with.
struct DamagedDescription {
    std::string reason;
};

// folder + the platform's separator + name.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace quillet::project
