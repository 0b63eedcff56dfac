#include "player/container/keyed_cursor.h"

#include <cstdlib>

#include "common/byte_reader.h"
#include "player/bitmaps/dib_layout.h"

namespace quillet {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBitfieldMasksAt = kInfoHeaderSize;

// Reads pixels of an uncompressed packed DIB as 0xRRGGBB, rows counted from the top.
class DibPixels {
public:
    bool open(const uint8_t* dib, size_t length) {
        dib_ = dib;
        length_ = length;
        if (!readDibHeader(dib, length, header_)) return false;
        const uint16_t bits = header_.bitCount;
        if (header_.width <= 0 || header_.height == 0) return false;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
        if (!header_.core() && header_.compression != kCompressionRgb) {
            if (header_.compression != kCompressionBitfields || (bits != 16 && bits != 32)) return false;
            if (!readMasks()) return false;
        } else if (bits == 16) {
            masks_[0] = 0x7C00;  // five bits each
            masks_[1] = 0x03E0;
            masks_[2] = 0x001F;
        }
        bottomUp_ = header_.height > 0;
        height_ = static_cast<int32_t>(std::llabs(header_.height));
        stride_ = dibStride(header_.width, bits);
        pixelsAt_ = dibPixelOffset(header_);
        const uint64_t tableAt = header_.size;
        if (tableAt + dibColourTableSize(header_) > length) return false;
        return pixelsAt_ <= length && stride_ * static_cast<uint64_t>(height_) <= length - pixelsAt_;
    }

    int32_t width() const { return header_.width; }
    int32_t height() const { return height_; }

    uint32_t at(int32_t x, int32_t y) const {
        const uint64_t row = static_cast<uint64_t>(bottomUp_ ? height_ - 1 - y : y);
        const uint64_t bitAt = static_cast<uint64_t>(x) * header_.bitCount;
        const uint8_t* p = dib_ + pixelsAt_ + row * stride_ + bitAt / 8;
        switch (header_.bitCount) {
        case 1: return tableColour((*p >> (7 - bitAt % 8)) & 1);
        case 4: return tableColour((*p >> (4 - bitAt % 8)) & 0xF);
        case 8: return tableColour(*p);
        case 16: return fromMasks(static_cast<uint32_t>(p[0] | (p[1] << 8)));
        case 24: return bgr(p);
        default:
            if (header_.compression == kCompressionBitfields)
                return fromMasks(ByteReader(p, 4).u32());
            return bgr(p);
        }
    }

private:
    static uint32_t bgr(const uint8_t* p) { return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0]; }

    uint32_t tableColour(uint32_t index) const {
        if (index >= dibColourCount(header_)) return 0;
        return bgr(dib_ + header_.size + index * (header_.core() ? 3 : 4));
    }

    bool readMasks() {
        if (length_ < kBitfieldMasksAt + kBitfieldMasksSize) return false;
        ByteReader in(dib_ + kBitfieldMasksAt, kBitfieldMasksSize);
        for (uint32_t& mask : masks_) mask = in.u32();
        return true;
    }

    // A channel scaled to eight bits: its value over the most its mask can hold.
    static uint32_t channel(uint32_t value, uint32_t mask) {
        if (mask == 0) return 0;
        while (!(mask & 1)) {
            mask >>= 1;
            value >>= 1;
        }
        return static_cast<uint32_t>((uint64_t{value & mask} * 255 + mask / 2) / mask);
    }

    uint32_t fromMasks(uint32_t value) const {
        return (channel(value & masks_[0], masks_[0]) << 16) | (channel(value & masks_[1], masks_[1]) << 8) |
               channel(value & masks_[2], masks_[2]);
    }

    const uint8_t* dib_ = nullptr;
    size_t length_ = 0;
    DibHeader header_;
    uint32_t masks_[3] = {};
    bool bottomUp_ = true;
    int32_t height_ = 0;
    uint64_t stride_ = 0;
    uint64_t pixelsAt_ = 0;
};

void writeInfoHeader(ByteWriter& out, int32_t side, uint16_t bits, uint32_t colours) {
    out.u32(kInfoHeaderSize);
    out.i32(side);
    out.i32(side);  // bottom-up
    out.u16(1);
    out.u16(bits);
    out.u32(kCompressionRgb);
    out.u32(static_cast<uint32_t>(dibStride(side, bits) * static_cast<uint64_t>(side)));
    out.i32(0);
    out.i32(0);
    out.u32(colours);
    out.u32(0);
}

}  // namespace

bool makeKeyedCursorPictures(const uint8_t* dib, size_t length, KeyedCursorPictures& out) {
    DibPixels image;
    if (!image.open(dib, length)) return false;
    constexpr int32_t side = kKeyedCursorSide;
    // clear[y][x]: the screen shows through there.
    bool clear[side][side];
    uint32_t colour[side][side];
    for (int32_t y = 0; y < side; ++y) {
        for (int32_t x = 0; x < side; ++x) {
            const bool inside = x < image.width() && y < image.height();
            const uint32_t pixel = inside ? image.at(x, y) : kWhite;
            clear[y][x] = !inside || pixel == kCursorKeyColour;
            colour[y][x] = clear[y][x] ? kWhite : pixel;
        }
    }

    std::string bytes;
    ByteWriter colourOut(bytes);
    writeInfoHeader(colourOut, side, 32, 0);
    for (int32_t y = side - 1; y >= 0; --y)
        for (int32_t x = 0; x < side; ++x) colourOut.u32(colour[y][x]);
    out.colour.assign(bytes.begin(), bytes.end());

    bytes.clear();
    ByteWriter maskOut(bytes);
    writeInfoHeader(maskOut, side, 1, 2);
    maskOut.u32(0x000000);  // 0: the cursor's own pixels
    maskOut.u32(0xFFFFFF);  // 1: the screen
    for (int32_t y = side - 1; y >= 0; --y) {
        for (int32_t x = 0; x < side; x += 8) {
            uint8_t byte = 0;
            for (int32_t bit = 0; bit < 8; ++bit)
                if (clear[y][x + bit]) byte |= static_cast<uint8_t>(0x80 >> bit);
            maskOut.u8(byte);
        }
    }
    out.mask.assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace quillet
