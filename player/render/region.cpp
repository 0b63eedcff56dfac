#include "player/render/region.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace quillet {
namespace render {
namespace {

// Regions larger than this on a side are cut down: no object of a movie covers
// more than a screen, whatever its stored coordinates say.
constexpr int32_t kMostSide = 1 << 14;
constexpr int32_t kMostCoordinate = 1 << 20;

int32_t clampCoordinate(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -kMostCoordinate, kMostCoordinate)); }

Rect bounded(int32_t l, int32_t t, int32_t r, int32_t b) {
    Rect box{clampCoordinate(l), clampCoordinate(t), clampCoordinate(r), clampCoordinate(b)};
    if (box.right - box.left > kMostSide) box.right = box.left + kMostSide;
    if (box.bottom - box.top > kMostSide) box.bottom = box.top + kMostSide;
    return box;
}

Rect joined(const Rect& a, const Rect& b, bool aEmpty, bool bEmpty) {
    if (aEmpty) return b;
    if (bEmpty) return a;
    return bounded(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                   std::max(a.bottom, b.bottom));
}

struct Span {
    int32_t from, to;
};

// A polygon's spans row by row: edges cross a row at its top, left crossings
// round up into the span and right ones round up out of it.
class PolygonRows {
public:
    const std::vector<Span>& spans(const Point* points, size_t count, bool winding, int32_t y) {
        crossings_.clear();
        spans_.clear();
        for (size_t i = 0; i < count; ++i) {
            const Point p = points[i], q = points[(i + 1) % count];
            if (p.y == q.y) continue;
            const bool down = p.y < q.y;
            const Point lo = down ? p : q, hi = down ? q : p;
            if (y < lo.y || y >= hi.y) continue;
            const double x = lo.x + static_cast<double>(y - lo.y) * (hi.x - lo.x) / (hi.y - lo.y);
            crossings_.push_back({x, down ? 1 : -1});
        }
        std::sort(crossings_.begin(), crossings_.end());
        int inside = 0;
        for (size_t i = 0; i + 1 < crossings_.size(); ++i) {
            inside += winding ? crossings_[i].second : 1;
            if (winding ? inside == 0 : inside % 2 == 0) continue;
            spans_.push_back({static_cast<int32_t>(std::ceil(crossings_[i].first)),
                              static_cast<int32_t>(std::ceil(crossings_[i + 1].first))});
        }
        return spans_;
    }

private:
    std::vector<std::pair<double, int>> crossings_;
    std::vector<Span> spans_;
};

}  // namespace

Region::Region(const Rect& box) : box_(box) {
    if (box_.right < box_.left) box_.right = box_.left;
    if (box_.bottom < box_.top) box_.bottom = box_.top;
    bits_.assign(static_cast<size_t>(box_.width()) * static_cast<size_t>(box_.height()), 0);
}

void Region::setSpan(int32_t y, int32_t from, int32_t to) {
    if (y < box_.top || y >= box_.bottom) return;
    from = std::max(from, box_.left), to = std::min(to, box_.right);
    for (int32_t x = from; x < to; ++x) set(x, y);
}

Region Region::rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    Region r(bounded(left, top, right, bottom));
    std::fill(r.bits_.begin(), r.bits_.end(), 1);
    return r;
}

// Row by row, the corner ellipse is stepped from its widest row outwards, and
// the top half mirrors the bottom one: the rule region creation follows, which
// leaves the right and bottom edges out.
Region Region::roundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                         int32_t cornerHeight) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    --right;
    --bottom;
    const int32_t w = std::min(right - left, std::abs(cornerWidth));
    const int32_t h = std::min(bottom - top, std::abs(cornerHeight));
    if (w < 2 || h < 2) return rect(left, top, right, bottom);
    Region r(bounded(left, top, right, bottom));
    if (h > kMostSide) return rect(left, top, right, bottom);
    struct RowEnds {
        int32_t left, right;
    };
    std::vector<RowEnds> spans(static_cast<size_t>(h) + 1);
    const int64_t a = w - 1, b = h - 1;
    const int64_t asq = 8 * a * a, bsq = 8 * b * b;
    int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + (b % 2));
    int64_t err = dx + dy + a * a * (b % 2);
    int32_t x = 0, y = h / 2;
    spans[static_cast<size_t>(y)] = {left, right};
    while (x <= w / 2) {
        const int64_t e2 = 2 * err;
        if (e2 >= dx) {
            ++x;
            err += dx += bsq;
        }
        if (e2 <= dy) {
            ++y;
            err += dy += asq;
            if (y <= h) spans[static_cast<size_t>(y)] = {left + x, right - x};
        }
    }
    for (int32_t i = 0; i < h / 2; ++i) {
        spans[static_cast<size_t>(i)] = spans[static_cast<size_t>(b - i)];
        r.setSpan(top + i, spans[static_cast<size_t>(i)].left, spans[static_cast<size_t>(i)].right);
    }
    for (int32_t i = h / 2; i < h; ++i) {
        const int32_t row = bottom - h + i;
        const RowEnds s = spans[static_cast<size_t>(i)];
        // The widest row reaches up to the end of the top half.
        const int32_t from = i == h / 2 ? top + h / 2 : row;
        for (int32_t yy = from; yy <= row; ++yy) r.setSpan(yy, s.left, s.right);
    }
    return r;
}

Region Region::ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return roundRect(left, top, right, bottom, right - left, bottom - top);
}

Region Region::polygon(const std::vector<Point>& points, bool winding) {
    if (points.size() < 3) return Region();
    int32_t l = points[0].x, t = points[0].y, r = l, b = t;
    for (const Point& p : points) l = std::min(l, p.x), r = std::max(r, p.x), t = std::min(t, p.y), b = std::max(b, p.y);
    Region region(bounded(l, t, r, b));
    PolygonRows rows;
    for (int32_t y = region.box_.top; y < region.box_.bottom; ++y)
        for (const Span& s : rows.spans(points.data(), points.size(), winding, y)) region.setSpan(y, s.from, s.to);
    return region;
}

bool Region::empty() const { return std::find(bits_.begin(), bits_.end(), 1) == bits_.end(); }

bool Region::contains(int32_t x, int32_t y) const {
    return x >= box_.left && x < box_.right && y >= box_.top && y < box_.bottom && at(x, y);
}

Region Region::reboxed(const Rect& box) const {
    Region r(box);
    const int32_t top = std::max(box.top, box_.top), bottom = std::min(box.bottom, box_.bottom);
    const int32_t left = std::max(box.left, box_.left), right = std::min(box.right, box_.right);
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x)
            if (at(x, y)) r.set(x, y);
    return r;
}

void Region::unite(const Region& other) {
    if (other.bits_.empty()) return;
    Region r = reboxed(joined(box_, other.box_, bits_.empty(), false));
    for (int32_t y = other.box_.top; y < other.box_.bottom; ++y)
        for (int32_t x = other.box_.left; x < other.box_.right; ++x)
            if (other.at(x, y) && r.box_.left <= x && x < r.box_.right && r.box_.top <= y && y < r.box_.bottom)
                r.set(x, y);
    *this = std::move(r);
}

void Region::intersect(const Region& other) {
    for (int32_t y = box_.top; y < box_.bottom; ++y)
        for (int32_t x = box_.left; x < box_.right; ++x)
            if (at(x, y) && !other.contains(x, y))
                bits_[static_cast<size_t>(y - box_.top) * box_.width() + (x - box_.left)] = 0;
}

void Region::subtract(const Region& other) {
    for (int32_t y = box_.top; y < box_.bottom; ++y)
        for (int32_t x = box_.left; x < box_.right; ++x)
            if (other.contains(x, y)) bits_[static_cast<size_t>(y - box_.top) * box_.width() + (x - box_.left)] = 0;
}

void Region::offset(int32_t dx, int32_t dy) {
    const int32_t width = box_.right - box_.left, height = box_.bottom - box_.top;
    box_.left = clampCoordinate(int64_t{box_.left} + dx);
    box_.top = clampCoordinate(int64_t{box_.top} + dy);
    box_.right = box_.left + width;
    box_.bottom = box_.top + height;
}

// The frame is what is left when the region is taken away by its own copies
// moved left, right, up and down in turn, each step ANDed with the region.
Region Region::frame(int32_t width, int32_t height) const {
    Region inner = *this;
    inner.offset(-width, 0);
    inner.intersect(*this);
    inner.offset(2 * width, 0);
    inner.intersect(*this);
    inner.offset(-width, -height);
    inner.intersect(*this);
    inner.offset(0, 2 * height);
    inner.intersect(*this);
    inner.offset(0, -height);
    Region border = *this;
    border.subtract(inner);
    return border;
}

void Region::fill(Picture& picture, Point origin, uint32_t rgb) const {
    for (int32_t y = box_.top; y < box_.bottom; ++y) {
        const int64_t py = int64_t{y} - origin.y;
        if (py < 0 || py >= picture.height) continue;
        for (int32_t x = box_.left; x < box_.right; ++x) {
            const int64_t px = int64_t{x} - origin.x;
            if (px >= 0 && px < picture.width && at(x, y)) picture.pixels[static_cast<size_t>(py * picture.width + px)] = rgb;
        }
    }
}

std::vector<Point> linePixels(Point a, Point b) {
    std::vector<Point> pixels;
    const int64_t dx = std::llabs(int64_t{b.x} - a.x), dy = std::llabs(int64_t{b.y} - a.y);
    const int sx = b.x >= a.x ? 1 : -1, sy = b.y >= a.y ? 1 : -1;
    const int64_t steps = std::min<int64_t>(std::max(dx, dy), kMostSide * 4);
    const bool xMajor = dx >= dy;
    const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    int64_t err = 2 * minor - major;
    Point p = a;
    for (int64_t i = 0; i < steps; ++i) {
        pixels.push_back(p);
        if (err > 0 || (err == 0 && (xMajor ? sx < 0 : sy < 0))) {
            if (xMajor) p.y += sy;
            else p.x += sx;
            err -= 2 * major;
        }
        if (xMajor) p.x += sx;
        else p.y += sy;
        err += 2 * minor;
    }
    return pixels;
}

Region wideLine(Point a, Point b, int32_t width) {
    if (width <= 1) {
        Region r;
        for (const Point& p : linePixels(a, b)) r.unite(Region::rect(p.x, p.y, p.x + 1, p.y + 1));
        return r;
    }
    const double length = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
    Region r;
    if (length > 0) {
        const double nx = -(double(b.y) - a.y) / length * width / 2, ny = (double(b.x) - a.x) / length * width / 2;
        auto at = [](double x, double y) { return Point{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))}; };
        r = Region::polygon({at(a.x + nx, a.y + ny), at(b.x + nx, b.y + ny), at(b.x - nx, b.y - ny), at(a.x - nx, a.y - ny)}, true);
    }
    for (const Point& end : {a, b})
        r.unite(Region::ellipse(end.x - width / 2, end.y - width / 2, end.x + (width + 1) / 2 + 1, end.y + (width + 1) / 2 + 1));
    return r;
}

namespace {

// The outline's points in drawing order, as the platform steps an ellipse's
// outline: one quadrant from the right end up to the top, mirrored across and
// then down, the middle point of an odd side not doubled.
std::vector<Point> ellipsePathPoints(const Rect& path) {
    const int32_t width = path.width(), height = path.height();
    const int64_t a = width - 1, b = height - 1;
    const int64_t asq = 8 * a * a, bsq = 8 * b * b;
    int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + (b % 2));
    int64_t err = dx + dy + a * a * (b % 2);
    std::vector<Point> points;
    int32_t x = width - 1, y = height / 2;
    // One quadrant holds at most half the perimeter's steps; the bound only
    // guards against a stepping that never reaches the top.
    const size_t most = static_cast<size_t>(width) + static_cast<size_t>(height);
    while (x >= width / 2 && points.size() < most) {
        const int64_t e2 = 2 * err;
        points.push_back({path.left + x, path.top + height - 1 - y});
        if (e2 >= dx) {
            --x;
            err += dx += bsq;
        }
        if (e2 <= dy) {
            ++y;
            err += dy += asq;
        }
    }
    auto mirror = [&points](bool oddSide, auto flipped) {
        const size_t count = points.size();
        const size_t end = 2 * count - 1 - (oddSide ? 1 : 0);
        points.resize(end + 1);
        for (size_t i = 0; i < count; ++i) points[end - i] = flipped(points[i]);
    };
    mirror(width % 2 != 0, [&path](Point p) { return Point{path.left + path.right - 1 - p.x, p.y}; });
    mirror(height % 2 != 0, [&path](Point p) { return Point{p.x, path.top + path.bottom - 1 - p.y}; });
    return points;
}

// One piece of a wide outline over rows [top, bottom): a pen tip at a point, a
// band along a level or upright step, or the quadrilateral along a slanted one.
struct StrokePiece {
    enum class Shape { Tip, Band, Quad } shape;
    int32_t top, bottom;
    Point at;                   // Tip: where the tip is centred
    Span band;                  // Band: its columns
    std::array<Point, 4> quad;  // Quad: its corners
};

// The quadrilateral a pen width wide along a slanted step from p to p + (dx, dy):
// half the pen's reach across the step on one side, rounded, and the rest on
// the other, the wider half on the left of the direction of travel.
std::array<Point, 4> slantedStep(Point p, int32_t dx, int32_t dy, int32_t width) {
    const double length = std::hypot(double(dx), double(dy));
    const double across = width * std::abs(double(dy)) / length, down = width * std::abs(double(dx)) / length;
    auto rounded = [](double v) { return static_cast<int32_t>(v + 0.5); };
    Point narrow{rounded(across / 2), rounded(down / 2)}, wide{rounded((across + 1) / 2), rounded((down + 1) / 2)};
    if (dx < 0) narrow.y = -narrow.y, wide.y = -wide.y;
    if (dy < 0) {
        std::swap(narrow, wide);
        wide.x = -wide.x;
        narrow.x = -narrow.x;
    }
    const Point q{p.x + dx, p.y + dy};
    return {Point{p.x - narrow.x, p.y + narrow.y}, Point{p.x + wide.x, p.y - wide.y}, Point{q.x + wide.x, q.y - wide.y},
            Point{q.x - narrow.x, q.y + narrow.y}};
}

}  // namespace

Region Region::ellipseStroke(const Rect& path, int32_t width) {
    if (path.width() <= 2 || path.height() <= 2 || path.width() > kMostSide || path.height() > kMostSide)
        return Region();
    return penStroke(ellipsePathPoints(path), width);
}

Region Region::penStroke(const std::vector<Point>& points, int32_t width) {
    if (points.empty()) return Region();
    width = std::clamp(width, 1, kMostSide);

    // The tip: one pixel for a one-pixel pen, else the round region the pen's
    // joins are made of, kept as its row spans.
    std::vector<Span> tipRows{{0, 1}};
    int32_t tipTop = 0;
    std::vector<StrokePiece> pieces;
    std::vector<Point> tips;
    if (width == 1) {
        for (size_t i = 0; i < points.size(); ++i)
            for (const Point& p : linePixels(points[i], points[(i + 1) % points.size()])) tips.push_back(p);
    } else {
        const int32_t near = width / 2, far = (width + 1) / 2 + 1;
        const Region tip = ellipse(-near, -near, far, far);
        tipTop = tip.box().top;
        tipRows.clear();
        for (int32_t y = tip.box().top; y < tip.box().bottom; ++y) {
            Span row{0, 0};
            for (int32_t x = tip.box().left; x < tip.box().right; ++x)
                if (tip.contains(x, y)) row = row.from == row.to ? Span{x, x + 1} : Span{row.from, x + 1};
            tipRows.push_back(row);
        }
        tips = points;
        for (size_t i = 0; i < points.size(); ++i) {
            const Point p = points[i], q = points[(i + 1) % points.size()];
            const int32_t dx = q.x - p.x, dy = q.y - p.y;
            if (dx == 0 && dy == 0) continue;
            StrokePiece piece{};
            if (dy == 0) {
                piece.shape = StrokePiece::Shape::Band;
                piece.top = p.y - width / 2, piece.bottom = piece.top + width;
                piece.band = {std::min(p.x, q.x), std::max(p.x, q.x)};
            } else if (dx == 0) {
                piece.shape = StrokePiece::Shape::Band;
                piece.top = std::min(p.y, q.y), piece.bottom = std::max(p.y, q.y);
                piece.band = {p.x - width / 2, p.x - width / 2 + width};
            } else {
                piece.shape = StrokePiece::Shape::Quad;
                piece.quad = slantedStep(p, dx, dy, width);
                piece.top = piece.bottom = piece.quad[0].y;
                for (const Point& c : piece.quad) piece.top = std::min(piece.top, c.y), piece.bottom = std::max(piece.bottom, c.y);
            }
            pieces.push_back(piece);
        }
    }
    for (const Point& p : tips) {
        StrokePiece piece{};
        piece.shape = StrokePiece::Shape::Tip;
        piece.at = p;
        piece.top = p.y + tipTop, piece.bottom = piece.top + static_cast<int32_t>(tipRows.size());
        pieces.push_back(piece);
    }
    std::sort(pieces.begin(), pieces.end(), [](const StrokePiece& l, const StrokePiece& r) { return l.top < r.top; });

    // The stroke reaches no further than the pen's width past the path.
    int32_t left = points[0].x, top = points[0].y, right = left, bottom = top;
    for (const Point& p : points)
        left = std::min(left, p.x), top = std::min(top, p.y), right = std::max(right, p.x), bottom = std::max(bottom, p.y);
    const int32_t reach = width + 1;
    Region stroke(bounded(left - reach, top - reach, right + reach + 1, bottom + reach + 1));
    // Row by row, the spans of the pieces over the row, merged: no piece is
    // painted pixel by pixel, so a wide pen costs its rows, not its area.
    PolygonRows polygonRows;
    std::vector<const StrokePiece*> active;
    std::vector<Span> spans;
    size_t next = 0;
    for (int32_t y = stroke.box_.top; y < stroke.box_.bottom; ++y) {
        while (next < pieces.size() && pieces[next].top <= y) active.push_back(&pieces[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [y](const StrokePiece* p) { return p->bottom <= y; }),
                     active.end());
        spans.clear();
        for (const StrokePiece* piece : active) {
            if (piece->shape == StrokePiece::Shape::Tip) {
                const Span row = tipRows[static_cast<size_t>(y - piece->top)];
                spans.push_back({piece->at.x + row.from, piece->at.x + row.to});
            } else if (piece->shape == StrokePiece::Shape::Band) {
                spans.push_back(piece->band);
            } else {
                for (const Span& s : polygonRows.spans(piece->quad.data(), piece->quad.size(), false, y))
                    spans.push_back(s);
            }
        }
        std::sort(spans.begin(), spans.end(), [](const Span& l, const Span& r) { return l.from < r.from; });
        for (size_t i = 0; i < spans.size();) {
            Span merged = spans[i++];
            while (i < spans.size() && spans[i].from <= merged.to) merged.to = std::max(merged.to, spans[i++].to);
            stroke.setSpan(y, merged.from, merged.to);
        }
    }
    return stroke;
}

}  // namespace render
}  // namespace quillet
