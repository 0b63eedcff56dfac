// Fuzz target: opening a movie of any format version, through the table that picks
// its readers. The first two bytes are the version's major and minor numbers; the
// rest follows the 268-byte header as the movie's sections (the header copy from
// 1.5 on, objects, sounds, frames), behind a player and before the trailer.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "player/movie/movie_document.h"
#include "player/container/frame_time.h"
#include "tests/fuzz/counting_hosts.h"

namespace {

using namespace quillet;

// Everything opening asks of the machine, answered in memory.
class Host : public MovieOpenUi, public fuzzing::CountingObjectHost, public fuzzing::CountingSoundHost {
public:
    void showMessage(Owner, const char*, const char*, Icon) override {}
    void showLoadingDialog() override {}
    void destroyLoadingDialog() override {}
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
    fuzzing::NoSoundDevice device;
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
