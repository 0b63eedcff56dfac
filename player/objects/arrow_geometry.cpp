#include "player/objects/arrow_geometry.h"

#include <cmath>
#include <limits>

namespace quillet {
namespace {

constexpr double kCos30 = 0.866;
constexpr double kSin30 = 0.5;

// Cut toward zero, held to what a coordinate can be: stored points and widths
// may be anything, and the arithmetic must not overflow on them.
int32_t cut(double value) {
    constexpr double kLow = std::numeric_limits<int32_t>::min(), kHigh = std::numeric_limits<int32_t>::max();
    if (!(value > kLow)) return std::numeric_limits<int32_t>::min();
    if (!(value < kHigh)) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

int32_t sum(int64_t a, int64_t b) { return cut(static_cast<double>(a + b)); }

}  // namespace

float arrowSlope(Point start, Point end) {
    const double run = end.x == start.x ? 1.0 : static_cast<double>(end.x) - start.x;
    return static_cast<float>((static_cast<double>(end.y) - start.y) / run);
}

ArrowHead arrowHeadAt(Point start, Point end, int32_t lineWidth) {
    const int64_t w = lineWidth;
    ArrowHead head;
    head.tip = end;
    Point& q = head.baseCentre;
    if (start.x == end.x) {
        const int64_t back = 2 * w + 10;
        q = Point{end.x, sum(end.y, start.y >= end.y ? back : -back)};
        head.left = Point{sum(end.x, -w - 5), q.y};
        head.right = Point{sum(end.x, w + 5), q.y};
    } else {
        // The base centre lies on the line through start and end; its other
        // coordinate is taken from the line, measured from the start.
        const double slope = arrowSlope(start, end);
        if (std::fabs(slope) <= 1) {
            const double along = static_cast<double>(2 * w + 10) / std::sqrt(slope * slope + 1);
            q.x = cut(start.x < end.x ? end.x - along : end.x + along);
            q.y = cut(start.y + slope * (static_cast<double>(q.x) - start.x));
        } else {
            const double along = static_cast<double>(2 * w + 14) / std::sqrt(1 / (slope * slope) + 1);
            q.y = cut(start.y >= end.y ? end.y + along : end.y - along);
            q.x = cut(start.x + (static_cast<double>(q.y) - start.y) / slope);
        }
        // The base's ends: the way back to the base centre turned by 30 degrees
        // either side of the tip.
        const double vx = static_cast<double>(q.x) - end.x, vy = static_cast<double>(q.y) - end.y;
        head.left = Point{sum(end.x, cut(kCos30 * vx + kSin30 * vy)), sum(end.y, cut(kCos30 * vy - kSin30 * vx))};
        head.right = Point{sum(end.x, cut(kCos30 * vx - kSin30 * vy)), sum(end.y, cut(kSin30 * vx + kCos30 * vy))};
    }
    head.lineEnd = Point{static_cast<int32_t>((int64_t{end.x} + q.x) / 2), static_cast<int32_t>((int64_t{end.y} + q.y) / 2)};
    return head;
}

ArrowLayout layOutArrow(Point start, Point end, int32_t lineWidth, uint32_t arrowStyle) {
    ArrowLayout layout;
    layout.lineStart = start;
    layout.lineEnd = end;
    if (arrowStyle == 1 || arrowStyle == 2) {
        layout.headAtEnd = true;
        layout.endHead = arrowHeadAt(start, end, lineWidth);
        layout.lineEnd = layout.endHead.lineEnd;
    }
    if (arrowStyle == 2) {
        layout.headAtStart = true;
        layout.startHead = arrowHeadAt(end, start, lineWidth);
        layout.lineStart = layout.startHead.lineEnd;
    }
    return layout;
}

}  // namespace quillet
