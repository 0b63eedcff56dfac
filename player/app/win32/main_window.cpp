#include "player/app/win32/main_window.h"

#include <string>

#include "common/win32/string_resources.h"
#include "player/app/win32/about_dialog.h"
#include "player/app/win32/file_properties_dialog.h"
#include "player/app/maker_addresses.h"
#include "player/app/win32/play_properties_dialog.h"
#include "player/app/win32/shell_open.h"
#include "player/container/frame_time.h"
#include "player/app/win32/resource.h"

namespace quillet {
namespace {

constexpr char kProducerCaption[] = "Tavrix Player";
// A close asked for while the loader reads looks again this often.
constexpr UINT_PTR kCloseWhenLoadedTimer = 1;
constexpr UINT kCloseWhenLoadedMs = 50;

SIZE windowSizeFor(HWND window, int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE)));
    return {frame.right - frame.left, frame.bottom - frame.top};
}

ViewOptions viewOptionsFrom(const PlayerOptions& options) {
    ViewOptions view;
    view.placement.overRecordedArea = options.overRecordedArea != 0;
    view.placement.viewX = options.viewX;
    view.placement.viewY = options.viewY;
    view.noCaption = options.noCaption != 0;
    view.topmost = options.topmost != 0;
    return view;
}

}  // namespace

MainWindow::MainWindow(const PlayerOptions& options, win32::UniqueHandle& startupGuard)
    : options_(options), startupGuard_(startupGuard), settings_(PlaySettings::fromOptions(options)) {}

void MainWindow::runModal() {
    if (!createModeless(IDD_MAIN_WINDOW, nullptr)) return;
    placeWindow();

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
        if (!preTranslate(message) && !::IsDialogMessageA(handle(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        idle = true;
    }
}

bool MainWindow::ownsWindow(HWND window) const {
    return window == handle() || ::IsChild(handle(), window);
}

bool MainWindow::preTranslate(const MSG& message) {
    const bool forView = message.hwnd && message.hwnd == viewHandle();
    if (!forView && !ownsWindow(message.hwnd)) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_SPACE) {
        playPause();
        // The view still sees the key, for the hotspots (it ignores it during a run).
        return !forView;
    }
    if (message.message == WM_CHAR && message.wParam == '.' && !forView) {
        stop();
        return true;
    }
    return false;
}

BOOL MainWindow::onInit() {
    publishedHandle_.publish(handle());

    HMENU systemMenu = ::GetSystemMenu(handle(), FALSE);
    if (systemMenu) {
        ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(systemMenu, MF_STRING, ID_SYSTEM_ABOUT, win32::loadString(IDS_ABOUT_MENU));
    }
    icon_ = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PLAYER));
    ::SendMessageA(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    toolbar_.create(handle());
    seekBar_.attach(::GetDlgItem(handle(), IDC_PROGRESS), handle(), [this] {
        return playerWindow_ && playerWindow_->compositor().stopAtObjectMode() && playerWindow_->player().busyState() != 0;
    });
    ::SendMessageA(seekBar_.handle(), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    layoutControls();

    playerWindow_ = std::make_unique<PlayerWindow>();
    playerWindow_->setMainWindow(handle());
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    opening_ = true;
    bool opened = playerWindow_->OpenMovie();
    opening_ = false;
    ::SetCursor(previous);
    // An unattended run (quit after play) of a movie that could not be opened has
    // nothing to wait for once its report is answered.
    if (closeWhenOpened_ || (!opened && options_.quitAfterPlay)) {
        ::PostMessageA(handle(), WM_CLOSE, 0, 0);
    } else if (opened) {
        ::PostMessageA(handle(), kMessagePlayAtStart, 0, 0);
    }

    startupGuard_.reset();
    onIdle();
    return TRUE;
}

void MainWindow::layoutControls() {
    // The client is made as wide as the buttons need, so that they sit on one row,
    // and as high as the toolbar: the compact size.
    const SIZE ideal = toolbar_.idealSize();
    const SIZE wide = windowSizeFor(handle(), ideal.cx, ideal.cy + kProgressStripHeight);
    ::SetWindowPos(handle(), nullptr, 0, 0, wide.cx, wide.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    toolbar_.autoSize();
    RECT client{};
    ::GetClientRect(handle(), &client);
    const int toolbarHeight = toolbar_.height();
    compactSize_ = windowSizeFor(handle(), client.right, toolbarHeight);
    playingSize_ = SIZE{compactSize_.cx, compactSize_.cy + kProgressStripHeight};
    ::SetWindowPos(seekBar_.handle(), nullptr, client.left + 1, toolbarHeight + 1, client.right - 2, 16,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    setClientSize(false);
}

void MainWindow::setClientSize(bool playing) {
    const SIZE size = playing ? playingSize_ : compactSize_;
    ::SetWindowPos(handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::placeWindow() {
    const Size screen = screenSize();
    Rect taskbarRect;
    const Rect* taskbar = nullptr;
    if (HWND tray = ::FindWindowA("Shell_TrayWnd", nullptr)) {
        RECT bounds{};
        ::GetWindowRect(tray, &bounds);
        taskbarRect = Rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
        taskbar = &taskbarRect;
    }
    const Point at = controllerPosition(screen, taskbar, {playingSize_.cx, playingSize_.cy}, options_.controllerX,
                                        options_.controllerY);
    ::SetWindowPos(handle(), HWND_TOP, at.x, at.y, compactSize_.cx, compactSize_.cy, SWP_SHOWWINDOW);
}

bool MainWindow::hasFrames() const {
    return playerWindow_ && playerWindow_->movie().frameData().frameCount() > 0;
}

void MainWindow::playPause() {
    if (!hasFrames()) return;
    Player& player = playerWindow_->player();
    if (player.runActive()) {
        player.pause();
        return;
    }
    const FrameData& frames = playerWindow_->movie().frameData();
    const Rect& area = frames.info().recordedArea;
    const Size screen = screenSize();
    const Size size = viewClientSize({area.width(), area.height()}, settings_.zoomIndex, settings_.fullScreen != 0,
                                     screen);
    if (!viewHandle()) {
        const std::string caption = std::string(options_.fileName) +
                                    zoomCaptionSuffix(settings_.zoomIndex, settings_.fullScreen != 0) +
                                    win32::loadString(IDS_PLAYING_SUFFIX);
        view_ = std::make_unique<ViewWindow>(playerWindow_->movie().frameData(), playerWindow_->compositor(), player,
                                              playerWindow_->objects(), viewOptionsFrom(options_), handle());
        if (!view_->createView(size.width, size.height, caption)) {
            view_.reset();
            return;
        }
        view_->placeView();
        ::BringWindowToTop(view_->handle());
        playerWindow_->setView(view_->handle());
    }
    ::SetWindowPos(handle(), HWND_TOPMOST, 0, 0, playingSize_.cx, playingSize_.cy, SWP_NOMOVE | SWP_NOACTIVATE);
    if (options_.minimizeController) ::ShowWindow(handle(), SW_MINIMIZE);

    player.setPlayRange(options_.startTime, options_.endTime);
    const RECT display{0, 0, size.width, size.height};
    player.play(view_->handle(), &display, handle(), settings_.objects ? &playerWindow_->objects() : nullptr,
                settings_.sound != 0, settings_.cursor != 0);
    ::SetFocus(view_->handle());
}

void MainWindow::stop() {
    if (!hasFrames()) return;
    Player& player = playerWindow_->player();
    // A paused player has no run whose end would close the view: report one.
    if (player.paused() && !player.runActive()) ::PostMessageA(handle(), kMessageRunEndedToMain, 0, 0);
    player.stop();
    player.sound().stopEffectChannels();
    ::ShowWindow(handle(), SW_SHOWNORMAL);
}

void MainWindow::onRunEnded(bool complete) {
    Player& player = playerWindow_->player();
    RunEndState state;
    state.closeAfterStop = closeAfterStop_;
    state.seekPending = player.seekPending();
    state.playerIdle = !player.runActive();
    state.complete = complete;
    state.quitAfterPlay = options_.quitAfterPlay != 0;
    state.paused = player.paused();
    if (state.seekPending && !closeAfterStop_) player.clearSeekPending();

    switch (decideRunEnd(state, settings_, runCounter_)) {
    case RunEndAction::CloseWindow:
        endWindow();
        return;
    case RunEndAction::PlayAgain:
        playPause();
        return;
    case RunEndAction::Nothing:
        return;
    case RunEndAction::KeepPausedView:
        if (view_ && view_->exists()) {
            view_->renderViewStill(player.position(), !player.heldAtObject());
            ::InvalidateRect(view_->handle(), nullptr, FALSE);
            ::BringWindowToTop(view_->handle());
        }
        break;
    case RunEndAction::CloseView:
        if (player.position() > 0) {
            player.setPosition(0);
            const FrameList& frames = playerWindow_->movie().frameData().frames();
            player.sound().positionNarration(frames.filled() > 0 ? static_cast<uint32_t>(frames[0].delayMs) : 0);
        }
        closeView();
        setClientSize(false);
        break;
    }
    player.clearHeldAtObject();
}

void MainWindow::closeView() {
    if (playerWindow_) playerWindow_->setView(nullptr);
    view_.reset();
}

void MainWindow::seek(int percent) {
    if (!playerWindow_) return;
    Player& player = playerWindow_->player();
    if (player.runActive() && !player.insideFrameLoop()) return;
    if (!seekThrottle_.accept(::GetTickCount())) return;
    if (playerWindow_->compositor().stopAtObjectMode() && player.runActive()) return;
    CCaptionList* objects = settings_.objects ? &playerWindow_->objects() : nullptr;
    player.seekPercent(percent, viewHandle(), objects);
    if (!player.runActive() && viewHandle()) {
        view_->renderViewStill(player.position(), true);
        ::InvalidateRect(view_->handle(), nullptr, FALSE);
    }
    seekBar_.setPosition(percent);
}

void MainWindow::edit() {
    if (!hasFrames() || playerWindow_->player().busyState() != 0) return;
    const std::string& path = playerWindow_->movie().filePath();
    if (path.empty()) return;
    const std::string commandLine = "tavrix \"" + path + "\"";
    if (::WinExec(commandLine.c_str(), SW_SHOWNORMAL) >= 32) {
        endWindow();
        return;
    }
    ::MessageBoxA(handle(), win32::loadString(IDS_NO_PRODUCER), kProducerCaption, MB_OK | MB_ICONERROR);
}

void MainWindow::editPlaySettings() {
    // Setup is for an idle player that holds no paused run: what it changes takes
    // effect at the next Play, which must start a new view.
    if (!playerWindow_ || playerWindow_->player().busyState() != 0 || playerWindow_->player().paused()) return;
    PlayPropertiesDialog dialog(settings_);
    if (dialog.run(handle())) settings_ = dialog.settings();
}

void MainWindow::showFileProperties() {
    // The thumbnail is rendered from the frames, which a run would be using.
    if (!hasFrames() || playerWindow_->player().busyState() != 0) return;
    FilePropertiesDialog dialog(playerWindow_->movie(), playerWindow_->objects());
    dialog.run(handle());
}

void MainWindow::showAbout() {
    AboutDialog dialog;
    dialog.run(handle());
}

void MainWindow::onCommand(int id, int /*code*/, HWND /*control*/) {
    switch (id) {
    case ID_PLAY_PAUSE: playPause(); break;
    case ID_STOP: stop(); break;
    case ID_EDIT: edit(); break;
    case ID_SETUP: editPlaySettings(); break;
    case ID_PROPERTIES: showFileProperties(); break;
    case ID_INFO:
        if (!playerWindow_ || playerWindow_->player().busyState() == 0) showAbout();
        break;
    case ID_VISIT_WEB:
    case ID_ABOUT_WEB: openWithShell(handle(), kMakerWebSite, "open"); break;
    case ID_SUPPORT_MAIL: openWithShell(handle(), mailCommand(kMakerSupportAddress), "open"); break;
    case IDCANCEL: close(); break;
    default: break;
    }
}

bool MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case kMessagePlayAtStart:
        // A movie without frames plays nothing, so an unattended run ends at once.
        if (!hasFrames() && options_.quitAfterPlay) {
            close();
            return true;
        }
        playPause();
        return true;
    case kMessageProgress:
        seekBar_.setPosition(static_cast<int>(wParam));
        return true;
    case kMessageRunEndedToMain:
        if (playerWindow_) onRunEnded(wParam != 0);
        return true;
    case kMessageViewClosing:
        stop();
        return true;
    case kMessageSeek:
        seek(static_cast<int>(wParam));
        return true;
    case WM_NOTIFY:
        return MainToolbar::fillTooltip(lParam);
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != ID_SYSTEM_ABOUT) return false;
        showAbout();
        return true;
    case WM_PAINT:
        if (!::IsIconic(handle())) return false;
        paintMinimised();
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(icon_);
        return true;
    case WM_TIMER:
        if (wParam != kCloseWhenLoadedTimer) return false;
        if (playerWindow_ && playerWindow_->movie().frameData().busyState() != 0) return true;
        ::KillTimer(handle(), kCloseWhenLoadedTimer);
        close();
        return true;
    case WM_CLOSE:
        // A close sent by another process (a player taking over) can arrive while
        // this thread lets sent messages through inside a wait; it is taken up
        // from the message loop, where nothing is half done.
        if (::InSendMessage()) {
            ::PostMessageA(handle(), WM_CLOSE, 0, 0);
            return true;
        }
        close();
        return true;
    default:
        return false;
    }
}

void MainWindow::paintMinimised() {
    win32::PaintScope paint(handle());
    RECT client{};
    ::GetClientRect(handle(), &client);
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(paint.dc(), x, y, icon_);
}

void MainWindow::onIdle() {
    if (!handle()) return;
    const bool frames = hasFrames();
    const int busy = playerWindow_ ? playerWindow_->player().busyState() : 0;
    const bool paused = playerWindow_ && playerWindow_->player().paused();
    toolbar_.setStates(commandStates(frames, busy, paused));

    std::string caption = win32::loadString(IDS_PLAYER_TITLE);
    if (options_.fileName[0]) caption = std::string(options_.fileName) + " - " + caption;
    char current[512] = {};
    ::GetWindowTextA(handle(), current, sizeof current);
    if (caption != current) ::SetWindowTextA(handle(), caption.c_str());

    if (frames && busy != lastBusyState_) {
        lastBusyState_ = busy;
        toolbar_.showBusy(busy != 0);
    }
}

void MainWindow::close() {
    // The loading notice lets messages through while the movie opens, before the
    // loader counts as busy: a close then would destroy the document under the
    // open. It is done once the open has returned.
    if (opening_) {
        closeWhenOpened_ = true;
        return;
    }
    if (!playerWindow_) {
        destroy();
        return;
    }
    // A running playback is stopped and the window closes when its end is
    // reported; while the loader still reads the movie, closing waits for it, and
    // the request is kept rather than lost.
    Player& player = playerWindow_->player();
    if (player.runActive()) {
        player.stop();
        closeAfterStop_ = true;
        return;
    }
    // A movie read while it opens lets messages through, this close among them.
    if (playerWindow_->movie().frameData().busyState() != 0) {
        ::SetTimer(handle(), kCloseWhenLoadedTimer, kCloseWhenLoadedMs, nullptr);
        return;
    }
    endWindow();
}

void MainWindow::endWindow() {
    if (ending_) return;
    ending_ = true;
    if (playerWindow_) playerWindow_->ResetMovie();
    closeView();
    destroy();
}

void MainWindow::onDestroyed() {
    view_.reset();
    playerWindow_.reset();
    ended_ = true;
    // The loop may be waiting inside GetMessage, where a message sent from another
    // thread or process destroyed the window; the quit message wakes it.
    ::PostQuitMessage(0);
}

}  // namespace quillet
