#pragma once
// The player's application object: admits one starting player at a time, replaces a
// player that is already showing a movie, and runs the main window.

#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "player/app/player_options.h"

namespace quillet {

constexpr char kPlayerLockName[] = "Tavrix_Player_Lock";
constexpr char kPlayerLoadingName[] = "Tavrix_Player_Loading";
constexpr char kRecorderRunningName[] = "Tavrix_Running";
constexpr char kLoadingWarningText[] =
    "The player is being loaded.\n"
    "Please wait until the player has completely loaded, and then try again.";
constexpr char kLoadingWarningCaption[] = "WARNINIG";
constexpr char kPreparingText[] = "Preparing the player.  Please wait.";
constexpr char kTempFilePattern[] = "qlt*.tmp";

class QuilletApp {
public:
    // Always false: the process ends after the main window's loop.
    bool InitInstance(const std::vector<std::string>& arguments);
    void ExitInstance();

private:
    bool admitStart();
    HWND closeRunningPlayer();

    PlayerOptions options_;
    std::string startDirectory_;
    bool admitted_ = false;
    win32::UniqueHandle loadingMutex_;
    win32::UniqueHandle refusalLock_;
};

}  // namespace quillet
