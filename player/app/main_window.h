#pragma once
// The player's main window: a small control panel run modally for the life of the
// process. It opens the movie appended to the program when it starts.

#include <memory>

#include "common/win32/dialog.h"
#include "common/win32/handles.h"
#include "player/app/player_options.h"
#include "player_document.h"
#include "shared_window_handle.h"

namespace quillet {

constexpr UINT kMessagePlayAtStart = WM_USER + 90;

class CMainWindow : public win32::Dialog {
public:
    // startupGuard is the "loading" mutex of start-up; the window releases it once
    // the movie has been opened, successfully or not.
    CMainWindow(const PlayerOptions& options, win32::UniqueHandle& startupGuard);

    // Creates the window and runs its message loop until it is closed.
    void runModal();

private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void onDestroyed() override;

    void onIdle();
    void playPause();
    void close();
    bool hasFrames() const;

    const PlayerOptions& options_;
    win32::UniqueHandle& startupGuard_;
    std::unique_ptr<CPlayerDocument> document_;
    SharedWindowHandle publishedHandle_;
    bool ended_ = false;
};

}  // namespace quillet
