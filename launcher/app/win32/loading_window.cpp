#include "launcher/app/win32/loading_window.h"

#include <commctrl.h>
#include <dbt.h>
#include <ole2.h>
#include <shellapi.h>

#include <vector>

#include "common/win32/file_system.h"
#include "common/win32/string_resources.h"
#include "launcher/app/dialog_font.h"
#include "launcher/app/disc_drive.h"
#include "launcher/app/win32/about_box.h"
#include "launcher/app/win32/library_check.h"
#include "launcher/interface/viewer_interface.h"
#include "launcher/interface/win32/registered_messages.h"
#include "resource.h"

namespace quillet::launcher {

namespace {

// The structure size of the non-client metrics before the padded border width.
constexpr UINT kNonClientMetricsSize = 340;
constexpr int kDefaultDpi = 96;
constexpr UINT kSystemCommandMask = 0xFFF0;

// The loading window's template with the system's menu font in it; the template as
// it is when that cannot be done.
std::vector<uint8_t> templateInMenuFont() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(IDD_LOADING), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const auto* bytes = static_cast<const uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!bytes) return {};
    const size_t size = ::SizeofResource(instance, found);
    std::vector<uint8_t> original(bytes, bytes + size);

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = kNonClientMetricsSize;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) return original;
    int dpi = kDefaultDpi;
    if (HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr)) {
        win32::WindowDc dc(taskbar);
        if (dc.get()) dpi = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
    }
    const LOGFONTA& menuFont = metrics.lfMenuFont;
    wchar_t face[LF_FACESIZE] = {};
    ::MultiByteToWideChar(CP_ACP, 0, menuFont.lfFaceName, -1, face, LF_FACESIZE);
    std::u16string faceName(reinterpret_cast<const char16_t*>(face));
    const int pointSize = pointSizeOfHeight(menuFont.lfHeight, dpi);
    std::vector<uint8_t> rewritten =
        withDialogFont(original.data(), original.size(), static_cast<uint16_t>(pointSize), faceName);
    return rewritten.empty() ? original : rewritten;
}

std::string moduleFolder() { return win32::programFolder(); }

// A folder as the current directory: a bare drive needs its root.
void enterFolder(const std::string& folder) {
    const std::string path = folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
    ::SetCurrentDirectoryA(path.c_str());
}

}  // namespace

bool OleSession::start() {
    started_ = SUCCEEDED(::OleInitialize(nullptr));
    return started_;
}

OleSession::~OleSession() {
    if (started_) ::OleUninitialize();
}

LoadingWindow::LoadingWindow(std::string commandLine) : commandLine_(std::move(commandLine)) {}

LoadingWindow::~LoadingWindow() {
    destroy();
    // The project goes before OLE does.
    host_.reset();
}

void LoadingWindow::run() {
    const std::vector<uint8_t> dialogTemplate = templateInMenuFont();
    if (dialogTemplate.empty() || !createModelessIndirect(dialogTemplate.data(), nullptr)) return;
    // Without OLE nothing is loaded and the window, invisible, would wait for no one.
    if (!oleStarted_)
        close();
    else if (startup_.showWindow != 0)
        ::ShowWindow(handle(), SW_SHOW);

    MSG message;
    while (!ended_ && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (handle() && ::IsDialogMessageA(handle(), &message)) continue;
        if (filter_.filter(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    tellAfterClosing();
}

void LoadingWindow::tellAfterClosing() {
    std::string text;
    if (!oleStarted_) {
        text = kNoOleText;
    } else if (host_ && !host_->userReport().empty()) {
        text = host_->userReport();
        // The components' windows go first: they are what the launcher may have run out of.
        projectSettings_ = nullptr;
        block_.projectSettings = nullptr;
        host_.reset();
    }
    if (text.empty()) return;
    writeLogLine("note told the user: " + text);
    // A quit message still waiting would end the message box at once.
    MSG quit;
    while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ::MessageBoxA(nullptr, text.c_str(), kLauncherCaption, MB_OK | MB_ICONSTOP);
}

BOOL LoadingWindow::onInit() {
    ::SetDlgItemTextA(handle(), IDC_LOADING_PHASE, kPhaseBuilt);
    ::SetDlgItemTextA(handle(), IDC_LOADING_TITLE, "");
    ::SetDlgItemTextA(handle(), IDC_LOADING_COMPANY, "");

    const char* aboutText = win32::loadString(IDS_ABOUT_MENU);
    if (HMENU systemMenu = ::GetSystemMenu(handle(), FALSE); systemMenu && *aboutText) {
        ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(systemMenu, MF_STRING, ID_SYSTEM_ABOUT, aboutText);
    }
    appIcon_ = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
    ::SendMessageA(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
    ::SendMessageA(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon_));

    oleStarted_ = ole_.start();
    if (!oleStarted_) return TRUE;

    originalFolder_ = win32::currentDirectory();
    launcherFolder_ = moduleFolder();
    enterFolder(launcherFolder_);

    const LONG_PTR extended = ::GetWindowLongPtrA(handle(), GWL_EXSTYLE);
    ::SetWindowLongPtrA(handle(), GWL_EXSTYLE, (extended & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);

    readStartupLine();
    ::SetDlgItemTextA(handle(), IDC_LOADING_TITLE, startup_.title.c_str());
    ::SetDlgItemTextA(handle(), IDC_LOADING_COMPANY, startup_.company.c_str());

    const std::string program = launcherFolder_ + "\\" + kLauncherProgramName;
    HICON icon = ::ExtractIconA(::GetModuleHandleA(nullptr), program.c_str(), 0);
    // ExtractIcon answers 1 for a file that holds no icons.
    if (reinterpret_cast<UINT_PTR>(icon) > 1) {
        controlIcon_.reset(icon);
        ::SendDlgItemMessageA(handle(), IDC_LOADING_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }

    ::SetDlgItemTextA(handle(), IDC_LOADING_PHASE, kPhaseLoading);
    startTimer(kStartTimer, kStartTimerMs);
    return TRUE;
}

void LoadingWindow::readStartupLine() {
    std::string line = commandLine_;
    if (line.empty()) {
        const std::string text = readAutoPlayText(launcherFolder_ + "\\" + kAutoPlayFileName);
        line = quotedStartupLine(text);
    }
    startup_ = parseStartupLine(line);
}

void LoadingWindow::onCommand(int id, int, HWND) {
    if (id == IDCANCEL || id == IDOK) close();
}

bool LoadingWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == UPDATE_LOADING_WINDOW && message != 0) {
        onUpdate(static_cast<uint32_t>(wParam), static_cast<int32_t>(lParam));
        result = 0;
        return true;
    }
    switch (message) {
    case WM_WINDOWPOSCHANGING:
        if (startup_.showWindow == 0) {
            // Every show and move is cut down so that the window never appears.
            auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
            position->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
        }
        return false;
    case WM_TIMER:
        if (wParam == kStartTimer) onStartTimer();
        if (wParam == kWatchTimer) onWatchTimer();
        result = 0;
        return true;
    case WM_SYSCOMMAND:
        if ((wParam & kSystemCommandMask) == ID_SYSTEM_ABOUT) {
            showAboutBox(handle());
            result = 0;
            return true;
        }
        return false;
    case WM_DEVICECHANGE:
        onDeviceChange(wParam, lParam);
        result = TRUE;
        return true;
    case WM_PAINT:
        if (!::IsIconic(handle())) return false;
        paintMinimised();
        result = 0;
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(appIcon_);
        return true;
    case WM_CLOSE:
        close();
        result = 0;
        return true;
    default:
        return false;
    }
}

void LoadingWindow::onDestroyed() {
    ended_ = true;
    ::PostQuitMessage(0);
}

void LoadingWindow::startTimer(UINT_PTR id, UINT milliseconds) {
    if (::SetTimer(handle(), id, milliseconds, nullptr)) (id == kStartTimer ? startTimerRunning_ : watchTimerRunning_) = true;
}

void LoadingWindow::stopTimer(UINT_PTR id) {
    bool& running = id == kStartTimer ? startTimerRunning_ : watchTimerRunning_;
    if (running && handle()) ::KillTimer(handle(), id);
    running = false;
}

void LoadingWindow::onStartTimer() {
    stopTimer(kStartTimer);
    const std::string library = loadedModulePath(kViewerLibraryName);
    if (library.empty() || fileDigest(library) != kViewerLibraryDigest) {
        writeLogLine("note the viewer library failed its check");
        ::MessageBoxA(handle(), kDamagedLibraryText, kLauncherCaption, MB_OK | MB_ICONSTOP);
        close();
        return;
    }

    block_ = project::LoadingBlock{};
    block_.loadingWindow = handle();
    // The viewer library sees the messages nothing else takes.
    block_.filterModule = ::GetModuleHandleA(kViewerLibraryName);
    block_.launcherFolder = launcherFolder_;
    host_ = std::make_unique<LauncherHost>(handle());
    project::CThreadLoadProject(*host_).load(block_);

    // A load that returned without a word leaves the window as it is; an invisible
    // window that no one could close would keep the program running for nothing.
    if (!loadEnded_ && !ended_ && startup_.showWindow == 0) {
        writeLogLine("note nothing to load: the invisible launcher ends");
        close();
    }
}

void LoadingWindow::onWatchTimer() {
    if (projectSettings_ && projectSettings_->isRunning()) return;
    stopTimer(kWatchTimer);
    close();
}

void LoadingWindow::onUpdate(uint32_t code, int32_t value) {
    projectSettings_ = block_.projectSettings;
    filter_.setModule(static_cast<HMODULE>(block_.filterModule));

    switch (progress_.apply(code, value)) {
    case LoadingProgress::Action::StartProject:
        loadEnded_ = true;
        startup_.showWindow = 0;
        ::ShowWindow(handle(), SW_HIDE);
        if (projectSettings_) projectSettings_->start();
        startTimer(kWatchTimer, kWatchTimerMs);
        return;
    case LoadingProgress::Action::Close:
        loadEnded_ = true;
        close();
        return;
    case LoadingProgress::Action::None:
        showProgress();
        return;
    }
}

void LoadingWindow::showProgress() {
    ::SetDlgItemTextA(handle(), IDC_LOADING_PHASE, progress_.phase.c_str());
    HWND bar = ::GetDlgItem(handle(), IDC_LOADING_PROGRESS);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, progress_.rangeEnd);
    ::SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(progress_.position), 0);
}

void LoadingWindow::onDeviceChange(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEREMOVECOMPLETE || !data) return;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (header->dbch_devicetype != DBT_DEVTYP_VOLUME) return;
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data);
    if (!(volume->dbcv_flags & DBTF_MEDIA)) return;
    const std::string drive = driveOfUnitMask(volume->dbcv_unitmask);
    if (isDriveOf(drive, win32::modulePath()) && projectSettings_) {
        writeLogLine("note disc removed from " + drive);
        projectSettings_->discRemoved();
    }
}

void LoadingWindow::paintMinimised() {
    win32::PaintScope paint(handle());
    RECT client{};
    ::GetClientRect(handle(), &client);
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(paint.dc(), x, y, appIcon_);
}

void LoadingWindow::close() {
    if (!handle()) return;
    stopTimer(kStartTimer);
    stopTimer(kWatchTimer);
    if (!originalFolder_.empty()) enterFolder(originalFolder_);
    destroy();
}

}  // namespace quillet::launcher
