#pragma once
// The project loader: reads the project description, creates the viewer components
// in its order, unpacks the project archive where the security component says, and
// reports every step to the loading window.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "launcher/archive/zip_file_system.h"
#include "launcher/archive/zip_reader.h"
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
// The most content components a description may ask for. Each one holds a window of
// its own, and Windows gives a process 10 000 window-manager objects by default (Wine
// a whole session about 32 700): a larger count cannot load, and no disc needs it.
constexpr int32_t kMaxComponents = 4096;
// What the user is told when the launcher itself ran short while loading.
constexpr char kShortageText[] =
    "This disc's project could not be started: the computer ran out of resources while loading it.";

// What the loader needs of the program around it.
class LoaderHost {
public:
    virtual ~LoaderHost() = default;
    // Delivered before the loader goes on.
    virtual void report(uint32_t code, int32_t value) = 0;
    virtual void wait(int milliseconds) = 0;
    // A new component of kind, owned by the host until the program ends; nullptr
    // for a kind the viewer library does not have.
    virtual viewer::ViewerComponent* createComponent(int32_t kind) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Why a load was given up, for the diagnostic output.
    virtual void note(const std::string& /*text*/) {}
    // A load given up because the launcher could not make what the project needs (a
    // component, its window, memory). Unlike a damaged description, this is no fault
    // of the disc, and ending without a word would leave the user guessing.
    virtual void tellUser(const std::string& /*text*/) {}
    // Where the project archive is read and extracted.
    virtual zip::ExtractionFileSystem& fileSystem() { return zip::hostFileSystem(); }
};

class CThreadLoadProject {
public:
    explicit CThreadLoadProject(LoaderHost& host) : host_(host) {}
    void load(LoadingBlock& block);

private:
    void loadDescription(LoadingBlock& block);
    viewer::ViewerComponent* createAndOwn(int32_t kind, const LoadingBlock& block);
    void extractArchive(const std::string& path, viewer::SecurityComponent& security);

    LoaderHost& host_;
    RecordReader reader_;
};

// Thrown inside the loader for a description it cannot go on with.
struct DamagedDescription {
    std::string reason;
};

// Thrown inside the loader when the launcher could not make what the project needs.
struct LauncherShortage {
    std::string reason;
};

// An archive entry that the security component gives no target name, or whose stored
// name it cannot see whole.
class RefusedEntry : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Handles archive entry index as the loader does: asks the security component for the
// entry's target name and folder, extracts it there unless it is present and current,
// and hands it over to be recorded. Throws RefusedEntry, or the archive's errors.
void handleArchiveEntry(ZipReader& archive, size_t index, viewer::SecurityComponent& security);

// folder + the platform's separator + name.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace quillet::project
