#pragma once
// The launcher's loading window: the program's main window for its whole life. It
// shows the project's title, company, phase and progress while the project loads,
// hides when the project starts, and closes when the project has ended.

#include <windows.h>

#include <memory>
#include <string>

#include "common/win32/dialog.h"
#include "common/win32/handles.h"
#include "launcher/app/loading_progress.h"
#include "launcher/app/startup_line.h"
#include "launcher/app/win32/launcher_host.h"
#include "launcher/app/win32/message_filter.h"
#include "launcher/project/loading_block.h"

namespace quillet::launcher {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartTimerMs = 100;
constexpr UINT_PTR kWatchTimer = 2;
constexpr UINT kWatchTimerMs = 250;
constexpr char kViewerLibraryName[] = "OrvaneV.dll";
constexpr char kLauncherProgramName[] = "Orvane.exe";
constexpr char kLauncherCaption[] = "Orvane";
constexpr char kNoOleText[] =
    "The system's object services (OLE) could not be started, which the disc's project needs. "
    "The disc cannot be started.";
constexpr char kDamagedLibraryText[] =
    "The viewer library OrvaneV.dll beside this program is damaged or is not the one it was made with. "
    "The disc cannot be started.";

// OLE for the life of the window, when it could be started.
class OleSession {
public:
    bool start();
    ~OleSession();

private:
    bool started_ = false;
};

class LoadingWindow : public win32::Dialog {
public:
    explicit LoadingWindow(std::string commandLine);
    ~LoadingWindow() override;

    // Builds the window from its template in the menu font and runs it until it closes.
    void run();

private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void onDestroyed() override;

    void readStartupLine();
    void onStartTimer();
    void onWatchTimer();
    void onUpdate(uint32_t code, int32_t value);
    void showProgress();
    void onDeviceChange(WPARAM event, LPARAM data);
    void paintMinimised();
    void startTimer(UINT_PTR id, UINT milliseconds);
    void stopTimer(UINT_PTR id);
    void close();
    // What the user must still be told once the window and the project are gone.
    void tellAfterClosing();

    std::string commandLine_;
    StartupLine startup_;
    LoadingProgress progress_;
    std::string originalFolder_;
    std::string launcherFolder_;
    bool startTimerRunning_ = false;
    bool watchTimerRunning_ = false;
    bool loadEnded_ = false;
    bool oleStarted_ = false;
    bool ended_ = false;
    viewer::SettingsComponent* projectSettings_ = nullptr;
    MessageFilter filter_;
    // A shared icon from the program's resources: the system owns it.
    HICON appIcon_ = nullptr;
    win32::UniqueIcon controlIcon_;
    OleSession ole_;
    project::LoadingBlock block_;
    std::unique_ptr<LauncherHost> host_;
};

}  // namespace quillet::launcher
