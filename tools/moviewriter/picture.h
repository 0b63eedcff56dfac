#pragma once
// A full-screen picture as a recorder captures it: 32-bit pixels 0x00RRGGBB, rows
// from the top.

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    Picture() = default;
    Picture(int32_t w, int32_t h, uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
    void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour);
    bool operator==(const Picture& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// 24- and 32-bit BMP files, bottom-up or top-down.
bool readBmpFile(const std::string& path, Picture& picture, std::string& error);
bool writeBmpFile(const std::string& path, const Picture& picture);
// A packed 32-bit DIB (header and bottom-up rows) of the picture, as movies store
// cursor shapes and logos.
std::string packedDib(const Picture& picture);
// A packed 1-bit DIB from a mask (0 or 1 per pixel, rows from the top).
std::string packedMonochromeDib(int32_t width, int32_t height, const std::vector<uint8_t>& bits);

}  // namespace quillet
