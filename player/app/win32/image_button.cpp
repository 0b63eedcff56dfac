#include "player/app/win32/image_button.h"

#include <commctrl.h>

#include <optional>

#include "player/bitmaps/win32/dib.h"

namespace quillet {
namespace {

constexpr UINT_PTR kSubclassId = 1;
// The message number under which controls conventionally receive the notices
// their parent reflects back to them.
constexpr UINT kReflectedDrawItem = WM_USER + 0x1C00 + WM_DRAWITEM;

void fillSolid(HDC dc, int left, int top, int width, int height, COLORREF colour) {
    win32::UniqueGdiObject brush(::CreateSolidBrush(colour));
    const RECT area{left, top, left + width, top + height};
    ::FillRect(dc, &area, static_cast<HBRUSH>(brush.get()));
}

// One-pixel edges: topLeft along the top and left, bottomRight along the bottom
// and right.
void draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    const int x = rect.left, y = rect.top, width = rect.right - rect.left, height = rect.bottom - rect.top;
    fillSolid(dc, x, y, width - 1, 1, topLeft);
    fillSolid(dc, x, y, 1, height - 1, topLeft);
    fillSolid(dc, x + width - 1, y, 1, height, bottomRight);
    fillSolid(dc, x, y + height - 1, width, 1, bottomRight);
}

}  // namespace

CImageButton::~CImageButton() { detach(); }

bool CImageButton::attach(HWND button) {
    if (!button || button_) return false;
    if (!::SetWindowSubclass(button, &CImageButton::subclassProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    button_ = button;
    const LONG_PTR style = ::GetWindowLongPtrA(button, GWL_STYLE);
    ::SendMessageA(button, BM_SETSTYLE, static_cast<WPARAM>((style & 0xFF) | BS_OWNERDRAW | BS_NOTIFY), TRUE);
    return true;
}

void CImageButton::detach() {
    if (button_ && ::IsWindow(button_)) ::RemoveWindowSubclass(button_, &CImageButton::subclassProcedure, kSubclassId);
    button_ = nullptr;
}

void CImageButton::setImage(int bitmapId, COLORREF keyColour, int alignment) {
    setImage(win32::UniqueGdiObject(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId))),
             keyColour, alignment);
}

void CImageButton::setImage(win32::UniqueGdiObject bitmap, COLORREF keyColour, int alignment) {
    image_ = std::move(bitmap);
    hasImage_ = image_.valid();
    BITMAP info{};
    imageSize_ = hasImage_ && ::GetObjectA(image_.get(), sizeof info, &info) ? info.bmWidth : 0;
    keyColour_ = keyColour;
    alignment_ = alignment;
    if (button_) ::InvalidateRect(button_, nullptr, TRUE);
}

bool CImageButton::reflectDrawItem(LPARAM drawItem) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem);
    if (!item || item->CtlType != ODT_BUTTON || !item->hwndItem) return false;
    return ::SendMessageA(item->hwndItem, kReflectedDrawItem, 0, drawItem) == TRUE;
}

LRESULT CALLBACK CImageButton::subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                 UINT_PTR, DWORD_PTR self) {
    auto* button = reinterpret_cast<CImageButton*>(self);
    if (message == WM_NCDESTROY) {
        button->detach();
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    return button->onMessage(message, wParam, lParam);
}

LRESULT CImageButton::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kReflectedDrawItem:
        drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_MOUSEMOVE:
        if (!hovering_) {
            hovering_ = true;
            ::InvalidateRect(button_, nullptr, TRUE);
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button_, HOVER_DEFAULT};
            ::TrackMouseEvent(&track);
        }
        break;
    case WM_MOUSELEAVE:
        hovering_ = false;
        ::InvalidateRect(button_, nullptr, TRUE);
        break;
    case WM_ERASEBKGND:
        // Everything is drawn in the two passes: erasing would only flicker.
        return TRUE;
    case WM_GETDLGCODE: {
        // The dialog manager would turn Enter into the default button's command;
        // on an image button with the focus, Enter presses that button instead.
        const LRESULT code = ::DefSubclassProc(button_, message, wParam, lParam);
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) return code | DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam != VK_RETURN) break;
        ::SendMessageA(::GetParent(button_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button_), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button_));
        return 0;
    default:
        break;
    }
    return ::DefSubclassProc(button_, message, wParam, lParam);
}

void CImageButton::drawItem(const DRAWITEMSTRUCT& item) {
    // First pass: the parent paints the area behind the button, which invalidates
    // the button again; the second pass draws over that background.
    if (redrawParent_) {
        redrawParent_ = false;
        HWND parent = ::GetParent(button_);
        RECT area{};
        ::GetWindowRect(button_, &area);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
        ::InvalidateRect(parent, &area, TRUE);
        ::UpdateWindow(parent);
        return;
    }
    redrawParent_ = true;
    drawFrame(item.hDC, item.rcItem, item.itemState);
    drawCaption(item.hDC, item.rcItem, item.itemState);
    drawImage(item.hDC, item.rcItem);
}

void CImageButton::drawFrame(HDC dc, const RECT& rect, UINT state) const {
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW), highlight = ::GetSysColor(COLOR_3DHILIGHT);
    if (state & ODS_SELECTED) {
        draw3dRect(dc, rect, shadow, highlight);
    } else if (hovering_) {
        draw3dRect(dc, rect, highlight, shadow);
    } else if (state & ODS_FOCUS) {
        RECT focus = rect;
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(dc, &focus);
    }
}

void CImageButton::drawCaption(HDC dc, const RECT& rect, UINT state) const {
    char text[256] = {};
    const int length = ::GetWindowTextA(button_, text, sizeof text);
    if (length <= 0) return;
    RECT area = rect;
    const int width = rect.right - rect.left;
    if (hasImage_) {
        if (alignment_ == kImageRight)
            area.right -= imageSize_ + width / 10;
        else if (alignment_ != kImageCentred)
            area.left += width / 10 + imageSize_;
    }
    std::optional<win32::ScopedSelect> font;
    if (auto handle = reinterpret_cast<HGDIOBJ>(::SendMessageA(button_, WM_GETFONT, 0, 0))) font.emplace(dc, handle);
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    RECT extent{};
    ::DrawTextA(dc, text, length, &extent, DT_CALCRECT | DT_SINGLELINE);
    const int x = area.left + (area.right - area.left - extent.right) / 2;
    const int y = area.top + (area.bottom - area.top - extent.bottom) / 2;
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text), static_cast<WPARAM>(length), x, y,
                 extent.right, extent.bottom, DST_PREFIXTEXT | ((state & ODS_DISABLED) ? DSS_DISABLED : DSS_NORMAL));
    ::SetTextColor(dc, previousColour);
    ::SetBkMode(dc, previousMode);
}

void CImageButton::drawImage(HDC dc, const RECT& rect) const {
    if (!hasImage_) return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int left = rect.left + width / 10;
    if (alignment_ == kImageRight)
        left = rect.right - imageSize_ - width / 10;
    else if (alignment_ == kImageCentred)
        left = (width - imageSize_) / 2;
    const int top = rect.top + (height - imageSize_) / 2;
    win32::UniqueMemoryDc source(::CreateCompatibleDC(dc));
    if (!source) return;
    win32::ScopedSelect select(source.get(), image_.get());
    drawTransparent(dc, source.get(), left, top, imageSize_, imageSize_, keyColour_);
}

}  // namespace quillet
