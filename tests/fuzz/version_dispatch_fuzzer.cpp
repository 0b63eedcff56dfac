// Fuzz target: opening a movie of any format version, through the table that picks
// its readers. The first two bytes are the version's major and minor numbers; the
// rest follows the 268-byte header as the movie's sections (the header copy from
// 1.5 on, objects, sounds, frames), behind a player and before the trailer.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "player/app/movie_document.h"
#include "player/container/frame_time.h"

namespace {

using namespace quillet;

class NoDevice : public SoundSystem {
public:
    std::unique_ptr<SoundOutput> open(void*) override { return nullptr; }
};

// Everything opening asks of the machine, answered in memory: files are counted
// and dropped, nothing exists beforehand.
class Host : public MovieOpenUi, public ObjectReadHost, public SoundTrackHost {
public:
    void showMessage(Owner, const char*, const char*, Icon) override {}
    void showLoadingDialog() override {}
    void destroyLoadingDialog() override {}

    Size screen() const override { return {800, 600}; }
    std::string createSoundFile(const std::string& name) override { return name.empty() ? "qlt.tmp" : name; }
    bool writeFile(const std::string&, const std::vector<uint8_t>& bytes) override {
        written += bytes.size();
        return true;
    }
    std::string attachedSoundPath(const AttachedSound& sound, bool) override { return sound.name; }
    void report(const char*) override {}
    void afterSection(bool) override {}

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
    if (size < 2) return 0;
    MovieHeader header;
    MovieHeader::setText(header.signature, kCurrentSignature);
    header.versionMajor = static_cast<int8_t>(data[0]);
    header.versionMinor = data[1];
    const std::string movie = header.encode() + std::string(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string file = "MZ" + movie;
    std::string trailer(4, '\0');
    trailer[0] = 2;  // the movie starts behind the two bytes of "player"
    file += trailer + std::string(16, 'z');

    Host host;
    NoDevice device;
    PackedDibFactory bitmaps;
    MovieDocument document(host, [&file](const std::string&) { return std::make_unique<MemoryMovieFile>(file); },
                           bitmaps, host, device, host);
    if (document.OpenMovie("C:\\disc\\fuzz.exe")) {
        const FrameData& frames = document.frameData();
        document.frameData().waitForLoader();
        const FrameList& list = frames.frames();
        volatile int64_t sink = totalLength(list) + frameAtTime(list, 1000) + timeOfFrame(list, 2);
        for (size_t i = 0; i < list.count(); ++i) {
            sink = sink + list[i].groupFirst;
            for (const FrameBand& band : list[i].bands)
                if (band.data && band.compressedSize) sink = sink + band.data[band.compressedSize - 1];
        }
        (void)sink;
    }
    return 0;
}
