#include "player/app/win32/thumbnail_window.h"

#include "player/playback/win32/cursor_overlay.h"
#include "player/playback/win32/frame_compositor.h"

namespace quillet {
namespace {

constexpr char kClassName[] = "QuilletThumbnail";

}  // namespace

bool ThumbnailWindow::create(HWND parent, const RECT& area, int controlId) {
    return win32::Window::create(kClassName, 0, WS_CHILD | WS_VISIBLE, "", area.left, area.top,
                                 area.right - area.left, area.bottom - area.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)));
}

bool ThumbnailWindow::prepare(FrameData& frames, CCaptionList* objects) {
    if (!handle()) return false;
    RECT client{};
    ::GetClientRect(handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return false;
    win32::WindowDc windowDc(handle());
    win32::UniqueGdiObject picture(::CreateCompatibleBitmap(windowDc.get(), client.right, client.bottom));
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(windowDc.get()));
    if (!picture || !dc) return false;
    {
        win32::ScopedSelect select(dc.get(), picture.get());
        CursorOverlay cursors;
        FrameCompositor compositor(frames, cursors);
        if (!compositor.renderStillInto(dc.get(), 0, -1, client, objects, false, false)) return false;
    }
    picture_ = std::move(picture);
    size_ = SIZE{client.right, client.bottom};
    ::InvalidateRect(handle(), nullptr, FALSE);
    return true;
}

LRESULT ThumbnailWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return defaultMessage(message, wParam, lParam);
    win32::PaintScope paint(handle());
    if (!picture_) return 0;
    win32::UniqueMemoryDc source(::CreateCompatibleDC(paint.dc()));
    if (!source) return 0;
    win32::ScopedSelect select(source.get(), picture_.get());
    ::BitBlt(paint.dc(), 0, 0, size_.cx, size_.cy, source.get(), 0, 0, SRCCOPY);
    return 0;
}

}  // namespace quillet
