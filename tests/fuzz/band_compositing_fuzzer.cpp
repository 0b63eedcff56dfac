// Fuzz target: the frame stream read with a memory bitmap factory, then its bands
// composed into the screen picture by the portable path that stills and seeking use
// (the still cache applies them in memory as drawing them into the buffers would),
// with the checks the drawing code makes before it hands the pixel area to GDI.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/container/compressed_block.h"
#include "player/bitmaps/dib_layout.h"
#include "player/container/frame_data.h"
#include "player/playback/still_cache.h"

namespace {

using namespace quillet;

// What the compositor's band drawing does up to the call that draws: the layout of
// the screen header, the band's place in the pixel area, the inflate, and the
// layout again. When it would draw, the rows GDI reads must lie in the buffer.
void drawBandsInMemory(FrameData& frames) {
    std::vector<uint8_t>& screen = frames.screenBuffer();
    const FrameList& list = frames.frames();
    for (size_t i = 0; i < list.filled(); ++i)
        for (const FrameBand& band : list[i].bands) {
            if (!band.data || band.compressedSize == 0) continue;
            ScreenLayout layout;
            if (!screenLayout(screen.data(), screen.size(), frames.info().screenWidth, layout)) return;
            const uint64_t rows = static_cast<uint64_t>(std::llabs(static_cast<int64_t>(band.bandHeight)));
            if (layout.bandOffset > screen.size() || band.unpackedSize > screen.size() - layout.bandOffset ||
                !layout.rowsFit(rows, screen.size()))
                continue;
            if (!UncompressBlock(band.data, band.compressedSize, screen.data() + layout.bandOffset, band.unpackedSize))
                continue;
            ScreenLayout after;
            if (!screenLayout(screen.data(), screen.size(), frames.info().screenWidth, after) || !(after == layout))
                continue;
            if (layout.pixelsFrom() + rows * layout.stride > screen.size()) std::abort();
            volatile uint8_t last = rows ? screen[layout.pixelsFrom() + rows * layout.stride - 1] : 0;
            (void)last;
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryMovieFile file(std::string(reinterpret_cast<const char*>(data), size));
    PackedDibFactory bitmaps;
    FrameData frames(bitmaps);
    frames.LoadFrameStream(file, file.size());

    // The cache copies the screen's geometry when it starts and builds on its own
    // thread; the pictures it keeps must unpack to whole screens.
    StillCache cache;
    cache.start(frames);
    cache.waitUntilReady();
    ScreenLayout layout;
    const std::vector<uint8_t>& screen = frames.screenBuffer();
    if (cache.pictureCount() > 0 &&
        screenLayout(screen.data(), screen.size(), frames.info().screenWidth, layout)) {
        std::vector<uint8_t> pixels(static_cast<size_t>(layout.stride * static_cast<uint64_t>(frames.info().screenHeight)));
        int64_t pictureFrame = -1;
        const int64_t count = frames.frameCount();
        for (int64_t frame : {int64_t{0}, count / 2, count - 1})
            if (cache.nearest(frame, -1, pictureFrame, pixels) && (pictureFrame > frame || pictureFrame < 0))
                std::abort();
    }
    cache.cancel();

    drawBandsInMemory(frames);
    return 0;
}
