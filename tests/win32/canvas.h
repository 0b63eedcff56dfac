#pragma once
// A 32-bit top-down DIB section to draw into, with its pixels readable as
// 0x00RRGGBB.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "common/win32/handles.h"
#include "player/bitmaps/win32/dib.h"
#include "tools/moviewriter/picture.h"

namespace quillet::testing {

// A 32-bit top-down DIB section to render into, with its pixels readable.
class Canvas {
public:
    // The colour a COLORREF (0x00BBGGRR) reads as.
    static uint32_t rgb(COLORREF colour) {
        return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    }
    void fill(COLORREF colour) {
        win32::UniqueGdiObject brush(::CreateSolidBrush(colour));
        RECT all{0, 0, width_, height_};
        ::FillRect(dc_.get(), &all, static_cast<HBRUSH>(brush.get()));
    }
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_.reset(::CreateCompatibleDC(nullptr));
        bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
    }
    ~Canvas() { ::SelectObject(dc_.get(), previous_); }
    HDC dc() const { return dc_.get(); }
    SectionPixels pixels() const {
        SectionPixels pixels;
        pixels.topRow = reinterpret_cast<uint8_t*>(bits_);
        pixels.rowStep = static_cast<ptrdiff_t>(width_) * 4;
        pixels.width = width_;
        pixels.height = height_;
        return pixels;
    }
    uint32_t at(int x, int y) const {
        ::GdiFlush();
        return bits_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF;
    }
    // Rows top .. bottom of picture, columns 0 .. width, equal to the canvas?
    ::testing::AssertionResult shows(const Picture& picture, int top) const {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (at(x, y) != picture.at(x, y + top))
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                                         << at(x, y) << ", not " << picture.at(x, y + top);
        return ::testing::AssertionSuccess();
    }

private:
    int width_, height_;
    win32::UniqueMemoryDc dc_;
    win32::UniqueGdiObject bitmap_;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

}  // namespace quillet::testing
