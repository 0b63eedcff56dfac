// Fuzz target: the frame stream reader over arbitrary bytes, with the time
// arithmetic and the object index run over whatever it produced.

#include <cstddef>
#include <cstdint>
#include <string>

#include "player/container/frame_data.h"
#include "player/container/frame_time.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillet;
    MemoryMovieFile file(std::string(reinterpret_cast<const char*>(data), size));
    PackedDibFactory bitmaps;
    FrameData frames(bitmaps);
    frames.LoadFrameStream(file, file.size());

    const FrameList& list = frames.frames();
    volatile int64_t sink = totalLength(list) + frameAtTime(list, 1000) + timeOfFrame(list, 2);
    for (size_t i = 0; i < list.count(); ++i)
        for (const FrameBand& band : list[i].bands)
            if (band.data && band.compressedSize) sink = sink + band.data[band.compressedSize - 1];
    frames.BuildObjectTimeline({{0, 5, 1, 1}, {2, 1000, 11, 2}});
    (void)sink;
    return 0;
}
