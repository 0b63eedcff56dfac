#pragma once
// Reading sound sections for the tools: no device, and the stored sounds written
// into a folder of the user's choice, or counted and dropped.

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "player/audio/sound_tracks.h"

namespace quillet {

class NoSoundSystem : public SoundSystem {
public:
    std::unique_ptr<SoundOutput> open(void*) override { return nullptr; }
};

class ToolSoundHost : public SoundTrackHost {
public:
    // folder empty: nothing is written.
    explicit ToolSoundHost(std::string folder) : folder_(std::move(folder)) {}

    std::string temporaryFolder() override { return folder_.empty() ? std::string() : folder_ + "/"; }
    bool fileExists(const std::string& path) override { return !folder_.empty() && std::filesystem::exists(path); }
    std::unique_ptr<OutputFile> createFile(const std::string& path) override {
        if (folder_.empty()) return std::make_unique<Discarded>();
        auto file = std::make_unique<File>(path);
        if (!file->good()) return nullptr;
        return file;
    }
    // The files are the output: release leaves them.
    void deleteFile(const std::string&) override {}
    void report(const std::string& text) override { messages.push_back(text); }
    void waitBeforeRetry() override {}
    uint64_t nowMs() override { return 0; }
    void* window() override { return nullptr; }

    std::vector<std::string> messages;

private:
    class Discarded : public OutputFile {
    public:
        bool write(const void*, size_t) override { return true; }
    };
    class File : public OutputFile {
    public:
        explicit File(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {}
        bool good() const { return static_cast<bool>(out_); }
        bool write(const void* data, size_t length) override {
            out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
            return static_cast<bool>(out_);
        }

    private:
        std::ofstream out_;
    };
    std::string folder_;
};

}  // namespace quillet
