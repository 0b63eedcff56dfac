#include "player/app/win32/quillet_app.h"

#include <commctrl.h>

#include "common/win32/file_system.h"
#include "player/app/win32/loading_dialog.h"
#include "player/app/win32/main_window.h"
#include "player/container/win32/block_platform.h"
#include "player/app/win32/shared_window_handle.h"

namespace quillet {
namespace {

constexpr DWORD kCloseReplyTimeoutMs = 10000;
constexpr DWORD kOldPlayerWaitMs = 1000;
constexpr int kOldPlayerWaits = 10;

// Creates a named mutex owned by this thread. alreadyExisted tells whether another
// process had created it first.
win32::UniqueHandle createOwnedMutex(const char* name, bool& alreadyExisted) {
    win32::UniqueHandle mutex(::CreateMutexA(nullptr, TRUE, name));
    alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

}  // namespace

bool QuilletApp::admitStart() {
    bool existed = false;
    {
        win32::UniqueHandle lock = createOwnedMutex(kPlayerLockName, existed);
        if (existed) return false;
        if (lock) ::ReleaseMutex(lock.get());
    }

    loadingMutex_ = createOwnedMutex(kPlayerLoadingName, existed);
    if (existed) {
        // Another player is starting. Hold the lock while the warning is up, so that
        // further starts end silently.
        bool lockExisted = false;
        win32::UniqueHandle lock = createOwnedMutex(kPlayerLockName, lockExisted);
        if (!lockExisted && lock) {
            ::ReleaseMutex(lock.get());
            refusalLock_ = std::move(lock);
        }
        ::MessageBoxA(nullptr, kLoadingWarningText, kLoadingWarningCaption,
                      MB_OK | MB_ICONWARNING | MB_TOPMOST);
        return false;
    }
    if (loadingMutex_) ::ReleaseMutex(loadingMutex_.get());
    return true;
}

HWND QuilletApp::closeRunningPlayer() {
    HWND old = readPublishedWindow();
    if (!old || !::IsWindow(old)) return nullptr;
    // A player that does not answer must not hold this one forever; the waits
    // below decide whether it went away.
    DWORD_PTR reply = 0;
    ::SendMessageTimeoutA(old, WM_CLOSE, 0, 0, SMTO_NORMAL, kCloseReplyTimeoutMs, &reply);
    return old;
}

bool QuilletApp::InitInstance(const std::vector<std::string>& arguments) {
    initialiseBlockPlatform();
    if (!admitStart()) return false;
    admitted_ = true;

    HWND oldPlayer = closeRunningPlayer();

    startDirectory_ = win32::currentDirectory();
    ::SetCurrentDirectoryA(win32::programFolder().c_str());

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    ParseCommandLine(arguments, options_, [](const std::string& path) {
        return win32::fileExists(path);
    });

    {
        LoadingDialog notice;
        notice.show(kPreparingText, nullptr);
        if (oldPlayer) {
            for (int wait = 0; wait < kOldPlayerWaits && ::IsWindow(oldPlayer); ++wait)
                ::Sleep(kOldPlayerWaitMs);
            if (::IsWindow(oldPlayer)) return false;
        }
    }

    MainWindow mainWindow(options_, loadingMutex_);
    mainWindow.runModal();
    return false;
}

void QuilletApp::ExitInstance() {
    // A refused start leaves the temporary files alone: they belong to the player
    // that is running.
    if (!admitted_) return;
    win32::UniqueHandle recorder(::OpenFileMappingA(FILE_MAP_READ, FALSE, kRecorderRunningName));
    if (!recorder) win32::deleteMatching(win32::tempFolder(), kTempFilePattern);
    if (!startDirectory_.empty()) ::SetCurrentDirectoryA(startDirectory_.c_str());
}

}  // namespace quillet
