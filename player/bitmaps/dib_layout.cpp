#include "player/bitmaps/dib_layout.h"

#include <cstdlib>

#include "common/byte_reader.h"

namespace quillet {

bool readDibHeader(const uint8_t* dib, size_t length, DibHeader& header) {
    header = DibHeader();
    if (!dib || length < 4) return false;
    ByteReader in(dib, length);
    header.size = in.u32();
    if (header.size == kCoreHeaderSize) {
        header.width = in.u16();
        header.height = in.u16();
        header.planes = in.u16();
        header.bitCount = in.u16();
    } else if (header.size >= kInfoHeaderSize) {
        header.width = in.i32();
        header.height = in.i32();
        header.planes = in.u16();
        header.bitCount = in.u16();
        header.compression = in.u32();
        header.sizeImage = in.u32();
        in.skip(8);  // resolution
        header.colourUsed = in.u32();
    } else {
        return false;
    }
    return in.ok();
}

uint32_t dibColourCount(const DibHeader& header) {
    if (header.core())
        return header.bitCount <= 8 && header.bitCount > 0 ? 1u << header.bitCount : 0;
    if (header.colourUsed != 0) return header.colourUsed;
    switch (header.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

uint32_t dibColourTableSize(const DibHeader& header) {
    uint64_t size = uint64_t{dibColourCount(header)} * (header.core() ? 3 : 4);
    return size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size);
}

uint32_t dibPixelOffset(const DibHeader& header) {
    uint64_t offset = uint64_t{header.size} + dibColourTableSize(header);
    if (!header.core() && header.bitCount > 8 && header.compression == kCompressionBitfields)
        offset += kBitfieldMasksSize;
    return offset > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(offset);
}

uint64_t dibStride(int64_t width, int bitsPerPixel) {
    uint64_t bits = static_cast<uint64_t>(std::llabs(width)) * static_cast<uint64_t>(bitsPerPixel);
    return ((bits + 31) / 32) * 4;
}

uint64_t dibPixelAreaSize(const DibHeader& header) {
    return dibStride(header.width, header.bitCount) * static_cast<uint64_t>(std::llabs(header.height));
}

namespace {
constexpr uint32_t kLargestInfoHeaderSize = 124;
}

bool dibLargerThan(const uint8_t* dib, size_t length, int64_t maxWidth, int64_t maxHeight) {
    DibHeader header;
    if (!readDibHeader(dib, length, header)) return false;
    return std::llabs(int64_t{header.width}) > maxWidth || std::llabs(int64_t{header.height}) > maxHeight;
}

bool ScreenLayout::rowsFit(uint64_t rows, uint64_t length) const {
    const uint64_t from = pixelsFrom();
    return from <= length && (stride == 0 || rows <= (length - from) / stride);
}

bool screenLayout(const uint8_t* buffer, size_t length, int32_t screenWidth, ScreenLayout& layout) {
    layout = ScreenLayout();
    DibHeader header;
    if (!readDibHeader(buffer, length, header) || header.core() || header.size > kLargestInfoHeaderSize)
        return false;
    if (screenWidth <= 0 || header.width != screenWidth) return false;
    switch (header.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    const bool masks = header.compression == kCompressionBitfields && (header.bitCount == 16 || header.bitCount == 32);
    if (header.compression != kCompressionRgb && !masks) return false;
    layout.bandOffset = uint64_t{header.size} + (header.bitCount <= 8 ? uint64_t{4} << header.bitCount : 0);
    layout.pixelOffset = uint64_t{header.size} + uint64_t{dibColourCount(header)} * 4 + (masks ? kBitfieldMasksSize : 0);
    layout.stride = dibStride(header.width, header.bitCount);
    return layout.pixelsFrom() <= length;
}

bool screenHeaderFits(const uint8_t* buffer, size_t length, int32_t screenWidth, int32_t screenHeight) {
    ScreenLayout layout;
    if (screenHeight <= 0 || !screenLayout(buffer, length, screenWidth, layout)) return false;
    DibHeader header;
    readDibHeader(buffer, length, header);
    return std::llabs(int64_t{header.height}) == screenHeight && layout.rowsFit(static_cast<uint64_t>(screenHeight), length);
}

}  // namespace quillet
