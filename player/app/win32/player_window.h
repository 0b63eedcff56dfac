#pragma once
// The movie document as a window object: a hidden pop-up that receives the player's
// messages, and the Windows face of opening (message boxes, the loading notice).
// With it go the player: the compositor's buffers and the playback operations.

#include <memory>

#include "common/win32/window.h"
#include "player/app/win32/loading_dialog.h"
#include "player/movie/movie_document.h"
#include "player/objects/win32/caption_list.h"
#include "player/playback/track_sound.h"
#include "player/audio/win32/direct_sound.h"
#include "player/audio/win32/temporary_sound_files.h"
#include "player/objects/win32/temporary_object_files.h"
#include "player/bitmaps/win32/dib.h"
#include "player/playback/win32/frame_compositor.h"
#include "player/playback/win32/player.h"

namespace quillet {

class PlayerWindow : public win32::Window, private MovieOpenUi, private CaptionHost {
public:
    PlayerWindow();
    ~PlayerWindow() override;

    // Opens the movie appended to the running program, or to the program at path.
    bool OpenMovie();
    bool OpenMovie(const std::string& path);
    // Stops playback, then frees the buffers and everything the movie held.
    void ResetMovie();

    void setMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }
    void setView(HWND view) { view_ = view; }
    Player& player() { return *player_; }
    FrameCompositor& compositor() { return compositor_; }
    CCaptionList& objects() { return objects_; }
    MovieDocument& movie() { return document_; }
    const MovieDocument& movie() const { return document_; }

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void makePlayer();
    void showMessage(Owner owner, const char* text, const char* caption, Icon icon) override;
    void showLoadingDialog() override;
    void destroyLoadingDialog() override;
    void holdAtObject() override;
    void continueAt(int64_t frame) override;
    void playObjectSound(const std::string& path) override;
    void stopObjectSound() override;

    GdiBitmapFactory bitmaps_;
    TemporaryObjectFiles objectFiles_;
    DirectSoundSystem soundSystem_;
    TemporarySoundFiles soundFiles_;
    MovieDocument document_;
    TrackSound trackSound_;
    CursorOverlay cursors_;
    FrameCompositor compositor_;
    CCaptionList objects_;
    std::unique_ptr<Player> player_;  // made once the window exists: it gets the reports
    LoadingDialog loading_;
    HWND mainWindow_ = nullptr;
    HWND view_ = nullptr;
};

}  // namespace quillet
