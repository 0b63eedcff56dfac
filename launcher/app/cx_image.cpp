#include "launcher/app/cx_image.h"

namespace {
// Larger pictures than this are refused rather than allocated.
constexpr uint64_t kMaxPixelBytes = 256u << 20;
}  // namespace

CxImage::~CxImage() { Destroy(); }

bool CxImage::Create(uint32_t width, uint32_t height, uint32_t bitsPerPixel) {
    Destroy();
    if (width == 0 || height == 0) return false;
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return false;
    const uint64_t rowBytes = ((static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32) * 4;
    if (rowBytes * height > kMaxPixelBytes) return false;
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    pixels_.assign(static_cast<size_t>(rowBytes * height), 0);
    return true;
}

void CxImage::Destroy() {
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = height_ = bitsPerPixel_ = 0;
}
