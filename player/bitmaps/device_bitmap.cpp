#include "player/bitmaps/device_bitmap.h"

#include <cstdlib>

#include "player/bitmaps/dib_layout.h"

namespace quillet {

PackedDibBitmap::PackedDibBitmap(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    DibHeader header;
    if (readDibHeader(bytes_.data(), bytes_.size(), header)) {
        width_ = header.width;
        height_ = std::abs(header.height);
    }
}

std::unique_ptr<DeviceBitmap> PackedDibFactory::fromPackedDib(const uint8_t* dib, size_t length) {
    if (!dib || length == 0) return nullptr;
    return std::make_unique<PackedDibBitmap>(std::vector<uint8_t>(dib, dib + length));
}

}  // namespace quillet
