#include "player/objects/arrow_geometry.h"

#include <cmath>

namespace quillet {
namespace {

constexpr double kCos30 = 0.866;
constexpr double kSin30 = 0.5;

int32_t cut(double value) { return static_cast<int32_t>(value); }

}  // namespace

float arrowSlope(Point start, Point end) {
    const int32_t run = end.x == start.x ? 1 : end.x - start.x;
    return static_cast<float>(end.y - start.y) / static_cast<float>(run);
}

ArrowHead arrowHeadAt(Point start, Point end, int32_t w) {
    ArrowHead head;
    head.tip = end;
    Point& q = head.baseCentre;
    if (start.x == end.x) {
        const int32_t back = 2 * w + 10;
        q = Point{end.x, start.y >= end.y ? end.y + back : end.y - back};
        head.left = Point{end.x - w - 5, q.y};
        head.right = Point{end.x + w + 5, q.y};
    } else {
        // The base centre lies on the line through start and end; its other
        // coordinate is taken from the line, measured from the start.
        const double slope = arrowSlope(start, end);
        if (std::fabs(slope) <= 1) {
            const double along = (2 * w + 10) / std::sqrt(slope * slope + 1);
            q.x = cut(start.x < end.x ? end.x - along : end.x + along);
            q.y = cut(start.y + slope * (q.x - start.x));
        } else {
            const double along = (2 * w + 14) / std::sqrt(1 / (slope * slope) + 1);
            q.y = cut(start.y >= end.y ? end.y + along : end.y - along);
            q.x = cut(start.x + (q.y - start.y) / slope);
        }
        // The base's ends: the way back to the base centre turned by 30 degrees
        // either side of the tip.
        const double vx = q.x - end.x, vy = q.y - end.y;
        head.left = Point{end.x + cut(kCos30 * vx + kSin30 * vy), end.y + cut(kCos30 * vy - kSin30 * vx)};
        head.right = Point{end.x + cut(kCos30 * vx - kSin30 * vy), end.y + cut(kSin30 * vx + kCos30 * vy)};
    }
    head.lineEnd = Point{(end.x + q.x) / 2, (end.y + q.y) / 2};
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
