#include "player/render/dib_picture.h"

#include <cstring>

#include "player/container/dib_layout.h"

namespace quillet {
namespace render {
namespace {

uint32_t readU32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

// One channel of a masked pixel widened to 8 bits.
uint32_t field(uint32_t pixel, uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    int bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1)) ++bits;
    uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return value >> (bits - 8);
    // Repeat the top bits into the low ones, so that full scale stays full scale.
    uint32_t wide = 0;
    int filled = 0;
    while (filled < 8) {
        wide = (wide << bits) | value;
        filled += bits;
    }
    return wide >> (filled - 8);
}

struct Format {
    int bitCount = 0;
    std::vector<uint32_t> table;  // 0x00RRGGBB
    uint32_t masks[3] = {0, 0, 0};
    uint64_t stride = 0;
    int32_t width = 0;
};

// The format of the header at dib; rowsAt is where its rows begin.
bool readFormat(const uint8_t* dib, size_t length, Format& format, uint64_t& rowsAt, DibHeader& header) {
    if (!readDibHeader(dib, length, header)) return false;
    if (header.width <= 0 || header.width > (1 << 16) || header.planes != 1) return false;
    const int bits = header.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const bool fields = header.compression == kCompressionBitfields && (bits == 16 || bits == 32);
    if (header.compression != kCompressionRgb && !fields) return false;
    format.bitCount = bits;
    format.width = header.width;
    format.stride = dibStride(header.width, bits);
    const uint32_t colours = dibColourCount(header);
    const size_t entry = header.core() ? 3 : 4;
    const uint64_t tableAt = header.size + (fields && !header.core() ? kBitfieldMasksSize : 0);
    rowsAt = dibPixelOffset(header);
    if (rowsAt > length || tableAt + uint64_t{colours} * entry > length) return false;
    if (fields) {
        if (header.size + kBitfieldMasksSize > length) return false;
        for (int i = 0; i < 3; ++i) format.masks[i] = readU32(dib + header.size + 4 * i);
    } else if (bits == 16) {
        format.masks[0] = 0x7C00, format.masks[1] = 0x03E0, format.masks[2] = 0x001F;
    } else if (bits == 32) {
        format.masks[0] = 0xFF0000, format.masks[1] = 0x00FF00, format.masks[2] = 0x0000FF;
    }
    if (bits <= 8) {
        // Entries past the table are black, as an index past it draws.
        format.table.assign(size_t{1} << bits, 0);
        for (uint32_t i = 0; i < colours && i < format.table.size(); ++i) {
            const uint8_t* c = dib + header.size + uint64_t{i} * entry;
            format.table[i] = (uint32_t{c[2]} << 16) | (uint32_t{c[1]} << 8) | c[0];
        }
    }
    return true;
}

void readRow(const Format& format, const uint8_t* row, uint32_t* out) {
    const int32_t w = format.width;
    switch (format.bitCount) {
    case 1:
        for (int32_t x = 0; x < w; ++x) out[x] = format.table[(row[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        for (int32_t x = 0; x < w; ++x) out[x] = format.table[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
        break;
    case 8:
        for (int32_t x = 0; x < w; ++x) out[x] = format.table[row[x]];
        break;
    case 16:
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = row[2 * x] | (row[2 * x + 1] << 8);
            out[x] = (field(p, format.masks[0]) << 16) | (field(p, format.masks[1]) << 8) | field(p, format.masks[2]);
        }
        break;
    case 24:
        for (int32_t x = 0; x < w; ++x)
            out[x] = (uint32_t{row[3 * x + 2]} << 16) | (uint32_t{row[3 * x + 1]} << 8) | row[3 * x];
        break;
    case 32:
        if (format.masks[0] == 0xFF0000 && format.masks[1] == 0xFF00 && format.masks[2] == 0xFF) {
            for (int32_t x = 0; x < w; ++x) out[x] = readU32(row + 4 * x) & 0xFFFFFF;
        } else {
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t p = readU32(row + 4 * x);
                out[x] = (field(p, format.masks[0]) << 16) | (field(p, format.masks[1]) << 8) |
                         field(p, format.masks[2]);
            }
        }
        break;
    }
}

bool readRows(const Format& format, const uint8_t* rows, size_t length, int32_t height, bool bottomUp,
              Picture& picture) {
    if (height <= 0 || height > (1 << 16) || format.stride * static_cast<uint64_t>(height) > length) return false;
    picture = Picture(format.width, height);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t stored = bottomUp ? height - 1 - y : y;
        readRow(format, rows + format.stride * static_cast<uint64_t>(stored), &picture.pixels[size_t(y) * format.width]);
    }
    return true;
}

}  // namespace

bool pictureFromPackedDib(const uint8_t* dib, size_t length, Picture& picture) {
    Format format;
    uint64_t rowsAt = 0;
    DibHeader header;
    if (!dib || !readFormat(dib, length, format, rowsAt, header) || header.height == 0) return false;
    const bool bottomUp = header.height > 0;
    const int64_t height = bottomUp ? int64_t{header.height} : -int64_t{header.height};
    if (height > (1 << 16)) return false;
    return readRows(format, dib + rowsAt, length - rowsAt, static_cast<int32_t>(height), bottomUp, picture);
}

bool pictureFromPackedDib(const std::vector<uint8_t>& dib, Picture& picture) {
    return pictureFromPackedDib(dib.data(), dib.size(), picture);
}

bool pictureFromScreenRows(const std::vector<uint8_t>& screenFormat, const uint8_t* rows, size_t length,
                           int32_t height, Picture& picture) {
    Format format;
    uint64_t rowsAt = 0;
    DibHeader header;
    if (!readFormat(screenFormat.data(), screenFormat.size(), format, rowsAt, header)) return false;
    return readRows(format, rows, length, height, true, picture);
}

}  // namespace render
}  // namespace quillet
