#pragma once
// The cursor shapes of the oldest movies store one colour image in which magenta
// (red 255, green 0, blue 255) marks the pixels where the screen shows through.
// The cursor overlay draws a colour image and a mask; both are made from it here.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {

constexpr uint32_t kCursorKeyColour = 0xFF00FF;  // 0xRRGGBB
constexpr int32_t kKeyedCursorSide = 32;

struct KeyedCursorPictures {
    // Packed 32-bit DIB, 32 x 32: the image over white, magenta turned white.
    std::vector<uint8_t> colour;
    // Packed 1-bit DIB, 32 x 32: 1 where the image is magenta or has no pixel.
    std::vector<uint8_t> mask;
};

// False when the image is not a picture the mask can be made from: too short for
// its header, colour table or pixels, compressed, or of an unknown depth.
bool makeKeyedCursorPictures(const uint8_t* dib, size_t length, KeyedCursorPictures& out);

}  // namespace quillet
