#include "player/objects/caption_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace quillet {
namespace {

using namespace caption_kind;

constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kPureRed = 0x0000FF;  // 0x00BBGGRR

uint32_t red(uint32_t c) { return c & 0xFF; }
uint32_t green(uint32_t c) { return (c >> 8) & 0xFF; }

TEST(Shade, TheFourFacesOfGreyAndOfRed) {
    struct Case {
        double light;
        uint32_t colour, expected;
    } cases[] = {
        // 128 + (10 - c) * 12 darkening, 128 + (10 - c) * 12.7 lightening, cut toward zero.
        {face_light::kRight, kGrey, 0x414141},   // 65.2
        {face_light::kLeft, kGrey, 0x939393},    // 147.2
        {face_light::kTop, kGrey, 0xB7B7B7},     // 183.2
        {face_light::kBottom, kGrey, 0x323232},  // 50.1
        // Red 255 darkens by (10 - c) * 25; the zero channels stay 0 when darkened
        // and rise toward white when lightened.
        {face_light::kRight, kPureRed, 0x00007C},   // 124.2
        {face_light::kLeft, kPureRed, 0x2626FF},    // 38.6
        {face_light::kTop, kPureRed, 0x6E6EFF},     // 110.7
        {face_light::kBottom, kPureRed, 0x00005C},  // 92.7
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.light);
        EXPECT_EQ(shade(c.colour, c.light, kFaceLightReference), c.expected);
    }
    // Faces lit from the upper left: left and top lighter, right and bottom darker.
    EXPECT_GT(red(shade(kGrey, face_light::kLeft, 10)), 0x80u);
    EXPECT_LT(red(shade(kGrey, face_light::kRight, 10)), 0x80u);
}

TEST(Shade, ClampsAtBothEnds) {
    EXPECT_EQ(shade(0xFFFFFF, 40, 10), 0u) << "far darker than black stays black";
    EXPECT_EQ(shade(0x000000, -30, 10), 0xFFFFFFu) << "far lighter than white stays white";
    EXPECT_EQ(shade(kGrey, 10, 10), kGrey) << "at the reference the colour is itself";
    EXPECT_EQ(green(shade(0x00FF00, 1e9, 10)), 0u);
}

TEST(ForcedDepth, EachCornerTurnsWrongComponents) {
    struct Case {
        int32_t corner, x, y;
        Point rect, curved;
    } cases[] = {
        {0, 5, -7, {5, -7}, {5, -7}},    // up-right, already right
        {0, -5, 7, {1, -1}, {0, 0}},     // both wrong
        {1, 0, 9, {1, 9}, {0, 9}},       // 0 is wrong for a rectangle, kept for a curve
        {2, 4, 4, {-1, 4}, {0, 4}},      // down-left
        {3, -3, -3, {-3, -3}, {-3, -3}}, // up-left
        {3, 0, 0, {-1, -1}, {0, 0}},
        {7, 4, -4, {4, -4}, {4, -4}},    // no such corner: as stored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.corner);
        EXPECT_EQ(forcedDepth(c.corner, c.x, c.y, true), c.rect);
        EXPECT_EQ(forcedDepth(c.corner, c.x, c.y, false), c.curved);
    }
}

TEST(RectDepth, FacesOnTheSidesTheDepthPointsTo) {
    const Rect body{10, 20, 110, 70};
    {
        const RectDepth d = rectDepth(body, {6, -4}, kGrey);  // up-right
        EXPECT_EQ(d.vertical.quad.corners[0], (Point{110, 70}));
        EXPECT_EQ(d.vertical.quad.corners[2], (Point{116, 16}));
        EXPECT_EQ(d.horizontal.quad.corners[0], (Point{10, 20}));
        EXPECT_EQ(d.horizontal.quad.corners[3], (Point{16, 16}));
        EXPECT_EQ(d.vertical.colour, shade(kGrey, face_light::kRight, 10));
        EXPECT_EQ(d.horizontal.colour, shade(kGrey, face_light::kTop, 10));
        // The corners across an up-right sweep: top-left and bottom-right.
        EXPECT_EQ(d.region.corners[0], (Point{10, 20}));
        EXPECT_EQ(d.region.corners[1], (Point{110, 70}));
        EXPECT_EQ(d.region.corners[2], (Point{116, 66}));
    }
    {
        const RectDepth d = rectDepth(body, {-3, 5}, kGrey);  // down-left
        EXPECT_EQ(d.vertical.quad.corners[0], (Point{10, 70}));
        EXPECT_EQ(d.horizontal.quad.corners[0], (Point{10, 70}));
        EXPECT_EQ(d.horizontal.quad.corners[2], (Point{107, 75}));
        EXPECT_EQ(d.vertical.colour, shade(kGrey, face_light::kLeft, 10));
        EXPECT_EQ(d.horizontal.colour, shade(kGrey, face_light::kBottom, 10));
        EXPECT_EQ(d.region.corners[0], (Point{10, 20}));
    }
    {
        const RectDepth d = rectDepth(body, {4, 4}, kGrey);  // down-right
        EXPECT_EQ(d.region.corners[0], (Point{110, 20}));
        EXPECT_EQ(d.region.corners[1], (Point{10, 70}));
    }
}

TEST(CurvedDepth, AGradientAlongTheSideThatFacesTheDepth) {
    const Rect body{0, 0, 99, 59};  // an ellipse 100 x 60 with its right and bottom
    const std::vector<PointF> outline = roundedOutline(body, {100, 60});
    ASSERT_GT(outline.size(), 150u);
    for (const PointF& p : outline) {
        // On the ellipse: ((x - 50) / 50)^2 + ((y - 30) / 30)^2 = 1.
        const double u = (p.x - 50) / 50, v = (p.y - 30) / 30;
        EXPECT_NEAR(u * u + v * v, 1.0, 0.05);
    }
    const CurvedDepth d = curvedDepth(outline, {8, 8}, kGrey, 50);
    ASSERT_FALSE(d.faces.empty());
    // Only the lower right faces the depth: every face starts right of or below
    // the centre.
    for (const ShadedQuad& face : d.faces) {
        const Point& p = face.quad.corners[0];
        EXPECT_TRUE(p.x >= 49 || p.y >= 29) << p.x << "," << p.y;
        EXPECT_EQ(face.quad.corners[3].x - p.x, 8);
    }
    // The faces run from the upper-right contact point round to the lower-left
    // one, the one nearer the upper left, where the light is: lighter there.
    EXPECT_GT(red(d.faces.back().colour), red(d.faces.front().colour) + 40);
    EXPECT_GT(red(d.faces.back().colour), 0x80u);
    EXPECT_LT(red(d.faces.front().colour), 0x80u);
    // The contact points are the ellipse's extremes across the depth, the ends of
    // its extent along (-1, 1): x - y = 20 -/+ sqrt(50^2 + 30^2).
    const Point a = d.region.corners[0], b = d.region.corners[1];
    EXPECT_NEAR(a.x - a.y, 50 - 30 - std::sqrt(50.0 * 50 + 30 * 30), 2);
    EXPECT_NEAR(b.x - b.y, 50 - 30 + std::sqrt(50.0 * 50 + 30 * 30), 2);
    EXPECT_TRUE(curvedDepth(outline, {0, 0}, kGrey, 50).faces.empty()) << "no depth, no faces";
}

TEST(CurvedDepth, ARoundedRectangleHasStraightEdgesBetweenItsCorners) {
    const std::vector<PointF> outline = roundedOutline(Rect{0, 0, 199, 99}, {40, 40});
    int onTop = 0;
    for (const PointF& p : outline) onTop += p.y == 0;
    EXPECT_GE(onTop, 200 - 40 - 1) << "the top edge is straight between the corner ellipses";
    // A huge body is sampled coarsely, not one point per column.
    EXPECT_LE(roundedOutline(Rect{-1000000000, 0, 1000000000, 10}, {50, 50}).size(), 2u * 4098);
    EXPECT_TRUE(roundedOutline(Rect{10, 10, 5, 20}, {50, 50}).empty()) << "no width";
}

TEST(TextArea, EachKindsInscribedArea) {
    CaptionRecord r;
    r.header.bodyRect = Rect{100, 100, 300, 200};
    r.cornerSize = Point{50, 40};
    for (uint32_t kind : {kBoxCaption, kBoxBalloon, kImageCaption}) {
        r.header.kind = kind;
        EXPECT_EQ(textArea(r), (Rect{104, 104, 296, 196})) << kind;
    }
    // 50 * 0.1465 = 7.3 and 40 * 0.1465 = 5.9, cut to 7 and 5.
    for (uint32_t kind : {kRoundCaption, kRoundBalloon}) {
        r.header.kind = kind;
        EXPECT_EQ(textArea(r), (Rect{107, 105, 293, 195})) << kind;
    }
    // The smaller side is 100: 14.65, cut to 14, on every side.
    for (uint32_t kind : {kEllipseCaption, kEllipseBalloon}) {
        r.header.kind = kind;
        EXPECT_EQ(textArea(r), (Rect{114, 114, 286, 186})) << kind;
    }
    r.header.kind = kTitledCaption;
    r.title.bodyTextRect = Rect{100, 124, 300, 200};
    EXPECT_EQ(textArea(r), (Rect{104, 128, 296, 196}));
    // Stored coordinates at the ends of the range do not wrap.
    r.header.kind = kBoxCaption;
    r.header.bodyRect = Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    const Rect far = textArea(r);
    EXPECT_LT(far.left, far.right);
    EXPECT_LT(far.top, far.bottom);
}

TEST(TextArea, CentredVerticallyWithIntegerHalves) {
    EXPECT_EQ(centredVertically(Rect{0, 10, 50, 41}, 10), (Rect{0, 20, 50, 30}));  // (31 - 10) / 2 = 10
    EXPECT_EQ(centredVertically(Rect{0, 10, 50, 20}, 16), (Rect{0, 7, 50, 23})) << "taller than the area";
}

TEST(Tail, BasePointsOnOneRowAreOpened) {
    BalloonTail tail;
    tail.tailTip = {0, 0};
    tail.tailBaseA = {50, 30};
    tail.tailBaseB = {60, 30};
    const auto opened = tailTriangle(tail);
    EXPECT_EQ(opened[1], (Point{50, 29}));
    EXPECT_EQ(opened[2], (Point{60, 31}));
    tail.tailBaseB = {60, 40};
    EXPECT_EQ(tailTriangle(tail)[1], (Point{50, 30})) << "different rows stay as stored";
}

TEST(RoundedBody, SmallerThanItsCornerIsAnEllipse) {
    EXPECT_TRUE(roundedIsSmall(Rect{0, 0, 40, 100}, {50, 50}));
    EXPECT_TRUE(roundedIsSmall(Rect{0, 0, 100, 40}, {50, 50}));
    EXPECT_FALSE(roundedIsSmall(Rect{0, 0, 50, 50}, {50, 50}));
    EXPECT_FALSE(roundedIsSmall(Rect{INT32_MIN, 0, INT32_MAX, 60}, {50, 50}));
}

}  // namespace
}  // namespace quillet
