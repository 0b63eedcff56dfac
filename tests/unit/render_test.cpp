// The portable renderer's rules that the comparison with GDI does not pin down on
// its own: raster operations and clipping, the stretch's choice of source pixels,
// stored pictures of each depth, region shapes, pen outlines of shapes too small
// or pens too wide for the comparison's objects, and what a still leaves out.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/render/dib_picture.h"
#include "player/render/object_painter.h"
#include "player/render/picture.h"
#include "player/render/region.h"
#include "tools/moviewriter/picture.h"

namespace quillet {
namespace render {
namespace {

TEST(RenderPicture, RasterOperationsCombineAndClip) {
    struct Case {
        RasterOp op;
        uint32_t expected;
    } cases[] = {{RasterOp::Copy, 0x0F0F00}, {RasterOp::Paint, 0xFFFF00}, {RasterOp::And, 0x0F0000},
                 {RasterOp::Invert, 0xF0FF00}};
    for (const Case& c : cases) {
        Picture dest(4, 4, 0xFF0000 | 0x00F000), source(4, 4, 0x0F0F00);
        // Placed one pixel up and left: the first row and column fall outside.
        blit(dest, -1, -1, 4, 4, source, 0, 0, c.op);
        EXPECT_EQ(dest.at(0, 0), c.expected);
        EXPECT_EQ(dest.at(2, 2), c.expected);
        EXPECT_EQ(dest.at(3, 3), 0xFFF000u) << "outside the block";
    }
}

TEST(RenderPicture, StretchRepeatsAndDropsLikeTheLineStepper) {
    struct Case {
        int32_t dest, source;
        std::vector<int32_t> columns;
    } cases[] = {
        {4, 2, {0, 0, 1, 1}},  // doubled
        {3, 2, {0, 0, 1}},     // the stepper moves on only after its error passes zero
        {2, 4, {1, 3}},        // columns keep the last of those that fall together
        {5, 5, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases)
        for (int32_t i = 0; i < c.dest; ++i)
            EXPECT_EQ(stretchSourceIndex(i, c.dest, c.source), c.columns[static_cast<size_t>(i)])
                << c.source << " onto " << c.dest << " at " << i;
    // Rows keep the first of those that fall together.
    Picture source(1, 4);
    for (int32_t y = 0; y < 4; ++y) source.at(0, y) = static_cast<uint32_t>(y);
    Picture dest(1, 2);
    stretchBlit(dest, 0, 0, 1, 2, source, 0, 0, 1, 4);
    EXPECT_EQ(dest.at(0, 0), 0u);
    EXPECT_EQ(dest.at(0, 1), 2u);
}

TEST(RenderPicture, PackedPicturesOfEachDepthReadAsDrawn) {
    quillet::Picture colours(3, 2);
    colours.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
    const std::string dib = packedDib(colours);
    Picture read;
    ASSERT_TRUE(pictureFromPackedDib(reinterpret_cast<const uint8_t*>(dib.data()), dib.size(), read));
    EXPECT_EQ(read.pixels, colours.pixels) << "rows come back top first";
    const std::string mask = packedMonochromeDib(3, 2, {1, 0, 1, 0, 1, 0});
    ASSERT_TRUE(pictureFromPackedDib(reinterpret_cast<const uint8_t*>(mask.data()), mask.size(), read));
    EXPECT_EQ(read.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(read.at(1, 0), 0u);
    // A picture whose rows are cut short is refused, not read past its end.
    EXPECT_FALSE(pictureFromPackedDib(reinterpret_cast<const uint8_t*>(dib.data()), dib.size() - 1, read));
}

TEST(RenderRegion, ShapesLeaveRightAndBottomEdgesOut) {
    const Region box = Region::rect(2, 3, 6, 5);
    EXPECT_TRUE(box.contains(2, 3));
    EXPECT_FALSE(box.contains(6, 3));
    EXPECT_FALSE(box.contains(2, 5));
    const Region ellipse = Region::ellipse(0, 0, 11, 11);
    EXPECT_TRUE(ellipse.contains(5, 0));
    EXPECT_TRUE(ellipse.contains(0, 5));
    EXPECT_FALSE(ellipse.contains(0, 0));
    EXPECT_FALSE(ellipse.contains(10, 5)) << "the right edge is out";
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 10; ++x)
            EXPECT_EQ(ellipse.contains(x, y), ellipse.contains(9 - x, 9 - y)) << x << "," << y;
    const Region triangle = Region::polygon({{0, 0}, {8, 0}, {0, 8}}, false);
    EXPECT_TRUE(triangle.contains(0, 0));
    EXPECT_FALSE(triangle.contains(8, 0));
    EXPECT_FALSE(triangle.contains(4, 4));
    EXPECT_EQ(Region::rect(0, 0, 5, 5).frame(1, 1).contains(2, 2), false);
    EXPECT_EQ(Region::rect(0, 0, 5, 5).frame(1, 1).contains(4, 2), true);
}

TEST(RenderObjects, KindsThatPaintNothingInAStillRenderNothing) {
    for (uint32_t kind : {caption_kind::kSoundCaption, caption_kind::kHotspotCaption}) {
        CaptionRecord record;
        record.header.kind = kind;
        record.header.bodyRect = record.header.boundsRect = Rect{0, 0, 20, 20};
        EXPECT_FALSE(renderObject(record, nullptr).drawn) << kind;
    }
    CaptionRecord box;
    box.header.kind = caption_kind::kBoxCaption;
    box.header.bodyRect = box.header.boundsRect = Rect{10, 10, 30, 20};
    box.header.fillColour = 0x0000FF;  // red, stored as 0x00BBGGRR
    box.header.lineWidth = 1;
    const RenderedObject drawn = renderObject(box, nullptr);
    ASSERT_TRUE(drawn.drawn);
    Picture target(40, 30, 0x00FF00);
    compositeObject(target, Point{0, 0}, drawn);
    EXPECT_EQ(target.at(15, 15), 0xFF0000u) << "fill";
    EXPECT_EQ(target.at(10, 10), 0x000000u) << "frame";
    EXPECT_EQ(target.at(5, 5), 0x00FF00u) << "outside";
}

// Pictures GDI paints for these outlines ('#' painted): the pen's path is the
// body pulled in by half the pen, and a wide pen puts a round tip on every
// point of the path, so both halves of a stroke can differ by a pixel.
TEST(RenderObjects, OutlinesArePaintedAsTheInsideFramePenPaintsThem) {
    struct Case {
        const char* what;
        uint32_t kind;
        Rect body;
        int32_t width;
        std::vector<std::string> rows;
    } cases[] = {
        {"one-pixel pen: the stepped points alone", caption_kind::kEllipseFrame, {0, 0, 9, 7}, 1,
         {"..#####...", ".#.....#..", "#.......#.", "#.......#.", "#.......#.", ".#.....#..", "..#####...", ".........."}},
        {"even pen", caption_kind::kEllipseFrame, {0, 0, 10, 8}, 2,
         {"..######...", ".########..", "####..####.", "###....###.", "##......##.", "###....###.", "##########.",
          ".########..", "..........."}},
        {"odd pen", caption_kind::kEllipseFrame, {0, 0, 11, 9}, 3,
         {"...#######..", ".##########.", "##########..", "#####..####.", "####....###.", "#####..####.",
          "##########..", ".##########.", "...#######..", "............"}},
        {"a path too thin for an ellipse is a rectangle's", caption_kind::kEllipseFrame, {3, 4, 4, 9}, 2,
         {"......", "......", "......", "......", "..###.", "..###.", "..###.", "..###.", "..###.", "......"}},
        {"a pen as wide as the rectangle leaves one round tip", caption_kind::kRectFrame, {2, 2, 9, 9}, 7,
         {"..........", "..........", "....###...", "...#####..", "..#######.", "..#######.", "..#######.",
          "...#####..", "....###...", ".........."}},
    };
    for (const Case& c : cases) {
        CaptionRecord record;
        record.header.kind = c.kind;
        record.header.bodyRect = c.body;
        record.header.boundsRect = Rect{0, 0, 64, 64};
        record.header.lineWidth = c.width;
        record.header.lineColour = 0xFFFFFF;
        const int32_t width = static_cast<int32_t>(c.rows[0].size()), height = static_cast<int32_t>(c.rows.size());
        Picture target(width, height, 0);
        compositeObject(target, Point{0, 0}, renderObject(record, nullptr));
        std::vector<std::string> painted(c.rows.size(), std::string(c.rows[0].size(), '.'));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                if (target.at(x, y) != 0) painted[static_cast<size_t>(y)][static_cast<size_t>(x)] = '#';
        EXPECT_EQ(painted, c.rows) << c.what;
    }
}

}  // namespace
}  // namespace render
}  // namespace quillet
