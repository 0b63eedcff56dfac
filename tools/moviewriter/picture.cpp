#include "tools/moviewriter/picture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/byte_reader.h"

namespace quillet {
namespace {

constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoSize = 40;

void writeInfoHeader(ByteWriter& out, int32_t width, int32_t height, uint16_t bits,
                     uint32_t imageSize, uint32_t colours) {
    out.u32(kInfoSize);
    out.i32(width);
    out.i32(height);
    out.u16(1);
    out.u16(bits);
    out.u32(0);
    out.u32(imageSize);
    out.i32(0);
    out.i32(0);
    out.u32(colours);
    out.u32(0);
}

std::string dibPixels(const Picture& picture) {
    std::string pixels;
    pixels.reserve(picture.pixels.size() * 4);
    ByteWriter out(pixels);
    for (int32_t y = picture.height - 1; y >= 0; --y)
        for (int32_t x = 0; x < picture.width; ++x) out.u32(picture.at(x, y));
    return pixels;
}

}  // namespace

void Picture::fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    for (int32_t y = top; y < bottom; ++y)
        std::fill(&pixels[static_cast<size_t>(y) * width + left],
                  &pixels[static_cast<size_t>(y) * width + std::max(left, right)], colour);
}

std::string packedDib(const Picture& picture) {
    std::string dib;
    ByteWriter out(dib);
    writeInfoHeader(out, picture.width, picture.height, 32,
                    static_cast<uint32_t>(picture.pixels.size() * 4), 0);
    dib += dibPixels(picture);
    return dib;
}

std::string packedMonochromeDib(int32_t width, int32_t height, const std::vector<uint8_t>& bits) {
    const size_t stride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    std::string dib;
    ByteWriter out(dib);
    writeInfoHeader(out, width, height, 1, static_cast<uint32_t>(stride * height), 2);
    out.u32(0x00000000);  // black
    out.u32(0x00FFFFFF);  // white
    for (int32_t y = height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int32_t x = 0; x < width; ++x)
            if (bits[static_cast<size_t>(y) * width + x]) row[x / 8] |= static_cast<char>(0x80 >> (x % 8));
        dib += row;
    }
    return dib;
}

bool writeBmpFile(const std::string& path, const Picture& picture) {
    std::string pixels = dibPixels(picture);
    std::string file;
    ByteWriter out(file);
    out.u16(kBmpMagic);
    out.u32(kFileHeaderSize + kInfoSize + static_cast<uint32_t>(pixels.size()));
    out.u32(0);
    out.u32(kFileHeaderSize + kInfoSize);
    writeInfoHeader(out, picture.width, picture.height, 32, static_cast<uint32_t>(pixels.size()), 0);
    file += pixels;
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(file.data(), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(stream);
}

bool readBmpFile(const std::string& path, Picture& picture, std::string& error) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        error = "cannot open " + path;
        return false;
    }
    std::ostringstream buffer;
    buffer << stream.rdbuf();
    const std::string bytes = buffer.str();
    ByteReader in(bytes.data(), bytes.size());
    if (in.u16() != kBmpMagic) {
        error = path + " is not a BMP file";
        return false;
    }
    in.skip(8);
    uint32_t pixelOffset = in.u32();
    uint32_t headerSize = in.u32();
    int32_t width = in.i32();
    int32_t height = in.i32();
    in.u16();
    uint16_t bits = in.u16();
    uint32_t compression = in.u32();
    if (!in.ok() || headerSize < kInfoSize || (bits != 24 && bits != 32) ||
        (compression != 0 && compression != 3) || width <= 0 || height == 0 ||
        width > 16384 || std::abs(height) > 16384) {
        error = path + ": only uncompressed 24- and 32-bit BMP files are read";
        return false;
    }
    const bool topDown = height < 0;
    const int32_t rows = std::abs(height);
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (pixelOffset > bytes.size() || stride * rows > bytes.size() - pixelOffset) {
        error = path + " is cut short";
        return false;
    }
    picture = Picture(width, rows);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data()) + pixelOffset;
    for (int32_t row = 0; row < rows; ++row) {
        const uint8_t* line = data + stride * row;
        int32_t y = topDown ? row : rows - 1 - row;
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = line + x * (bits / 8);
            picture.at(x, y) = p[0] | (p[1] << 8) | (p[2] << 16);
        }
    }
    return true;
}

}  // namespace quillet
