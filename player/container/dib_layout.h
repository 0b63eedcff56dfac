#pragma once
// The layout of a packed device-independent bitmap: a 40-byte info header (or a
// 12-byte core header), the colour table, then the pixel rows.

#include <cstddef>
#include <cstdint>

namespace quillet {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitfields = 3;
constexpr uint32_t kBitfieldMasksSize = 12;

struct DibHeader {
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t colourUsed = 0;
    bool core() const { return size == kCoreHeaderSize; }
};

// Reads the header at the start of a packed DIB; false when the bytes are too few
// or the header size is neither form.
bool readDibHeader(const uint8_t* dib, size_t length, DibHeader& header);

uint32_t dibColourCount(const DibHeader& header);
uint32_t dibColourTableSize(const DibHeader& header);
// Offset of the pixel rows from the start of the block.
uint32_t dibPixelOffset(const DibHeader& header);
// Bytes per row: rows are padded to 32 bits.
uint64_t dibStride(int64_t width, int bitsPerPixel);
uint64_t dibPixelAreaSize(const DibHeader& header);

}  // namespace quillet
