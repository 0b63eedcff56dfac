// movietool still: one frame of a movie rendered with GDI, as the player rebuilds
// its stills, written as a BMP file. Needs no display.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/bitmaps/win32/dib.h"
#include "player/objects/win32/caption_list.h"
#include "player/playback/win32/frame_compositor.h"
#include "tools/movietool/tool_movie.h"
#include "tools/moviewriter/picture.h"

namespace quillet {

int runStill(const std::vector<std::string>& args) {
    if (args.size() < 3) {
        std::fputs("usage: movietool still MOVIE FRAME OUT.bmp [--no-cursor] [--no-objects] [--no-logo] [--size WxH]\n", stderr);
        return 2;
    }
    bool cursor = true, withObjects = true, logo = true;
    int width = 0, height = 0;
    for (size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "--no-cursor") cursor = false;
        else if (args[i] == "--no-objects") withObjects = false;
        else if (args[i] == "--no-logo") logo = false;
        else if (args[i] == "--size" && i + 1 < args.size() &&
                 std::sscanf(args[++i].c_str(), "%dx%d", &width, &height) == 2 && width > 0 && height > 0 &&
                 width <= 16384 && height <= 16384) {
        } else {
            std::fprintf(stderr, "movietool: bad option %s\n", args[i].c_str());
            return 2;
        }
    }
    auto file = StdioMovieFile::open(args[0]);
    if (!file) {
        std::fprintf(stderr, "movietool: cannot open %s\n", args[0].c_str());
        return 1;
    }
    ToolMovie movie;
    if (const MovieOpenStatus status = movie.open(*file); status != MovieOpenStatus::Opened) {
        std::fprintf(stderr, "movietool: %s: %s\n", args[0].c_str(), openFailureText(status).c_str());
        return 1;
    }
    GdiBitmapFactory bitmaps;
    FrameData data(bitmaps);
    readAllFrames(data, *file, movie.movie());
    long frame = std::strtol(args[1].c_str(), nullptr, 10);
    if (frame < 0 || frame >= data.frameCount()) {
        std::fprintf(stderr, "movietool: frame %ld is not in the movie (%d frames)\n", frame, data.frameCount());
        return 1;
    }

    CursorOverlay cursors;
    FrameCompositor compositor(data, cursors);
    if (width == 0) {
        width = compositor.shownWidth();
        height = compositor.shownHeight();
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t* bits = nullptr;
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    win32::UniqueGdiObject canvas(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS,
                                                     reinterpret_cast<void**>(&bits), nullptr, 0));
    if (!dc || !canvas) return 1;
    win32::ScopedSelect select(dc.get(), canvas.get());
    RECT dest{0, 0, width, height};
    CCaptionList list;
    list.load(movie.movie().objects);
    list.referenceRect = data.info().recordedArea;
    if (!compositor.renderStillInto(dc.get(), frame, -1, dest, withObjects ? &list : nullptr, cursor, logo)) return 1;
    ::GdiFlush();

    Picture picture(width, height);
    for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = bits[i] & 0xFFFFFF;
    if (!writeBmpFile(args[2], picture)) {
        std::fprintf(stderr, "movietool: cannot write %s\n", args[2].c_str());
        return 1;
    }
    return 0;
}

}  // namespace quillet
