// The recorded cursor's raster operations and system cursors, and the logo's
// corners, drawn with real GDI.

#include <windows.h>

#include <gtest/gtest.h>

#include "player/playback/win32/cursor_overlay.h"
#include "player/bitmaps/win32/dib.h"
#include "player/playback/win32/frame_compositor.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

struct Surface {
    Surface(int w, int h) : width(w), height(h) {
        win32::WindowDc screen(nullptr);
        dc.reset(::CreateCompatibleDC(screen.get()));
        bitmap.reset(::CreateCompatibleBitmap(screen.get(), w, h));
        previous = ::SelectObject(dc.get(), bitmap.get());
        fill(0x808080);
    }
    ~Surface() { ::SelectObject(dc.get(), previous); }
    void fill(COLORREF colour) {
        win32::UniqueGdiObject brush(::CreateSolidBrush(colour));
        RECT all{0, 0, width, height};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(brush.get()));
    }
    COLORREF at(int x, int y) const { return ::GetPixel(dc.get(), x, y); }
    std::vector<COLORREF> all() const {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(at(x, y));
        return pixels;
    }
    int width, height;
    win32::UniqueMemoryDc dc;
    win32::UniqueGdiObject bitmap;
    HGDIOBJ previous;
};

MovieFrame sample(int32_t standard, uint32_t id, int x = 0, int y = 0) {
    MovieFrame frame;
    frame.standardCursor = standard;
    frame.cursorId = id;
    frame.cursorX = x;
    frame.cursorY = y;
    return frame;
}

TEST(CursorOverlay, RecordedShapeFollowsItsFourRasterOperations) {
    // Colour image: left half red, right half black. Mask (AND above XOR): the top
    // 32 rows are the AND part; AND 0 in the first 8 columns.
    Picture colour(32, 32, 0);
    colour.fillRect(0, 0, 16, 32, 0xFF0000);
    std::vector<uint8_t> mask(32 * 64, 1);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 8; ++x) mask[y * 32 + x] = 0;
    GdiBitmapFactory factory;
    std::string colourDib = packedDib(colour), maskDib = packedMonochromeDib(32, 64, mask);
    CursorShapeMap shapes;
    shapes[42].colour = factory.fromPackedDib(reinterpret_cast<const uint8_t*>(colourDib.data()), colourDib.size());
    shapes[42].mask = factory.fromPackedDib(reinterpret_cast<const uint8_t*>(maskDib.data()), maskDib.size());
    ASSERT_TRUE(shapes[42].colour && shapes[42].mask);

    CursorOverlay cursors;
    Surface surface(40, 40);
    surface.fill(RGB(0x10, 0x20, 0x30));
    cursors.drawCursor(surface.dc.get(), sample(0, 42, 4, 4), shapes);
    // dest ^ C, & M, ^ C, & C: where M is 1 this leaves dest & C; where M is 0 it
    // leaves C & C = C.
    const COLORREF dest = RGB(0x10, 0x20, 0x30);
    const COLORREF red = RGB(0xFF, 0, 0);
    auto expected = [&](int x) -> COLORREF {
        COLORREF c = x < 16 ? red : 0;
        return x < 8 ? c : (dest & c);
    };
    for (int x : {0, 5, 7, 8, 12, 15, 16, 25, 31}) EXPECT_EQ(surface.at(4 + x, 10), expected(x)) << x;
    EXPECT_EQ(surface.at(2, 2), dest) << "outside the 32 x 32 area";
    EXPECT_EQ(surface.at(37, 37), dest);
}

TEST(CursorOverlay, SystemCursorsAndTheArrowFallback) {
    CursorOverlay cursors;
    CursorShapeMap none;
    auto drawn = [&](const MovieFrame& frame) {
        Surface surface(32, 32);
        cursors.drawCursor(surface.dc.get(), frame, none);
        return surface.all();
    };
    auto withIcon = [&](HCURSOR cursor) {
        Surface surface(32, 32);
        ::DrawIconEx(surface.dc.get(), 0, 0, cursor, 32, 32, 0, nullptr, DI_NORMAL);
        return surface.all();
    };
    std::vector<COLORREF> arrow = withIcon(::LoadCursorA(nullptr, IDC_ARROW));
    std::vector<COLORREF> wait = withIcon(::LoadCursorA(nullptr, IDC_WAIT));
    std::vector<COLORREF> blank = Surface(32, 32).all();
    ASSERT_NE(arrow, blank);
    EXPECT_EQ(drawn(sample(1, 14)), wait);
    EXPECT_EQ(drawn(sample(1, 1)), arrow);
    EXPECT_EQ(drawn(sample(1, 15)), arrow) << "an index past the table draws the arrow";
    EXPECT_EQ(drawn(sample(0, 99)), arrow) << "a missing shape draws the arrow";
}

TEST(Logo, DrawnAtEachCorner) {
    struct Case {
        uint32_t corner;
        int x, y;
    } cases[] = {{0, 4, 14}, {1, 90, 14}, {2, 4, 85}, {3, 90, 85}, {4, 500, 500}, {9, 500, 500}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.corner);
        MovieWriter writer;
        writer.setScreen({600, 600, 32});
        writer.setRecordedArea({0, 10, 100, 95});
        LogoRecord logo;
        logo.corner = c.corner;
        writer.setLogo(logo, packedDib(Picture(6, 6, 0x00FF00)));
        writer.addFrame(Picture(600, 600, 0));
        std::string stream = writer.frameStream();
        MemoryMovieFile file(stream);
        GdiBitmapFactory bitmaps;
        FrameData data(bitmaps);
        data.LoadFrameStream(file, file.size());
        ASSERT_TRUE(data.hasLogo());
        CursorOverlay cursors;
        FrameCompositor compositor(data, cursors);
        Surface surface(600, 600);
        surface.fill(0);
        compositor.drawLogo(surface.dc.get());
        EXPECT_EQ(surface.at(c.x, c.y), RGB(0, 0xFF, 0));
        EXPECT_EQ(surface.at(c.x + 5, c.y + 5), RGB(0, 0xFF, 0));
        EXPECT_EQ(surface.at(c.x - 1, c.y), 0u);
        EXPECT_EQ(surface.at(c.x + 6, c.y + 6), 0u);
    }
}

}  // namespace
}  // namespace quillet
