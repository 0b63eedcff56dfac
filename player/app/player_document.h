#pragma once
// The movie document as a window object: a hidden pop-up that receives the player's
// messages, and the Windows face of opening (message boxes, the loading notice).
// With it go the player: the compositor's buffers and the playback operations.

#include <memory>

#include "common/win32/window.h"
#include "loading_dialog.h"
#include "player/container/movie_document.h"
#include "player/objects/caption_list.h"
#include "player/playback/dib.h"
#include "player/playback/frame_compositor.h"
#include "player/playback/player.h"

namespace quillet {

class CPlayerDocument : public win32::Window, private MovieOpenUi {
public:
    CPlayerDocument();
    ~CPlayerDocument() override;

    // Opens the movie appended to the running program.
    bool OpenMovie();
    // Stops playback, then frees the buffers and everything the movie held.
    void ResetMovie();

    void setMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }
    void setView(HWND view) { view_ = view; }
    CPlayer& player() { return *player_; }
    FrameCompositor& compositor() { return compositor_; }
    CCaptionList& objects() { return objects_; }
    MovieDocument& document() { return document_; }
    const MovieDocument& document() const { return document_; }

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void showMessage(Owner owner, const char* text, const char* caption, Icon icon) override;
    void showLoadingDialog() override;
    void destroyLoadingDialog() override;

    GdiBitmapFactory bitmaps_;
    MovieDocument document_;
    CursorOverlay cursors_;
    FrameCompositor compositor_;
    CCaptionList objects_;
    std::unique_ptr<CPlayer> player_;  // made once the window exists: it gets the reports
    CLoadingDialog loading_;
    HWND mainWindow_ = nullptr;
    HWND view_ = nullptr;
};

}  // namespace quillet
