#pragma once
// What the movie readers ask of the machine, answered in memory for the fuzz
// targets: there is no sound device, nothing exists beforehand, and every file a
// reader would write is counted and dropped.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "player/audio/sound_tracks.h"
#include "player/objects/object_section.h"

namespace quillet::fuzzing {

class NoSoundDevice : public SoundSystem {
public:
    std::unique_ptr<SoundOutput> open(void*) override { return nullptr; }
};

class CountingSoundHost : public SoundTrackHost {
public:
    std::string temporaryFolder() override { return "T/"; }
    bool fileExists(const std::string&) override { return false; }
    std::unique_ptr<OutputFile> createFile(const std::string&) override { return std::make_unique<Counted>(written); }
    void deleteFile(const std::string&) override {}
    void report(const std::string&) override {}
    void waitBeforeRetry() override {}
    uint64_t nowMs() override { return 0; }
    void* window() override { return nullptr; }
    uint64_t written = 0;

private:
    class Counted : public OutputFile {
    public:
        explicit Counted(uint64_t& total) : total_(total) {}
        bool write(const void*, size_t length) override {
            total_ += length;
            return true;
        }

    private:
        uint64_t& total_;
    };
};

class CountingObjectHost : public ObjectReadHost {
public:
    Size screen() const override { return {800, 600}; }
    std::string createSoundFile(const std::string& name) override { return name.empty() ? "qlt.tmp" : name; }
    bool appendFile(const std::string&, const uint8_t*, size_t length) override {
        written += length;
        return true;
    }
    std::string attachedSoundPath(const AttachedSound& sound, bool) override { return sound.name; }
    void report(const char*) override {}
    void afterSection(bool) override {}
    uint64_t written = 0;
};

}  // namespace quillet::fuzzing
