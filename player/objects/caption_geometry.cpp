#include "player/objects/caption_geometry.h"

#include <algorithm>
#include <cmath>

namespace quillet {
namespace {

// Coordinates this far out are past anything GDI draws; stored values may be
// anything, and every sum is made in 64 bits and held to this range.
constexpr int64_t kCoordinateLimit = int64_t{1} << 27;
// A curved outline gets at most this many columns, however wide its body claims
// to be.
constexpr double kMostColumns = 4096;
// 0.5 - 0.3535: the part of a corner ellipse's half-axis outside the square
// inscribed in it.
constexpr double kInscribedInset = 0.5 - 0.3535;

int32_t held(int64_t value) {
    return static_cast<int32_t>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

int32_t held(double value) {
    if (!(value > static_cast<double>(-kCoordinateLimit))) return static_cast<int32_t>(-kCoordinateLimit);
    if (!(value < static_cast<double>(kCoordinateLimit))) return static_cast<int32_t>(kCoordinateLimit);
    return static_cast<int32_t>(std::lround(value));
}

Point shifted(Point p, Point by) { return {held(int64_t{p.x} + by.x), held(int64_t{p.y} + by.y)}; }

Point rounded(PointF p) { return {held(p.x), held(p.y)}; }

Quad sweep(Point a, Point b, Point depth) { return Quad{{a, b, shifted(b, depth), shifted(a, depth)}}; }

Rect deflated(const Rect& r, int64_t dx, int64_t dy) { return adjusted(r, dx, dy, -dx, -dy); }

uint8_t channel(uint32_t colour, int shift) { return static_cast<uint8_t>(colour >> shift); }

}  // namespace

namespace face_light {
const double kRight = std::sqrt(14.0 * 14.0 + 6.0 * 6.0);
const double kLeft = std::sqrt(6.0 * 6.0 + 6.0 * 6.0);
const double kTop = std::sqrt(4.0 * 4.0 + 4.0 * 4.0);
const double kBottom = std::sqrt(16.0 * 16.0 + 4.0 * 4.0);
}  // namespace face_light

uint32_t shade(uint32_t colour, double c, double d) {
    if (!(d >= 1)) d = 1;
    uint32_t result = 0;
    for (int shift : {0, 8, 16}) {
        const int v = channel(colour, shift);
        double lit;
        if (c > d)
            lit = v + (d - c) * static_cast<double>(v / static_cast<int64_t>(d));
        else
            lit = v + (d - c) * (255 - v) / d;
        lit = std::clamp(lit, 0.0, 255.0);
        result |= static_cast<uint32_t>(lit) << shift;
    }
    return result;
}

Point forcedDepth(int32_t depthCorner, int32_t depthX, int32_t depthY, bool rectangular) {
    int xSign = 0, ySign = 0;
    switch (depthCorner) {
    case 0: xSign = 1, ySign = -1; break;
    case 1: xSign = 1, ySign = 1; break;
    case 2: xSign = -1, ySign = 1; break;
    case 3: xSign = -1, ySign = -1; break;
    default: return {depthX, depthY};  // no corner: the vector as stored
    }
    auto force = [&](int32_t value, int sign) -> int32_t {
        const bool rightWay = (sign > 0 && value > 0) || (sign < 0 && value < 0);
        if (rightWay) return value;
        if (rectangular) return sign;
        return 0;
    };
    return {force(depthX, xSign), force(depthY, ySign)};
}

RectDepth rectDepth(const Rect& body, Point depth, uint32_t lineColour) {
    const int32_t L = body.left, T = body.top, R = body.right, B = body.bottom;
    const bool rightward = depth.x >= 0, upward = depth.y < 0;
    RectDepth faces;
    const int32_t x = rightward ? R : L;
    faces.vertical.quad = sweep(Point{x, B}, Point{x, T}, depth);
    faces.vertical.colour =
        shade(lineColour, rightward ? face_light::kRight : face_light::kLeft, kFaceLightReference);
    const int32_t y = upward ? T : B;
    faces.horizontal.quad = sweep(Point{L, y}, Point{R, y}, depth);
    faces.horizontal.colour =
        shade(lineColour, upward ? face_light::kTop : face_light::kBottom, kFaceLightReference);
    // Up-right and down-left sweeps leave the top-left and bottom-right corners on
    // the solid's outline; the other two directions the other two corners.
    if (rightward == upward)
        faces.region = sweep(Point{L, T}, Point{R, B}, depth);
    else
        faces.region = sweep(Point{R, T}, Point{L, B}, depth);
    return faces;
}

std::vector<PointF> roundedOutline(const Rect& box, Point corner) {
    std::vector<PointF> outline;
    const double left = box.left, top = box.top;
    const double right = static_cast<double>(box.right) + 1, bottom = static_cast<double>(box.bottom) + 1;
    const double width = right - left, height = bottom - top;
    if (!(width > 0) || !(height > 0)) return outline;
    const double rx = std::clamp(static_cast<double>(corner.x), 0.0, width) / 2;
    const double ry = std::clamp(static_cast<double>(corner.y), 0.0, height) / 2;
    // How far the outline lies inside the box's top (or bottom) edge at x: on a
    // corner ellipse, y = ry * sqrt(1 - u^2) about its centre.
    auto inset = [&](double x) {
        double u = 0;
        if (rx > 0 && x < left + rx) u = (left + rx - x) / rx;
        else if (rx > 0 && x > right - rx) u = (x - (right - rx)) / rx;
        return ry * (1 - std::sqrt(std::max(0.0, 1 - u * u)));
    };
    const double step = std::max(1.0, std::ceil(width / kMostColumns));
    std::vector<double> columns;
    for (double x = left; x < right; x += step) columns.push_back(x);
    columns.push_back(right);
    outline.reserve(columns.size() * 2);
    for (double x : columns) outline.push_back({x, top + inset(x)});
    for (auto it = columns.rbegin(); it != columns.rend(); ++it) outline.push_back({*it, bottom - inset(*it)});
    return outline;
}

CurvedDepth curvedDepth(const std::vector<PointF>& outline, Point depth, uint32_t lineColour, double halfWidth) {
    CurvedDepth result;
    if (outline.size() < 3 || (depth.x == 0 && depth.y == 0)) return result;
    double minX = outline[0].x, maxX = minX, minY = outline[0].y, maxY = minY;
    for (const PointF& p : outline) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    const PointF centre{(minX + maxX) / 2, (minY + maxY) / 2};
    // The points of contact: the outline's extremes across the depth direction.
    const PointF across{-static_cast<double>(depth.y), static_cast<double>(depth.x)};
    size_t most = 0, least = 0;
    for (size_t i = 0; i < outline.size(); ++i) {
        const double along = outline[i].x * across.x + outline[i].y * across.y;
        if (along > outline[most].x * across.x + outline[most].y * across.y) most = i;
        if (along < outline[least].x * across.x + outline[least].y * across.y) least = i;
    }
    const PointF a = outline[most], b = outline[least];
    const PointF reference = a.x + a.y <= b.x + b.y ? a : b;
    result.region = sweep(rounded(a), rounded(b), depth);

    for (size_t i = 0; i < outline.size(); ++i) {
        const PointF p = outline[i], q = outline[(i + 1) % outline.size()];
        PointF normal{q.y - p.y, p.x - q.x};
        const PointF middle{(p.x + q.x) / 2, (p.y + q.y) / 2};
        if (normal.x * (middle.x - centre.x) + normal.y * (middle.y - centre.y) < 0) normal = {-normal.x, -normal.y};
        if (normal.x * depth.x + normal.y * depth.y <= 0) continue;
        const double distance = std::hypot(middle.x - reference.x, middle.y - reference.y);
        result.faces.push_back({sweep(rounded(p), rounded(q), depth), shade(lineColour, distance, halfWidth)});
    }
    return result;
}

Rect textArea(const CaptionRecord& record) {
    using namespace caption_kind;
    const Rect& body = record.header.bodyRect;
    switch (record.kind()) {
    case kRoundCaption:
    case kRoundBalloon:
        return deflated(body, static_cast<int64_t>(record.cornerSize.x * kInscribedInset),
                        static_cast<int64_t>(record.cornerSize.y * kInscribedInset));
    case kEllipseCaption:
    case kEllipseBalloon: {
        const int64_t side = std::min<int64_t>(int64_t{body.right} - body.left, int64_t{body.bottom} - body.top);
        const auto inset = static_cast<int64_t>(static_cast<double>(side) * kInscribedInset);
        return deflated(body, inset, inset);
    }
    case kTitledCaption: return deflated(record.title.bodyTextRect, 4, 4);
    default: return deflated(body, 4, 4);
    }
}

Rect centredVertically(const Rect& area, int32_t measuredHeight) {
    const int64_t top = area.top + (int64_t{area.bottom} - area.top - measuredHeight) / 2;
    return Rect{area.left, held(top), area.right, held(top + measuredHeight)};
}

std::array<Point, 3> tailTriangle(const BalloonTail& tail) {
    Point a = tail.tailBaseA, b = tail.tailBaseB;
    if (a.y == b.y) {
        a.y = held(int64_t{a.y} - 1);
        b.y = held(int64_t{b.y} + 1);
    }
    return {tail.tailTip, a, b};
}

Rect adjusted(const Rect& r, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return Rect{held(r.left + left), held(r.top + top), held(r.right + right), held(r.bottom + bottom)};
}

bool roundedIsSmall(const Rect& body, Point cornerSize) {
    return int64_t{body.right} - body.left < cornerSize.x || int64_t{body.bottom} - body.top < cornerSize.y;
}

}  // namespace quillet
