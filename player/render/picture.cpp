#include "player/render/picture.h"

#include <algorithm>
#include <cstddef>

namespace quillet {
namespace render {
namespace {

uint32_t combine(uint32_t dest, uint32_t source, RasterOp op) {
    switch (op) {
    case RasterOp::Copy: return source;
    case RasterOp::Paint: return dest | source;
    case RasterOp::And: return dest & source;
    case RasterOp::Invert: return dest ^ source;
    }
    return source;
}

// Which source index each destination index of one axis takes, by the stepping a
// line drawer uses between the two lengths. Enlarging repeats a source pixel;
// reducing passes several source pixels over one destination pixel, and then rows
// keep the first of them and columns the last (a column pass copies each in turn
// over the one before, a row pass skips the merged rows).
std::vector<int32_t> axisMap(int32_t destSize, int32_t sourceSize, bool keepLast) {
    std::vector<int32_t> map(static_cast<size_t>(destSize), 0);
    const int64_t d = destSize, s = sourceSize;
    if (s <= d) {
        int64_t err = 3 * s - 2 * d;
        int32_t source = 0;
        for (int32_t i = 0; i < destSize; ++i) {
            map[static_cast<size_t>(i)] = source;
            if (err > 0) {
                ++source;
                err += 2 * s - 2 * d;
            } else {
                err += 2 * s;
            }
        }
        return map;
    }
    int64_t err = 3 * d - 2 * s;
    int32_t dest = 0;
    bool fresh = true;
    for (int32_t source = 0; source < sourceSize && dest < destSize; ++source) {
        if (fresh || keepLast) map[static_cast<size_t>(dest)] = source;
        fresh = false;
        if (err > 0) {
            ++dest;
            fresh = true;
            err += 2 * d - 2 * s;
        } else {
            err += 2 * d;
        }
    }
    return map;
}

}  // namespace

Picture::Picture(int32_t w, int32_t h, uint32_t fill)
    : width(std::max(0, w)), height(std::max(0, h)),
      pixels(static_cast<size_t>(std::max(0, w)) * static_cast<size_t>(std::max(0, h)), fill) {}

void Picture::fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t rgb) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width), bottom = std::min(bottom, height);
    for (int32_t y = top; y < bottom; ++y)
        std::fill(pixels.begin() + static_cast<ptrdiff_t>(y) * width + left,
                  pixels.begin() + static_cast<ptrdiff_t>(y) * width + right, rgb);
}

void blit(Picture& dest, int32_t dx, int32_t dy, int32_t width, int32_t height, const Picture& source, int32_t sx,
          int32_t sy, RasterOp op) {
    // Clip against both pictures, moving the two origins together.
    int64_t x0 = std::max<int64_t>({0, dx, int64_t{dx} - sx});
    int64_t y0 = std::max<int64_t>({0, dy, int64_t{dy} - sy});
    int64_t x1 = std::min<int64_t>({dest.width, int64_t{dx} + width, int64_t{dx} - sx + source.width});
    int64_t y1 = std::min<int64_t>({dest.height, int64_t{dy} + height, int64_t{dy} - sy + source.height});
    for (int64_t y = y0; y < y1; ++y) {
        uint32_t* to = &dest.pixels[static_cast<size_t>(y * dest.width)];
        const uint32_t* from = &source.pixels[static_cast<size_t>((y - dy + sy) * source.width)];
        for (int64_t x = x0; x < x1; ++x) to[x] = combine(to[x], from[x - dx + sx], op);
    }
}

int32_t stretchSourceIndex(int32_t i, int32_t destSize, int32_t sourceSize) {
    return axisMap(destSize, sourceSize, true)[static_cast<size_t>(i)];
}

void stretchBlit(Picture& dest, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const Picture& source, int32_t sx,
                 int32_t sy, int32_t sw, int32_t sh, RasterOp op) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (dw == sw && dh == sh) {
        blit(dest, dx, dy, dw, dh, source, sx, sy, op);
        return;
    }
    // A one-pixel destination takes one source pixel less, as the platform does.
    if (dw == 1 && sw > 1) --sw;
    if (dh == 1 && sh > 1) --sh;
    const std::vector<int32_t> columns = axisMap(dw, sw, true);
    const std::vector<int32_t> rows = axisMap(dh, sh, false);
    for (int32_t j = 0; j < dh; ++j) {
        const int64_t y = int64_t{dy} + j, from = int64_t{sy} + rows[static_cast<size_t>(j)];
        if (y < 0 || y >= dest.height || from < 0 || from >= source.height) continue;
        uint32_t* to = &dest.pixels[static_cast<size_t>(y * dest.width)];
        const uint32_t* row = &source.pixels[static_cast<size_t>(from * source.width)];
        for (int32_t i = 0; i < dw; ++i) {
            const int64_t x = int64_t{dx} + i, fromX = int64_t{sx} + columns[static_cast<size_t>(i)];
            if (x < 0 || x >= dest.width || fromX < 0 || fromX >= source.width) continue;
            to[x] = combine(to[x], row[fromX], op);
        }
    }
}

void stretchBlitAndScans(Picture& dest, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const Picture& source,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (sw <= dw && sh <= dh) {
        stretchBlit(dest, dx, dy, dw, dh, source, sx, sy, sw, sh);
        return;
    }
    if (dw == 1 && sw > 1) --sw;
    if (dh == 1 && sh > 1) --sh;
    // Each destination index takes the source indexes from its own first up to
    // the next one's first (the last one of a shrinking axis, alone otherwise).
    auto ranges = [](int32_t d, int32_t s) {
        std::vector<std::pair<int32_t, int32_t>> r(static_cast<size_t>(d));
        const std::vector<int32_t> first = axisMap(d, s, false), last = axisMap(d, s, true);
        for (int32_t i = 0; i < d; ++i) r[static_cast<size_t>(i)] = {first[static_cast<size_t>(i)], s > d ? last[static_cast<size_t>(i)] : first[static_cast<size_t>(i)]};
        return r;
    };
    const auto columns = ranges(dw, sw), rows = ranges(dh, sh);
    for (int32_t j = 0; j < dh; ++j) {
        const int64_t y = int64_t{dy} + j;
        if (y < 0 || y >= dest.height) continue;
        for (int32_t i = 0; i < dw; ++i) {
            const int64_t x = int64_t{dx} + i;
            if (x < 0 || x >= dest.width) continue;
            uint32_t value = 0xFFFFFFFF;
            bool any = false;
            for (int32_t v = rows[static_cast<size_t>(j)].first; v <= rows[static_cast<size_t>(j)].second; ++v)
                for (int32_t u = columns[static_cast<size_t>(i)].first; u <= columns[static_cast<size_t>(i)].second; ++u) {
                    const int64_t fx = int64_t{sx} + u, fy = int64_t{sy} + v;
                    if (fx < 0 || fy < 0 || fx >= source.width || fy >= source.height) continue;
                    value &= source.pixels[static_cast<size_t>(fy * source.width + fx)];
                    any = true;
                }
            if (any) dest.pixels[static_cast<size_t>(y * dest.width + x)] = value;
        }
    }
}

}  // namespace render
}  // namespace quillet
