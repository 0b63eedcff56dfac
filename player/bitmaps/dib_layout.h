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

// Whether a packed DIB's header claims more than maxWidth x maxHeight pixels (either
// row order). Bytes that hold no header claim nothing: their converter decides.
// Converting a picture allocates by its header, whatever the bytes behind it hold.
bool dibLargerThan(const uint8_t* dib, size_t length, int64_t maxWidth, int64_t maxHeight);

// The screen picture: one header at the start of the screen buffer, the bands
// inflated behind it. Offsets are 64-bit so that no stored header size can wrap them
// back into the header.
struct ScreenLayout {
    uint64_t bandOffset = 0;   // header and a full colour table for 8 bits or fewer
    uint64_t pixelOffset = 0;  // where drawing reads the pixels (the colour-table rule)
    uint64_t stride = 0;
    uint64_t pixelsFrom() const { return bandOffset > pixelOffset ? bandOffset : pixelOffset; }
    // Whether rows of this layout fit a buffer of length bytes, for both offsets.
    bool rowsFit(uint64_t rows, uint64_t length) const;
    bool operator==(const ScreenLayout& other) const {
        return bandOffset == other.bandOffset && pixelOffset == other.pixelOffset && stride == other.stride;
    }
};
// The layout of the screen header at the start of buffer, or false when it is not a
// header the screen can be drawn from: an info header of at most the largest known
// size, the screen's width, a DIB bit depth, no compression but bit-field masks at
// 16 or 32 bits. The height is not looked at: drawing sets it per band.
bool screenLayout(const uint8_t* buffer, size_t length, int32_t screenWidth, ScreenLayout& layout);
// The check made at load: the layout, a height of the screen's (either row order),
// and room for the whole screen's rows.
bool screenHeaderFits(const uint8_t* buffer, size_t length, int32_t screenWidth, int32_t screenHeight);

}  // namespace quillet
