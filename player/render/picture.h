#pragma once
// A picture as the player's buffers hold it: 32-bit pixels 0x00RRGGBB, rows from
// the top, and the raster operations the player draws with. Every operation clips
// to both pictures, as a device context does.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {
namespace render {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    Picture() = default;
    Picture(int32_t w, int32_t h, uint32_t fill = 0);

    bool empty() const { return width <= 0 || height <= 0; }
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
    bool contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t rgb);
    bool operator==(const Picture& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// Colours are stored 0x00BBGGRR; pixels hold 0x00RRGGBB.
constexpr uint32_t rgbFromColour(uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// The block transfers the player uses: source over destination.
enum class RasterOp {
    Copy,    // SRCCOPY
    Paint,   // SRCPAINT: destination OR source
    And,     // SRCAND
    Invert,  // SRCINVERT: destination XOR source
};

// Transfers a width x height block from source at (sx, sy) to dest at (dx, dy).
void blit(Picture& dest, int32_t dx, int32_t dy, int32_t width, int32_t height, const Picture& source, int32_t sx,
          int32_t sy, RasterOp op);

// A stretch in COLORONCOLOR mode: every destination pixel takes the one source
// pixel it maps onto, rows and columns dropped or repeated without blending.
void stretchBlit(Picture& dest, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const Picture& source, int32_t sx,
                 int32_t sy, int32_t sw, int32_t sh, RasterOp op = RasterOp::Copy);
// The same in a memory context's own mode (BLACKONWHITE): where the picture
// shrinks, the pixels that fall together are ANDed.
void stretchBlitAndScans(Picture& dest, int32_t dx, int32_t dy, int32_t dw, int32_t dh, const Picture& source,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh);

// The source pixel index that destination index i of a stretch of sourceSize onto
// destSize takes (both positive).
int32_t stretchSourceIndex(int32_t i, int32_t destSize, int32_t sourceSize);

}  // namespace render
}  // namespace quillet
