#include "main_window.h"

#include <string>

#include "common/win32/string_resources.h"
#include "resource.h"

namespace quillet {

CMainWindow::CMainWindow(const PlayerOptions& options, win32::UniqueHandle& startupGuard)
    : options_(options), startupGuard_(startupGuard) {}

void CMainWindow::runModal() {
    if (!createModeless(IDD_MAIN_WINDOW, nullptr)) return;
    ::ShowWindow(handle(), SW_SHOW);

    // A modal loop of our own, so that the window gets idle processing each time
    // its queue empties.
    MSG message;
    bool idle = true;
    while (!ended_) {
        while (idle && !::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            onIdle();
            idle = false;
        }
        if (::GetMessageA(&message, nullptr, 0, 0) <= 0) break;
        if (!::IsDialogMessageA(handle(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        idle = true;
    }
}

BOOL CMainWindow::onInit() {
    publishedHandle_.publish(handle());

    HMENU systemMenu = ::GetSystemMenu(handle(), FALSE);
    if (systemMenu) {
        ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(systemMenu, MF_STRING, ID_SYSTEM_ABOUT, win32::loadString(IDS_ABOUT_MENU));
    }

    document_ = std::make_unique<CPlayerDocument>();
    document_->setMainWindow(handle());
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    bool opened = document_->OpenMovie();
    ::SetCursor(previous);
    if (opened) ::PostMessageA(handle(), kMessagePlayAtStart, 0, 0);

    startupGuard_.reset();
    onIdle();
    return TRUE;
}

bool CMainWindow::hasFrames() const {
    return document_ && document_->document().frameData().frameCount() > 0;
}

void CMainWindow::playPause() {
    if (!hasFrames()) return;
}

void CMainWindow::onCommand(int id, int /*code*/, HWND /*control*/) {
    switch (id) {
    case ID_PLAY_PAUSE:
        playPause();
        break;
    case IDCANCEL:
        close();
        break;
    default:
        break;
    }
}

bool CMainWindow::onMessage(UINT message, WPARAM, LPARAM, INT_PTR&) {
    switch (message) {
    case kMessagePlayAtStart:
        playPause();
        return true;
    case WM_CLOSE:
        close();
        return true;
    default:
        return false;
    }
}

void CMainWindow::onIdle() {
    std::string caption = win32::loadString(IDS_PLAYER_TITLE);
    if (options_.fileName[0]) caption = std::string(options_.fileName) + " - " + caption;
    char current[512] = {};
    ::GetWindowTextA(handle(), current, sizeof current);
    if (caption != current) ::SetWindowTextA(handle(), caption.c_str());
}

void CMainWindow::close() {
    if (document_) document_->ResetMovie();
    destroy();
}

void CMainWindow::onDestroyed() {
    document_.reset();
    ended_ = true;
    // The loop may be waiting inside GetMessage, where a message sent from another
    // thread or process destroyed the window; the quit message wakes it.
    ::PostQuitMessage(0);
}

}  // namespace quillet
