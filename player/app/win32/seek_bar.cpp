#include "player/app/win32/seek_bar.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdio>

#include "common/win32/handles.h"
#include "player/app/controller_rules.h"
#include "player/playback/win32/view_window.h"

namespace quillet {
namespace {

constexpr char kSelfProperty[] = "QuilletSeekBar";

}  // namespace

SeekBar::~SeekBar() {
    if (control_ && ::IsWindow(control_)) {
        ::SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        ::RemovePropA(control_, kSelfProperty);
    }
}

bool SeekBar::attach(HWND control, HWND notify, std::function<bool()> locked) {
    if (!control) return false;
    control_ = control;
    notify_ = notify;
    locked_ = std::move(locked);
    ::SetPropA(control_, kSelfProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SeekBar::procedure)));
    return original_ != nullptr;
}

int SeekBar::clientWidth() const {
    RECT client{};
    ::GetClientRect(control_, &client);
    return client.right;
}

void SeekBar::setPosition(int position) {
    position_ = position;
    const int fill = progressFillWidth(position_, lower_, upper_, clientWidth());
    if (fill != lastFill_) {
        ::InvalidateRect(control_, nullptr, FALSE);
        ::UpdateWindow(control_);
    }
}

void SeekBar::paint() {
    win32::PaintScope paint(control_);
    RECT client{};
    ::GetClientRect(control_, &client);
    if (lower_ >= upper_ || client.right <= 0 || client.bottom <= 0) return;

    win32::UniqueMemoryDc dc(::CreateCompatibleDC(paint.dc()));
    win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
    if (!dc || !bitmap) return;
    win32::ScopedSelect selectBitmap(dc.get(), bitmap.get());

    const int fill = progressFillWidth(position_, lower_, upper_, client.right);
    lastFill_ = fill;
    const COLORREF fillColour = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF emptyColour = ::GetSysColor(COLOR_WINDOW);
    RECT filled{0, 0, fill, client.bottom};
    RECT empty{fill, 0, client.right, client.bottom};
    win32::UniqueGdiObject fillBrush(::CreateSolidBrush(fillColour));
    win32::UniqueGdiObject emptyBrush(::CreateSolidBrush(emptyColour));
    ::FillRect(dc.get(), &filled, static_cast<HBRUSH>(fillBrush.get()));
    ::FillRect(dc.get(), &empty, static_cast<HBRUSH>(emptyBrush.get()));

    if (showText_) {
        std::string text = text_;
        if (text.empty()) {
            char percent[16];
            std::snprintf(percent, sizeof percent, "%d%%", progressFillWidth(position_, lower_, upper_, 100));
            text = percent;
        }
        HFONT font = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(control_), WM_GETFONT, 0, 0));
        win32::ScopedSelect selectFont(dc.get(), font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetBkMode(dc.get(), TRANSPARENT);
        const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        for (int part = 0; part < 2; ++part) {
            const RECT& clip = part == 0 ? filled : empty;
            ::SetTextColor(dc.get(), part == 0 ? emptyColour : fillColour);
            win32::UniqueGdiObject region(::CreateRectRgnIndirect(&clip));
            ::SelectClipRgn(dc.get(), static_cast<HRGN>(region.get()));
            RECT whole = client;
            ::DrawTextA(dc.get(), text.c_str(), -1, &whole, format);
        }
        ::SelectClipRgn(dc.get(), nullptr);
    }
    ::BitBlt(paint.dc(), 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

LRESULT SeekBar::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case PBM_SETPOS: {
        const int previous = position_;
        setPosition(static_cast<int>(wParam));
        return previous;
    }
    case PBM_GETPOS:
        return position_;
    case PBM_SETRANGE:
        lower_ = LOWORD(lParam);
        upper_ = HIWORD(lParam);
        lastFill_ = -1;
        ::InvalidateRect(control_, nullptr, FALSE);
        return 0;
    case PBM_SETRANGE32:
        lower_ = static_cast<int>(wParam);
        upper_ = static_cast<int>(lParam);
        lastFill_ = -1;
        ::InvalidateRect(control_, nullptr, FALSE);
        return 0;
    case WM_SETTEXT: {
        std::string text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        LRESULT result = ::CallWindowProcA(original_, control_, message, wParam, lParam);
        if (text != text_) {
            text_ = std::move(text);
            ::InvalidateRect(control_, nullptr, FALSE);
        }
        return result;
    }
    case WM_SIZE:
        lastFill_ = -1;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint();
        return 0;
    case WM_SETCURSOR: {
        const bool refused = locked_ && locked_();
        HCURSOR cursor = refused ? ::LoadCursorA(nullptr, IDC_NO) : loadProgramCursor(kCursorSeekBar);
        ::SetCursor(cursor ? cursor : ::LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    }
    case WM_LBUTTONDOWN:
        if (!(locked_ && locked_())) {
            const int percent = clickPercent(GET_X_LPARAM(lParam), clientWidth());
            ::PostMessageA(notify_, kMessageSeek, static_cast<WPARAM>(percent), 0);
        }
        return 0;
    default:
        break;
    }
    return ::CallWindowProcA(original_, control_, message, wParam, lParam);
}

LRESULT CALLBACK SeekBar::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<SeekBar*>(::GetPropA(window, kSelfProperty));
    if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC original = self->original_;
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::RemovePropA(window, kSelfProperty);
        self->control_ = nullptr;
        return ::CallWindowProcA(original, window, message, wParam, lParam);
    }
    return self->onMessage(message, wParam, lParam);
}

}  // namespace quillet
