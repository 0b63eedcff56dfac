#pragma once
// Reading objects for the tools that want their sounds: every object sound is
// written into a folder of the caller's, as a player writes them to its temporary
// folder, and the messages a player would show are kept.

#include <fstream>
#include <string>
#include <vector>

#include "player/container/compressed_block.h"
#include "player/objects/object_section.h"

namespace quillet {

// Object sounds written into the folder: sound objects under their stored name or
// a numbered one, stored hotspot sounds as numbered files.
class FolderObjectHost : public ObjectReadHost {
public:
    FolderObjectHost(std::string folder, std::string movieFolder)
        : folder_(std::move(folder)), movieFolder_(std::move(movieFolder)) {}
    std::string createSoundFile(const std::string& name) override {
        // A stored name is a file name of the recording machine's temporary folder:
        // its folders (or a way out of ours) are no part of it.
        const std::string base = name.substr(name.find_last_of("/\\") == std::string::npos ? 0 : name.find_last_of("/\\") + 1);
        const std::string path = folder_ + "/" +
                                 (base.empty() || base == "." || base == ".." ? "object" + std::to_string(++numbered_) + ".wav" : base);
        return std::ofstream(path, std::ios::binary | std::ios::trunc) ? path : std::string();
    }
    bool appendFile(const std::string& path, const uint8_t* bytes, size_t length) override {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(length));
        return static_cast<bool>(out);
    }
    std::string attachedSoundPath(const AttachedSound& sound, bool separate) override {
        if (separate) return movieFolder_ + "/" + sound.name;
        const std::string path = createSoundFile(std::string());
        if (path.empty()) return path;
        std::ofstream out(path, std::ios::binary | std::ios::app);
        const InflateResult result = inflateSound(sound.sound, [&out](const uint8_t* piece, size_t length) {
            return static_cast<bool>(out.write(reinterpret_cast<const char*>(piece), static_cast<std::streamsize>(length)));
        });
        if (result == InflateResult::Damaged) report("Zlib Uncompression Error");
        return result == InflateResult::Finished ? path : std::string();
    }
    void report(const char* text) override { messages.push_back(text); }
    void afterSection(bool) override {}
    std::vector<std::string> messages;

private:
    std::string folder_;
    std::string movieFolder_;
    int numbered_ = 0;
};

}  // namespace quillet
