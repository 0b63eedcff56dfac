#pragma once
// Points, sizes and rectangles in pixels, as the stored records and the windows
// both use them: rectangles are left, top, right, bottom.

#include <cstdint>

namespace quillet {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

struct Size {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};

// a - b as 32-bit arithmetic wraps: stored coordinates may be anything.
inline int32_t wrappingDifference(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// a + b, wrapping the same way.
inline int32_t wrappingSum(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t width() const { return wrappingDifference(right, left); }
    int32_t height() const { return wrappingDifference(bottom, top); }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

}  // namespace quillet
