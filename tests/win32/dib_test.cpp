// Bitmap conversions with real GDI, in memory device contexts.

#include "player/bitmaps/win32/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "player/bitmaps/dib_layout.h"

namespace quillet {
namespace {

struct LockedDib {
    explicit LockedDib(HGLOBAL block) : block(block), data(static_cast<uint8_t*>(::GlobalLock(block))) {}
    ~LockedDib() { ::GlobalUnlock(block); }
    const BITMAPINFOHEADER& header() const { return *reinterpret_cast<const BITMAPINFOHEADER*>(data); }
    HGLOBAL block;
    uint8_t* data;
};

// Pixels of a bitmap as 0x00RRGGBB, rows from the top.
std::vector<uint32_t> pixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ::GetDIBits(dc.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

std::vector<uint32_t> pixelsOf(HDC dc, int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = ::GetPixel(dc, x, y);
            pixels.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
        }
    return pixels;
}

// A packed DIB of the given depth: header, colour table, rows bottom-up.
std::vector<uint8_t> packedDib(int width, int height, int bits, const std::vector<uint32_t>& table,
                               uint32_t colourUsed, const std::vector<uint8_t>& indicesTopDown) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biClrUsed = colourUsed;
    size_t stride = dibStride(width, bits);
    std::vector<uint8_t> dib(sizeof header + table.size() * 4 + stride * height, 0);
    std::memcpy(dib.data(), &header, sizeof header);
    std::memcpy(dib.data() + sizeof header, table.data(), table.size() * 4);
    uint8_t* pixels = dib.data() + sizeof header + table.size() * 4;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint8_t index = indicesTopDown[static_cast<size_t>(y) * width + x];
            if (bits == 8) row[x] = index;
            if (bits == 4) row[x / 2] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
            if (bits == 1) row[x / 8] |= static_cast<uint8_t>(index << (7 - x % 8));
        }
    }
    return dib;
}

TEST(Dib, ThirtyTwoBitRoundTrip) {
    const int w = 5, h = 3;
    std::vector<uint32_t> source;
    for (int i = 0; i < w * h; ++i) source.push_back(0x010203u * static_cast<uint32_t>(i + 1));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    win32::WindowDc screen(nullptr);
    win32::UniqueGdiObject bitmap(::CreateDIBitmap(screen.get(), &info.bmiHeader, CBM_INIT,
                                                   source.data(), &info, DIB_RGB_COLORS));
    ASSERT_TRUE(bitmap);

    win32::UniqueGlobal dib = dibFromBitmap(static_cast<HBITMAP>(bitmap.get()), BI_RGB, nullptr);
    ASSERT_TRUE(dib);
    {
        LockedDib locked(dib.get());
        EXPECT_EQ(locked.header().biSize, 40u);
        EXPECT_EQ(locked.header().biWidth, w);
        EXPECT_EQ(locked.header().biHeight, h);
        EXPECT_EQ(locked.header().biBitCount, 32);
        // No colour table: the bottom row's first pixel follows the header.
        uint32_t first;
        std::memcpy(&first, locked.data + 40, 4);
        EXPECT_EQ(first & 0xFFFFFF, source[(h - 1) * w]);
    }
    win32::UniqueGdiObject back = bitmapFromDib(dib.get());
    ASSERT_TRUE(back);
    EXPECT_EQ(pixelsOf(static_cast<HBITMAP>(back.get()), w, h), source);
}

TEST(Dib, EightBitWithPaletteAndFourBitWithoutColourCount) {
    std::vector<uint32_t> table(256);
    for (uint32_t i = 0; i < 256; ++i) table[i] = (i << 16) | ((255 - i) << 8) | (i / 2);
    std::vector<uint8_t> indices = {0, 1, 2, 200, 255, 17, 128, 64};
    std::vector<uint8_t> dib8 = packedDib(4, 2, 8, table, 0, indices);
    win32::UniqueGdiObject bitmap8 = bitmapFromDib(dib8.data(), dib8.size());
    ASSERT_TRUE(bitmap8);
    std::vector<uint32_t> expected;
    for (uint8_t i : indices) expected.push_back(table[i]);
    EXPECT_EQ(pixelsOf(static_cast<HBITMAP>(bitmap8.get()), 4, 2), expected);

    std::vector<uint32_t> table16(table.begin(), table.begin() + 16);
    std::vector<uint8_t> indices4 = {0, 15, 3, 9, 1, 2, 14, 7};
    std::vector<uint8_t> dib4 = packedDib(4, 2, 4, table16, 0, indices4);
    DibHeader header;
    ASSERT_TRUE(readDibHeader(dib4.data(), dib4.size(), header));
    EXPECT_EQ(dibColourCount(header), 16u);
    EXPECT_EQ(dibColourTableSize(header), 64u);
    win32::UniqueGdiObject bitmap4 = bitmapFromDib(dib4.data(), dib4.size());
    ASSERT_TRUE(bitmap4);
    expected.clear();
    for (uint8_t i : indices4) expected.push_back(table16[i]);
    EXPECT_EQ(pixelsOf(static_cast<HBITMAP>(bitmap4.get()), 4, 2), expected);

    // This display has no palette: no logical palette is made.
    win32::UniqueGdiObject palette;
    EXPECT_FALSE(paletteFromDib(dib8.data(), dib8.size(), palette));
}

TEST(Dib, CutShortOrDamagedDibsGiveNone) {
    std::vector<uint32_t> table(16);
    std::vector<uint8_t> dib = packedDib(8, 8, 4, table, 0, std::vector<uint8_t>(64, 1));
    EXPECT_FALSE(bitmapFromDib(dib.data(), dib.size() - 1));
    EXPECT_FALSE(bitmapFromDib(dib.data(), 39));
    EXPECT_FALSE(bitmapFromDib(nullptr, 0));
    std::vector<uint8_t> lying = dib;
    reinterpret_cast<BITMAPINFOHEADER*>(lying.data())->biClrUsed = 0x7FFFFFFF;
    EXPECT_FALSE(bitmapFromDib(lying.data(), lying.size()));
    reinterpret_cast<BITMAPINFOHEADER*>(lying.data())->biClrUsed = 0;
    reinterpret_cast<BITMAPINFOHEADER*>(lying.data())->biHeight = 100000;
    EXPECT_FALSE(bitmapFromDib(lying.data(), lying.size()));
}

TEST(Dib, MonochromeAndBitFieldsRefused) {
    const int w = 16, h = 2;
    std::vector<uint32_t> source(w * h, 0xFFFFFF);
    for (int x = 0; x < w; x += 2) source[x] = 0;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    win32::WindowDc screen(nullptr);
    win32::UniqueGdiObject bitmap(::CreateDIBitmap(screen.get(), &info.bmiHeader, CBM_INIT,
                                                   source.data(), &info, DIB_RGB_COLORS));
    EXPECT_FALSE(dibFromBitmap(static_cast<HBITMAP>(bitmap.get()), BI_BITFIELDS, nullptr));

    win32::UniqueGdiObject mono = monochromeFromBitmap(static_cast<HBITMAP>(bitmap.get()), BI_RGB, 1, nullptr);
    ASSERT_TRUE(mono);
    BITMAP monoInfo{};
    ::GetObjectA(mono.get(), sizeof monoInfo, &monoInfo);
    EXPECT_EQ(monoInfo.bmBitsPixel, 1);
    EXPECT_EQ(monoInfo.bmWidth, w);
    EXPECT_EQ(pixelsOf(static_cast<HBITMAP>(mono.get()), w, h), source);
}

TEST(Dib, DrawTransparentLeavesKeyPixelsOutAndTheSourceUnchanged) {
    const int w = 4, h = 2;
    const COLORREF key = RGB(255, 0, 255);
    win32::WindowDc screen(nullptr);
    win32::UniqueMemoryDc dest(::CreateCompatibleDC(screen.get())), source(::CreateCompatibleDC(screen.get()));
    win32::UniqueGdiObject destBitmap(::CreateCompatibleBitmap(screen.get(), w, h));
    win32::UniqueGdiObject sourceBitmap(::CreateCompatibleBitmap(screen.get(), w, h));
    win32::ScopedSelect selectDest(dest.get(), destBitmap.get());
    win32::ScopedSelect selectSource(source.get(), sourceBitmap.get());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ::SetPixel(dest.get(), x, y, RGB(10, 20, 30));
            ::SetPixel(source.get(), x, y, (x + y) % 2 ? key : RGB(200, 100, 50));
        }
    std::vector<uint32_t> sourceBefore = pixelsOf(source.get(), w, h);

    drawTransparent(dest.get(), source.get(), 0, 0, w, h, key);
    std::vector<uint32_t> result = pixelsOf(dest.get(), w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(result[y * w + x], (x + y) % 2 ? 0x0A141Eu : 0xC86432u) << x << "," << y;
    EXPECT_EQ(pixelsOf(source.get(), w, h), sourceBefore);

    // A source without key pixels is copied as it is.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ::SetPixel(source.get(), x, y, RGB(1, 2, 3 + x));
    drawTransparent(dest.get(), source.get(), 0, 0, w, h, key);
    EXPECT_EQ(pixelsOf(dest.get(), w, h), pixelsOf(source.get(), w, h));
}

TEST(Dib, KeyMaskIsASquareOfTheHeight) {
    const COLORREF key = RGB(0, 255, 0);
    win32::WindowDc screen(nullptr);
    win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.get(), 6, 3));
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
    {
        win32::ScopedSelect select(dc.get(), bitmap.get());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x) ::SetPixel(dc.get(), x, y, x == y ? key : RGB(9, 9, 9));
    }
    win32::UniqueGdiObject mask(::CreateBitmap(1, 1, 1, 1, nullptr));
    ASSERT_TRUE(keyMask(static_cast<HBITMAP>(bitmap.get()), mask, key));
    BITMAP info{};
    ::GetObjectA(mask.get(), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 3);
    std::vector<uint32_t> bits = pixelsOf(static_cast<HBITMAP>(mask.get()), 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(bits[y * 3 + x], x == y ? 0xFFFFFFu : 0u) << x << "," << y;
}

}  // namespace
}  // namespace quillet
