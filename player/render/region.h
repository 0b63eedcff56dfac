#pragma once
// Areas of pixels as the platform's regions hold them, kept as a mask over a
// bounding box: rectangles, rounded rectangles and ellipses made by the same
// stepping rule as region creation, polygons by scan conversion (left and top
// edges in, right and bottom edges out), and the set operations objects combine
// them with.

#include <cstdint>
#include <vector>

#include "common/geometry.h"
#include "player/render/picture.h"

namespace quillet {
namespace render {

class Region {
public:
    Region() = default;
    static Region rect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // A rounded rectangle over (left, top, right, bottom), right and bottom not
    // included, with corner ellipses of cornerWidth x cornerHeight.
    static Region roundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                            int32_t cornerHeight);
    static Region ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // What the platform's Ellipse paints with a pen width wide whose path is the
    // ellipse inscribed in path (right and bottom out): the stepped outline's
    // points joined by pen-wide steps, with a round pen tip at every point (for
    // a one-pixel pen, the points alone). Paths of two pixels or less across
    // are not ellipses to the platform and give an empty region.
    static Region ellipseStroke(const Rect& path, int32_t width);
    // What a pen width wide paints along the closed path through points: for a
    // one-pixel pen the stepped lines between them, for a wider one pen-wide
    // steps with a round pen tip at every point, as the platform joins them.
    static Region penStroke(const std::vector<Point>& points, int32_t width);
    // winding: nonzero fill; else alternate (even-odd).
    static Region polygon(const std::vector<Point>& points, bool winding);

    bool empty() const;
    bool contains(int32_t x, int32_t y) const;
    const Rect& box() const { return box_; }

    void unite(const Region& other);
    void intersect(const Region& other);
    void subtract(const Region& other);
    void offset(int32_t dx, int32_t dy);
    // The border FrameRgn paints: the pixels of the region that some copy of it
    // moved by up to width across or height down does not cover.
    Region frame(int32_t width, int32_t height) const;

    // Paints the region's pixels into picture, region point (x, y) landing on
    // picture pixel (x - origin.x, y - origin.y).
    void fill(Picture& picture, Point origin, uint32_t rgb) const;

private:
    Region(const Rect& box);
    bool at(int32_t x, int32_t y) const {
        return bits_[static_cast<size_t>(y - box_.top) * static_cast<size_t>(box_.width()) +
                     static_cast<size_t>(x - box_.left)] != 0;
    }
    void set(int32_t x, int32_t y) {
        bits_[static_cast<size_t>(y - box_.top) * static_cast<size_t>(box_.width()) +
              static_cast<size_t>(x - box_.left)] = 1;
    }
    void setSpan(int32_t y, int32_t from, int32_t to);
    Region reboxed(const Rect& box) const;

    Rect box_;
    std::vector<uint8_t> bits_;
};

// A one-pixel line from a to b without its last pixel, stepped as the platform
// steps lines.
std::vector<Point> linePixels(Point a, Point b);
// The pixels a pen width wide paints along a line from a to b with round ends.
Region wideLine(Point a, Point b, int32_t width);

}  // namespace render
}  // namespace quillet
