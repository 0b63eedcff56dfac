#include <gtest/gtest.h>

#include "player/playback/view_layout.h"

namespace quillet {
namespace {

TEST(ViewLayout, ClientSizeFollowsZoomInIntegerArithmetic) {
    const Size screen{1280, 1024};
    struct Case {
        int zoom;
        bool fullScreen;
        Size expected;
        const char* suffix;
    };
    const Case cases[] = {
        {0, false, {1602, 1202}, " (200 %)"}, {1, false, {1201, 901}, " (150 %)"},
        {2, false, {801, 601}, " (100 %)"},   {3, false, {600, 450}, " (75 %)"},
        {4, false, {400, 300}, " (50 %)"},    {3, true, {1280, 1024}, " (Full Screen)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(viewClientSize({801, 601}, c.zoom, c.fullScreen, screen), c.expected) << c.zoom;
        EXPECT_STREQ(zoomCaptionSuffix(c.zoom, c.fullScreen), c.suffix);
    }
}

TEST(ViewLayout, CaptionOnlyWhenSmallerThanTheScreenAndNotTooLarge) {
    const Size screen{1024, 768};
    EXPECT_TRUE(viewHasCaption({800, 600}, screen, false));
    EXPECT_TRUE(viewHasCaption({1024, 600}, screen, false));  // narrower in one dimension
    EXPECT_FALSE(viewHasCaption({1024, 768}, screen, false));  // exactly the screen
    EXPECT_FALSE(viewHasCaption({1100, 600}, screen, false));  // too large
    EXPECT_FALSE(viewHasCaption({800, 600}, screen, true));    // noCaption
}

TEST(ViewLayout, PlacementCentresOverridesAndFollowsTheRecordedArea) {
    FrameMetrics metrics;
    metrics.dialogFrameX = 3;
    metrics.dialogFrameY = 3;
    metrics.smallCaption = 15;
    metrics.border = 1;
    const Size screen{1280, 1024};
    const Rect area{100, 200, 740, 680};
    ViewPlacementOptions options;
    EXPECT_EQ(viewPosition({646, 506}, screen, area, options, metrics), (Point{317, 259}));

    // A view larger than the screen is centred too, off the top-left corner.
    EXPECT_EQ(viewPosition({1400, 1100}, screen, area, options, metrics), (Point{-60, -38}));

    options.viewX = 10;
    options.viewY = 1024;  // not less than the screen height: ignored
    EXPECT_EQ(viewPosition({646, 506}, screen, area, options, metrics), (Point{10, 259}));
    options.viewX = 1280;
    options.viewY = 0;
    EXPECT_EQ(viewPosition({646, 506}, screen, area, options, metrics), (Point{317, 0}));

    options.overRecordedArea = true;
    EXPECT_EQ(viewPosition({646, 506}, screen, area, options, metrics), (Point{97, 200 - 6 - 15 - 1}));
}

TEST(ViewLayout, LogoClickAreaAtEachCorner) {
    const Size recorded{640, 480}, logo{40, 20};
    EXPECT_EQ(logoClickArea(0, recorded, logo), (Rect{4, 4, 44, 24}));
    EXPECT_EQ(logoClickArea(1, recorded, logo), (Rect{596, 4, 636, 24}));
    EXPECT_EQ(logoClickArea(2, recorded, logo), (Rect{4, 456, 44, 476}));
    EXPECT_EQ(logoClickArea(3, recorded, logo), (Rect{596, 456, 636, 476}));
    EXPECT_EQ(logoClickArea(9, recorded, logo), (Rect{500, 500, 540, 520}));
    const Rect area = logoClickArea(0, recorded, logo);
    EXPECT_TRUE(contains(area, {4, 4}));
    EXPECT_TRUE(contains(area, {43, 23}));
    EXPECT_FALSE(contains(area, {44, 10}));
    EXPECT_FALSE(contains(area, {3, 10}));
}

TEST(ViewLayout, HotspotPointerTable) {
    using namespace system_cursor;
    EXPECT_EQ(hotspotPointer(0), (PointerChoice{false, kArrow}));
    EXPECT_EQ(hotspotPointer(11), (PointerChoice{false, kArrow}));
    EXPECT_EQ(hotspotPointer(12), (PointerChoice{false, kAppStarting}));
    EXPECT_EQ(hotspotPointer(15), (PointerChoice{false, kIBeam}));
    EXPECT_EQ(hotspotPointer(19), (PointerChoice{false, kSizeNwse}));
    EXPECT_EQ(hotspotPointer(21), (PointerChoice{false, kUpArrow}));
    EXPECT_EQ(hotspotPointer(22), (PointerChoice{true, kCursorSeekBar}));
    EXPECT_EQ(hotspotPointer(23), (PointerChoice{true, kCursorHotspotHand}));
    EXPECT_EQ(hotspotPointer(24), (PointerChoice{false, kArrow}));
    EXPECT_EQ(hotspotPointer(-1), (PointerChoice{false, kArrow}));
}

}  // namespace
}  // namespace quillet
