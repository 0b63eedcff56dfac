#pragma once
// Conversions between packed device-independent bitmaps (a BITMAPINFO and its pixels
// in one global memory block) and device bitmaps, palettes from colour tables, and
// drawing with a transparent colour.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/win32/handles.h"
#include "player/bitmaps/device_bitmap.h"

namespace quillet {

// A DIB block of the bitmap's pixels; none for compression code 3 (bit fields) or
// on failure.
win32::UniqueGlobal dibFromBitmap(HBITMAP bitmap, DWORD compression, HPALETTE palette);
win32::UniqueGlobal dibFromBitmapOnDc(HBITMAP bitmap, HDC dc, HPALETTE palette, DWORD compression);
// The bitmap as packed DIB bytes in its own depth; empty on failure.
std::vector<uint8_t> packedDibBytes(HBITMAP bitmap);

// A device bitmap compatible with the screen. The packed bytes are checked first: a
// header, colour table or pixel area that does not fit in length gives none.
win32::UniqueGdiObject bitmapFromDib(const void* dib, size_t length);
win32::UniqueGdiObject bitmapFromDib(HGLOBAL dib);
// A 1-bit bitmap of the DIB's size, its pixels the DIB's mapped to black and
// white; none when the packed bytes do not hold the DIB whole.
win32::UniqueGdiObject monochromeBitmapFromDib(const void* dib, size_t length);

// Fills palette from the DIB's colour table; false for more than 256 colours or a
// screen that is not palette-based.
bool paletteFromDib(const void* dib, size_t length, win32::UniqueGdiObject& palette);
bool paletteFromDib(HGLOBAL dib, win32::UniqueGdiObject& palette);

// Draws the DIB's full width and biHeight rows at (x, y).
void drawDib(HDC dc, const void* dib, int x, int y, HPALETTE palette);
void drawDibBlock(HDC dc, HGLOBAL dib, int x, int y, HPALETTE palette);

// A 1-bit device bitmap of the bitmap's size (bits 0: the bitmap's own depth).
win32::UniqueGdiObject monochromeFromBitmap(HBITMAP bitmap, DWORD compression, WORD bits,
                                            HPALETTE palette);

// Draws source onto dest at (x, y), leaving out the source pixels of keyColour. The
// source is unchanged afterwards.
void drawTransparent(HDC dest, HDC source, int x, int y, int width, int height, COLORREF keyColour);

// A square 1-bit mask, its side the bitmap's height, where key pixels are 1.
bool keyMask(HBITMAP bitmap, win32::UniqueGdiObject& maskOut, COLORREF keyColour);

// The pixels of a 32-bit DIB section, for reading and writing them directly: row 0
// is the top row, and rowStep (negative for a bottom-up section) leads to the next.
struct SectionPixels {
    uint8_t* topRow = nullptr;
    ptrdiff_t rowStep = 0;
    int width = 0;
    int height = 0;
    uint32_t* row(int y) const { return reinterpret_cast<uint32_t*>(topRow + rowStep * y); }
};
// Whether the bitmap selected into dc is a 32-bit BI_RGB DIB section. (Which way up
// its rows are, GDI does not reliably tell: whoever made it does.)
bool isSection32(HDC dc);
// A top-down 32-bit DIB section of width x height; none when it cannot be made.
win32::UniqueGdiObject makeSection32(HDC reference, int width, int height, SectionPixels& pixels);

// Device bitmaps for cursor shapes and the logo.
class GdiBitmap : public DeviceBitmap {
public:
    explicit GdiBitmap(win32::UniqueGdiObject bitmap);
    HBITMAP get() const { return static_cast<HBITMAP>(bitmap_.get()); }
    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }

private:
    win32::UniqueGdiObject bitmap_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

class GdiBitmapFactory : public BitmapFactory {
public:
    std::unique_ptr<DeviceBitmap> fromPackedDib(const uint8_t* dib, size_t length) override;
};

}  // namespace quillet
