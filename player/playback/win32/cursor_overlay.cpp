#include "player/playback/win32/cursor_overlay.h"

#include "common/win32/handles.h"
#include "player/bitmaps/win32/dib.h"

namespace quillet {
namespace {

const LPCSTR kSystemCursorIds[kSystemCursorCount] = {
    IDC_APPSTARTING, IDC_ARROW,   IDC_CROSS,    IDC_HELP,   IDC_IBEAM,
    IDC_ICON,        IDC_NO,      IDC_SIZE,     IDC_SIZEALL, IDC_SIZENESW,
    IDC_SIZENS,      IDC_SIZENWSE, IDC_SIZEWE,  IDC_UPARROW, IDC_WAIT,
};

HBITMAP bitmapOf(const std::unique_ptr<DeviceBitmap>& bitmap) {
    auto* gdi = dynamic_cast<const GdiBitmap*>(bitmap.get());
    return gdi ? gdi->get() : nullptr;
}

}  // namespace

CursorOverlay::CursorOverlay() {
    for (size_t i = 0; i < kSystemCursorCount; ++i)
        cursors_[i] = ::LoadCursorA(nullptr, kSystemCursorIds[i]);
}

void CursorOverlay::drawSystem(HDC dc, HCURSOR cursor, int x, int y) const {
    ::DrawIconEx(dc, x, y, cursor, kCursorSize, kCursorSize, 0, nullptr, DI_NORMAL);
}

void CursorOverlay::drawCursor(HDC dc, const MovieFrame& sample, const CursorShapeMap& shapes) const {
    const int x = sample.cursorX, y = sample.cursorY;
    if (sample.standardCursor) {
        // An index outside the table draws the arrow, as an unknown shape does.
        drawSystem(dc, systemCursor(sample.cursorId), x, y);
        return;
    }
    auto found = shapes.find(sample.cursorId);
    HBITMAP colour = found == shapes.end() ? nullptr : bitmapOf(found->second.colour);
    HBITMAP mask = found == shapes.end() ? nullptr : bitmapOf(found->second.mask);
    if (!colour || !mask) {
        drawSystem(dc, cursors_[kArrowIndex], x, y);
        return;
    }
    win32::UniqueMemoryDc colourDc(::CreateCompatibleDC(dc)), maskDc(::CreateCompatibleDC(dc));
    if (!colourDc || !maskDc) return;
    win32::ScopedSelect selectColour(colourDc.get(), colour);
    win32::ScopedSelect selectMask(maskDc.get(), mask);
    ::BitBlt(dc, x, y, kCursorSize, kCursorSize, colourDc.get(), 0, 0, SRCINVERT);
    ::BitBlt(dc, x, y, kCursorSize, kCursorSize, maskDc.get(), 0, 0, SRCAND);
    ::BitBlt(dc, x, y, kCursorSize, kCursorSize, colourDc.get(), 0, 0, SRCINVERT);
    ::BitBlt(dc, x, y, kCursorSize, kCursorSize, colourDc.get(), 0, 0, SRCAND);
}

}  // namespace quillet
