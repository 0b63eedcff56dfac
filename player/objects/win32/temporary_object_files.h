#pragma once
// The files object reading makes on Windows: sounds of sound objects and hotspots
// written to the temporary folder, the editor's scratch files cleared away, and
// the messages a damaged or missing sound gives.

#include <windows.h>

#include <string>
#include <vector>

#include "player/objects/object_section.h"
#include "player/objects/reports_once.h"

namespace quillet {

class TemporaryObjectFiles : public ObjectReadHost {
public:
    TemporaryObjectFiles() = default;
    ~TemporaryObjectFiles() override { deleteCreated(); }
    TemporaryObjectFiles(const TemporaryObjectFiles&) = delete;
    TemporaryObjectFiles& operator=(const TemporaryObjectFiles&) = delete;

    // The movie being read (object sounds kept beside it are found there) and the
    // window that owns the messages. Each kind of failure is reported once a movie.
    void setMovie(const std::string& moviePath, HWND messageOwner);
    // Deletes every sound file this reader wrote, in the order they were written.
    void deleteCreated();
    const std::vector<std::string>& created() const { return created_; }

    Size screen() const override;
    std::string createSoundFile(const std::string& name) override;
    bool appendFile(const std::string& path, const uint8_t* bytes, size_t length) override;
    std::string attachedSoundPath(const AttachedSound& sound, bool separate) override;
    void report(const char* text) override;
    void afterSection(bool sweepTemporaryFiles) override;

private:
    std::string moviePath_;
    HWND messageOwner_ = nullptr;
    std::vector<std::string> created_;
    ReportsOncePerKind reported_;
};

}  // namespace quillet
