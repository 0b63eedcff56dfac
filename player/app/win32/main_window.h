#pragma once
// The player's main window: a small control panel run modally for the life of the
// process. It opens the movie appended to the program when it starts, plays it at
// once in a view window of its own, and turns toolbar clicks, keys and the player's
// reports into the player operations.

#include <memory>

#include "common/win32/dialog.h"
#include "common/win32/handles.h"
#include "player/app/controller_rules.h"
#include "player/app/win32/main_toolbar.h"
#include "player/app/play_settings.h"
#include "player/app/player_options.h"
#include "player/app/win32/seek_bar.h"
#include "player/playback/win32/view_window.h"
#include "player/app/win32/player_window.h"
#include "player/app/win32/shared_window_handle.h"

namespace quillet {

constexpr UINT kMessagePlayAtStart = WM_USER + 90;
// Height of the strip under the toolbar that holds the progress bar.
constexpr int kProgressStripHeight = 18;

class MainWindow : public win32::Dialog {
public:
    // startupGuard is the "loading" mutex of start-up; the window releases it once
    // the movie has been opened, successfully or not.
    MainWindow(const PlayerOptions& options, win32::UniqueHandle& startupGuard);

    // Creates the window and runs its message loop until it is closed.
    void runModal();

private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void onDestroyed() override;

    void layoutControls();
    void placeWindow();
    void setClientSize(bool playing);
    // Handles the keys the window answers for itself and for the view; true when
    // the message needs no further dispatch.
    bool preTranslate(const MSG& message);
    void onIdle();

    void playPause();
    void stop();
    void onRunEnded(bool complete);
    void closeView();
    void seek(int percent);
    void edit();
    void editPlaySettings();
    void showFileProperties();
    void showAbout();
    void close();
    void endWindow();
    void paintMinimised();

    bool hasFrames() const;
    bool ownsWindow(HWND window) const;
    HWND viewHandle() const { return view_ && view_->exists() ? view_->handle() : nullptr; }

    const PlayerOptions& options_;
    win32::UniqueHandle& startupGuard_;
    PlaySettings settings_;
    std::unique_ptr<PlayerWindow> playerWindow_;
    std::unique_ptr<ViewWindow> view_;  // after the document: it goes first
    SharedWindowHandle publishedHandle_;
    MainToolbar toolbar_;
    SeekBar seekBar_;
    SeekThrottle seekThrottle_;
    SIZE compactSize_{};
    SIZE playingSize_{};
    HICON icon_ = nullptr;
    int32_t runCounter_ = 1;
    int lastBusyState_ = -1;
    bool closeAfterStop_ = false;
    bool ended_ = false;
    bool ending_ = false;
    bool opening_ = false;          // inside OpenMovie
    bool closeWhenOpened_ = false;  // a close came meanwhile
};

}  // namespace quillet
