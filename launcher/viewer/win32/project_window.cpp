#include "launcher/viewer/win32/project_window.h"

#include <shellapi.h>

#include <algorithm>

namespace quillet::viewer {

namespace {
ProjectWindow* g_current = nullptr;
constexpr int kMinimumSide = 200;
constexpr int kMaximumSide = 4000;
// ShellExecute returns a value above this on success.
constexpr INT_PTR kShellSuccess = 32;
}  // namespace

ProjectWindow* ProjectWindow::current() { return g_current; }

ProjectWindow::~ProjectWindow() { close(); }

bool ProjectWindow::open(const std::string& title, int width, int height, std::vector<Line> lines) {
    if (isOpen()) return true;
    title_ = title;
    lines_ = std::move(lines);
    width = std::clamp(width, kMinimumSide, kMaximumSide);
    height = std::clamp(height, kMinimumSide, kMaximumSide);
    if (!create(kProjectWindowClass, WS_EX_APPWINDOW, WS_OVERLAPPEDWINDOW, title.c_str(), CW_USEDEFAULT,
                CW_USEDEFAULT, width, height, nullptr))
        return false;
    g_current = this;
    ::ShowWindow(handle(), SW_SHOWNORMAL);
    ::UpdateWindow(handle());
    ::SetForegroundWindow(handle());
    return true;
}

void ProjectWindow::close() { destroy(); }

bool ProjectWindow::openSelected() {
    if (!list_) return false;
    const LRESULT selected = ::SendMessageA(list_, LB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<size_t>(selected) >= lines_.size()) return false;
    const std::string& path = lines_[static_cast<size_t>(selected)].path;
    if (path.empty()) return false;
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(handle(), "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= kShellSuccess) {
        const std::string text = "Cannot open " + path + ".";
        ::MessageBoxA(handle(), text.c_str(), title_.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool ProjectWindow::filterMessage(const MSG& message) {
    if (!list_ || message.hwnd != list_ || message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
    openSelected();
    return true;
}

LRESULT ProjectWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        list_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                  0, 0, 0, 0, handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProjectListId)),
                                  ::GetModuleHandleA(nullptr), nullptr);
        if (!list_) return -1;
        ::SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        for (const Line& line : lines_)
            ::SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.text.c_str()));
        ::SendMessageA(list_, LB_SETCURSEL, 0, 0);
        return 0;
    }
    case WM_SIZE:
        if (list_) ::MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (list_) ::SetFocus(list_);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kProjectListId && HIWORD(wParam) == LBN_DBLCLK) openSelected();
        return 0;
    case WM_NCDESTROY:
        list_ = nullptr;
        if (g_current == this) g_current = nullptr;
        break;
    default:
        break;
    }
    return defaultMessage(message, wParam, lParam);
}

}  // namespace quillet::viewer
