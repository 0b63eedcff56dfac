#pragma once
// The picture the viewer library's image components hold: size, depth and pixel
// rows. The launcher exports its destructor to the library.

#include <cstdint>
#include <vector>

#include "launcher/app/cx_file.h"

class CxImage {
public:
    CxImage() = default;
    ORVANE_EXPORT ~CxImage();

    // A blank picture; false for sizes it cannot hold.
    bool Create(uint32_t width, uint32_t height, uint32_t bitsPerPixel);
    void Destroy();
    bool IsValid() const { return !pixels_.empty(); }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    uint32_t BitsPerPixel() const { return bitsPerPixel_; }
    // Bytes in one row, padded to four.
    uint32_t RowBytes() const { return ((width_ * bitsPerPixel_ + 31) / 32) * 4; }
    uint8_t* Row(uint32_t y) { return pixels_.data() + static_cast<size_t>(y) * RowBytes(); }

private:
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t bitsPerPixel_ = 0;
    std::vector<uint8_t> pixels_;
};
