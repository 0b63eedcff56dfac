#include "tools/art/picture_files.h"

#include <fstream>

namespace quillet::art {

namespace {

struct Writer {
    std::string bytes;
    void u8(unsigned v) { bytes.push_back(static_cast<char>(v & 0xFF)); }
    void u16(unsigned v) { u8(v); u8(v >> 8); }
    void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void bitmapHeader(int w, int h, int bits, uint32_t imageSize, uint32_t colours) {
        u32(40); u32(static_cast<uint32_t>(w)); u32(static_cast<uint32_t>(h)); u16(1); u16(bits);
        u32(0); u32(imageSize); u32(2835); u32(2835); u32(colours); u32(0);
    }
};

int rowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

std::string fileHeader(uint32_t fileSize, uint32_t pixelOffset) {
    Writer w;
    w.u8('B'); w.u8('M'); w.u32(fileSize); w.u32(0); w.u32(pixelOffset);
    return w.bytes;
}

}  // namespace

// A 24-bit BMP; transparent pixels get background.
std::string bmp24(const Canvas& c, Colour background) {
    Writer body;
    const int stride = rowBytes(c.width, 24);
    body.bitmapHeader(c.width, c.height, 24, static_cast<uint32_t>(stride * c.height), 0);
    for (int y = c.height - 1; y >= 0; --y) {
        for (int x = 0; x < c.width; ++x) {
            const Colour p = c.at(x, y).a ? c.at(x, y) : background;
            body.u8(p.b); body.u8(p.g); body.u8(p.r);
        }
        for (int pad = c.width * 3; pad < stride; ++pad) body.u8(0);
    }
    return fileHeader(static_cast<uint32_t>(14 + body.bytes.size()), 14 + 40) + body.bytes;
}

// Rows of 1-bit pixels, bottom-up; bit set where set(x, y).
std::string monochromeRows(int w, int h, const std::function<bool(int, int)>& set) {
    Writer rows;
    const int stride = rowBytes(w, 1);
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < w; ++x)
            if (set(x, y)) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        for (uint8_t b : row) rows.u8(b);
    }
    return rows.bytes;
}

// A 1-bit BMP: white where the glyph is transparent, black where it is drawn.
std::string maskBmp(const Canvas& c) {
    Writer body;
    const std::string rows = monochromeRows(c.width, c.height, [&](int x, int y) { return !c.opaque(x, y); });
    body.bitmapHeader(c.width, c.height, 1, static_cast<uint32_t>(rows.size()), 2);
    body.u32(0x00000000); body.u32(0x00FFFFFF);
    body.bytes += rows;
    return fileHeader(static_cast<uint32_t>(14 + body.bytes.size()), 14 + 40 + 8) + body.bytes;
}

// One 32-bit image with its AND mask, as icon and cursor files hold them.
std::string iconImage(const Canvas& c) {
    Writer w;
    const std::string mask = monochromeRows(c.width, c.height, [&](int x, int y) { return !c.opaque(x, y); });
    w.bitmapHeader(c.width, c.height * 2, 32, static_cast<uint32_t>(c.width * c.height * 4 + mask.size()), 0);
    for (int y = c.height - 1; y >= 0; --y)
        for (int x = 0; x < c.width; ++x) {
            const Colour p = c.at(x, y);
            w.u8(p.b); w.u8(p.g); w.u8(p.r); w.u8(p.a);
        }
    w.bytes += mask;
    return w.bytes;
}

// type 1: icon (hotspots ignored), 2: cursor.
std::string iconFile(int type, const std::vector<Canvas>& images, int hotX, int hotY) {
    Writer w;
    w.u16(0); w.u16(static_cast<unsigned>(type)); w.u16(static_cast<unsigned>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    std::string data;
    for (const Canvas& image : images) {
        const std::string bytes = iconImage(image);
        w.u8(static_cast<unsigned>(image.width)); w.u8(static_cast<unsigned>(image.height)); w.u8(0); w.u8(0);
        if (type == 1) {
            w.u16(1); w.u16(32);
        } else {
            w.u16(static_cast<unsigned>(hotX)); w.u16(static_cast<unsigned>(hotY));
        }
        w.u32(static_cast<uint32_t>(bytes.size())); w.u32(offset);
        offset += static_cast<uint32_t>(bytes.size());
        data += bytes;
    }
    return w.bytes + data;
}

bool writePictureFiles(const std::string& folder, const std::vector<PictureFile>& files, std::string& failedName) {
    for (const PictureFile& file : files) {
        std::ofstream out(folder + "/" + file.name, std::ios::binary);
        out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
        out.close();
        if (!out) {
            failedName = file.name;
            return false;
        }
    }
    return true;
}

}  // namespace quillet::art
