#pragma once
// A small raster canvas for the pictures the programs draw at build time: filled
// polygons, discs and rings, shaded by a function of the pixel, and an outline.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace quillet::art {

struct Colour {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};
constexpr Colour kClear{0, 0, 0, 0};
constexpr Colour rgb(uint8_t r, uint8_t g, uint8_t b) { return {r, g, b, 255}; }

class Canvas {
public:
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, kClear) {}
    int width, height;
    std::vector<Colour> pixels;

    Colour at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void set(int x, int y, Colour c) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = c;
    }
    bool opaque(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height && at(x, y).a != 0; }

    void rect(int left, int top, int right, int bottom, Colour c) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) set(x, y, c);
    }
    // Fills every pixel whose centre lies inside the polygon; shade picks the colour.
    void polygon(const std::vector<std::pair<double, double>>& points, const std::function<Colour(int, int)>& shade) {
        for (int y = 0; y < height; ++y) {
            const double cy = y + 0.5;
            std::vector<double> crossings;
            for (size_t i = 0; i < points.size(); ++i) {
                auto [x0, y0] = points[i];
                auto [x1, y1] = points[(i + 1) % points.size()];
                if ((y0 <= cy && y1 > cy) || (y1 <= cy && y0 > cy)) crossings.push_back(x0 + (cy - y0) / (y1 - y0) * (x1 - x0));
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2)
                for (int x = 0; x < width; ++x)
                    if (x + 0.5 >= crossings[i] && x + 0.5 < crossings[i + 1]) set(x, y, shade(x, y));
        }
    }
    void polygon(const std::vector<std::pair<double, double>>& points, Colour c) {
        polygon(points, [c](int, int) { return c; });
    }
    void disc(double cx, double cy, double radius, const std::function<Colour(int, int)>& shade) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                if (dx * dx + dy * dy <= radius * radius) set(x, y, shade(x, y));
            }
    }
    void disc(double cx, double cy, double radius, Colour c) {
        disc(cx, cy, radius, [c](int, int) { return c; });
    }
    void ring(double cx, double cy, double outer, double inner, Colour c) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = dx * dx + dy * dy;
                if (d <= outer * outer && d > inner * inner) set(x, y, c);
            }
    }
    // A one-pixel edge around everything drawn so far.
    void outline(Colour c) {
        Canvas copy = *this;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (!copy.opaque(x, y) && (copy.opaque(x - 1, y) || copy.opaque(x + 1, y) || copy.opaque(x, y - 1) ||
                                           copy.opaque(x, y + 1)))
                    set(x, y, c);
    }
    void paste(const Canvas& other, int left, int top) {
        for (int y = 0; y < other.height; ++y)
            for (int x = 0; x < other.width; ++x)
                if (other.at(x, y).a) set(left + x, top + y, other.at(x, y));
    }
};

inline Colour mix(Colour a, Colour b, double t) {
    auto m = [t](uint8_t p, uint8_t q) { return static_cast<uint8_t>(std::lround(p + (q - p) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), 255};
}
// Light at the top, darker towards the bottom of a glyph of height h.
inline std::function<Colour(int, int)> vertical(Colour top, Colour bottom, int from, int to) {
    return [=](int, int y) { return mix(top, bottom, std::clamp((y - from) / double(std::max(1, to - from)), 0.0, 1.0)); };
}

}  // namespace quillet::art
