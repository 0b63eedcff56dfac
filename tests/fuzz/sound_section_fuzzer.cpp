// Fuzz target: the sound-section reader over arbitrary bytes, with no device and
// every file it would write counted and dropped.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "player/audio/sound_tracks.h"

namespace {

using namespace quillet;

class NoDevice : public SoundSystem {
public:
    std::unique_ptr<SoundOutput> open(void*) override { return nullptr; }
};

class CountingHost : public SoundTrackHost {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryMovieFile file(std::string(reinterpret_cast<const char*>(data), size));
    BufferedReader in(file, file.size());
    NoDevice device;
    CountingHost host;
    SoundTrackSet tracks(device, host);
    tracks.load(in, "C:\\movies\\fuzz.exe");
    // Decoded speech is never more than the frames could give.
    if (host.written > uint64_t{size} * 10 + (1 << 20)) __builtin_trap();
    return 0;
}
