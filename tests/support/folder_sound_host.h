#pragma once
// The machine as the sound tracks see it, over a real folder: files are written,
// tested and deleted there, and what the tracks create, delete and report is kept
// for the test to look at.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "player/audio/sound_tracks.h"

namespace quillet::testing {

class FolderSoundHost : public SoundTrackHost {
public:
    explicit FolderSoundHost(std::filesystem::path temporaryFolder) : folder_(std::move(temporaryFolder)) {}

    std::string temporaryFolder() override { return folder_.string() + "/"; }
    bool fileExists(const std::string& path) override { return std::filesystem::exists(path); }
    std::unique_ptr<OutputFile> createFile(const std::string& path) override {
        if (!writable) return nullptr;
        created.push_back(path);
        return std::make_unique<File>(path);
    }
    void deleteFile(const std::string& path) override {
        deleted.push_back(path);
        std::filesystem::remove(path);
    }
    void report(const std::string& text) override { reports.push_back(text); }
    void waitBeforeRetry() override { ++waits; }
    uint64_t nowMs() override { return now; }
    void* window() override { return nullptr; }

    // False: no file can be made.
    bool writable = true;
    std::vector<std::string> created, deleted, reports;
    int waits = 0;
    uint64_t now = 1000;

private:
    class File : public OutputFile {
    public:
        explicit File(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {}
        bool write(const void* data, size_t length) override {
            out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
            return static_cast<bool>(out_);
        }

    private:
        std::ofstream out_;
    };
    std::filesystem::path folder_;
};

// A whole file's bytes; empty when there is none.
inline std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace quillet::testing
