#include "player/playback/win32/view_window.h"

#include <shellapi.h>
#include <windowsx.h>

namespace quillet {
namespace {

constexpr char kViewClass[] = "QuilletView";

FrameMetrics systemFrameMetrics() {
    FrameMetrics metrics;
    metrics.dialogFrameX = ::GetSystemMetrics(SM_CXDLGFRAME);
    metrics.dialogFrameY = ::GetSystemMetrics(SM_CYDLGFRAME);
    metrics.smallCaption = ::GetSystemMetrics(SM_CYSMCAPTION);
    metrics.border = ::GetSystemMetrics(SM_CYBORDER);
    return metrics;
}

HCURSOR systemCursor(int id) { return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(id)); }

}  // namespace

Size screenSize() { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

HCURSOR loadProgramCursor(int id) {
    return static_cast<HCURSOR>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_CURSOR,
                                             32, 32, LR_SHARED));
}

ViewWindow::ViewWindow(FrameData& frames, FrameCompositor& compositor, Player& player, CCaptionList& objects,
                         const ViewOptions& options, HWND mainWindow)
    : frames_(frames), compositor_(compositor), player_(player), objects_(objects), options_(options),
      mainWindow_(mainWindow) {}

bool ViewWindow::createView(int width, int height, const std::string& caption) {
    const Size client{width, height};
    const bool hasCaption = viewHasCaption(client, screenSize(), options_.noCaption);
    // Shown by placeView once it is where it belongs, so that it never flashes at
    // the corner of the screen.
    const DWORD style = hasCaption ? WS_CAPTION | WS_SYSMENU : WS_POPUP;
    // The frame is measured rather than added up from metrics, so that the
    // client area is exactly the requested size whatever the caption's height.
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    const Size window{frame.right - frame.left, frame.bottom - frame.top};
    ClassOptions classOptions;
    classOptions.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    classOptions.arrowCursor = false;
    if (!create(classOptions, kViewClass, 0, style, caption.c_str(), 0, 0, window.width, window.height, nullptr))
        return false;
    ::GetClientRect(handle(), &client_);
    return true;
}

void ViewWindow::placeView() {
    if (!exists()) return;
    RECT bounds{};
    ::GetWindowRect(handle(), &bounds);
    const Size window{bounds.right - bounds.left, bounds.bottom - bounds.top};
    const Point at = viewPosition(window, screenSize(), frames_.info().recordedArea, options_.placement,
                                  systemFrameMetrics());
    ::SetWindowPos(handle(), options_.topmost ? HWND_TOPMOST : HWND_TOP, at.x, at.y, 0, 0,
                   SWP_NOSIZE | SWP_SHOWWINDOW);
}

void ViewWindow::renderViewStill(int64_t frameIndex, bool withCursor) {
    if (!exists()) return;
    win32::WindowDc viewDc(handle());
    const SIZE size = clientSize();
    win32::UniqueGdiObject still(::CreateCompatibleBitmap(viewDc.get(), size.cx, size.cy));
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(viewDc.get()));
    if (!still || !dc) return;
    objects_.reactivate();
    {
        win32::ScopedSelect select(dc.get(), still.get());
        // A frame the loader has not read yet keeps the still the view has.
        if (!compositor_.renderStill(dc.get(), frameIndex, player_.currentBufferFrame(), &objects_, withCursor, true))
            return;
    }
    still_ = std::move(still);
    stillSize_ = size;
}

void ViewWindow::paint() {
    win32::PaintScope paint(handle());
    if (!still_) return;
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(paint.dc()));
    if (!dc) return;
    win32::ScopedSelect select(dc.get(), still_.get());
    ::StretchBlt(paint.dc(), 0, 0, client_.right, client_.bottom, dc.get(), 0, 0, stillSize_.cx, stillSize_.cy,
                 SRCCOPY);
}

bool ViewWindow::insideLogo(POINT client) const {
    const DeviceBitmap* logo = frames_.logo();
    if (!frames_.hasLogo() || !logo) return false;
    const Rect& area = frames_.info().recordedArea;
    const Rect clickArea = logoClickArea(frames_.logoRecord().corner, {area.width(), area.height()},
                                         {logo->width(), logo->height()});
    return contains(clickArea, {client.x, client.y});
}

bool ViewWindow::setPointer() {
    POINT at{};
    ::GetCursorPos(&at);
    ::ScreenToClient(handle(), &at);
    HCURSOR cursor = nullptr;
    if (insideLogo(at)) {
        cursor = loadProgramCursor(kCursorLogoLink);
    } else if (runActive()) {
        cursor = systemCursor(system_cursor::kWait);
    } else {
        const PointerChoice choice = hotspotPointer(objects_.hotspotCursor());
        cursor = choice.programResource ? loadProgramCursor(choice.id) : systemCursor(choice.id);
    }
    ::SetCursor(cursor ? cursor : systemCursor(system_cursor::kArrow));
    return true;
}

LRESULT ViewWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_SIZE:
        ::GetClientRect(handle(), &client_);
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) return setPointer();
        break;
    case WM_LBUTTONDOWN:
        if (insideLogo({x, y}) && !frames_.logoRecord().link().empty()) {
            ::ShellExecuteA(handle(), "open", frames_.logoRecord().link().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        } else if (!runActive()) {
            objects_.onLeftDown(x, y);
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        if (!runActive()) objects_.onLeftDoubleClick(x, y);
        return 0;
    case WM_LBUTTONUP:
        if (!runActive()) objects_.onLeftUp(x, y);
        return 0;
    case WM_RBUTTONDOWN:
        if (!runActive()) objects_.onRightDown(x, y);
        return 0;
    case WM_RBUTTONUP:
        if (!runActive()) objects_.onRightUp(x, y);
        return 0;
    case WM_MOUSEMOVE:
        if (!runActive()) objects_.onMouseMove(x, y);
        return 0;
    case WM_KEYDOWN:
        if (runActive()) return 0;
        if (wParam == VK_SPACE) player_.pause();
        objects_.onKeyDown(static_cast<unsigned>(wParam));
        return 0;
    case WM_SYSKEYDOWN:
        // Keys with Alt (without Ctrl), and F10, come this way: a hotspot may ask
        // for them. Alt+F4 still closes the view.
        if (!runActive()) objects_.onKeyDown(static_cast<unsigned>(wParam));
        if (wParam == VK_F4) break;
        return 0;
    case WM_SYSKEYUP:
        // Let go, F10 or Alt alone would put the view into menu mode, where the
        // keys of the next hotspot would go to the menu.
        if (wParam == VK_F10 || wParam == VK_MENU) return 0;
        break;
    case WM_CHAR:
        if (wParam == '.') ::PostMessageA(mainWindow_, WM_COMMAND, kCommandStop, 0);
        return 0;
    case WM_CLOSE:
        ::SendMessageA(mainWindow_, kMessageViewClosing, 0, 0);
        destroy();
        return 0;
    default:
        break;
    }
    return defaultMessage(message, wParam, lParam);
}

}  // namespace quillet
