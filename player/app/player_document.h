#pragma once
// The movie document as a window object: a hidden pop-up that receives the player's
// messages, and the Windows face of opening (message boxes, the loading notice).

#include <memory>

#include "common/win32/window.h"
#include "loading_dialog.h"
#include "player/container/movie_document.h"
#include "player/playback/dib.h"

namespace quillet {

class CPlayerDocument : public win32::Window, private MovieOpenUi {
public:
    CPlayerDocument();
    ~CPlayerDocument() override;

    // Opens the movie appended to the running program.
    bool OpenMovie();
    void ResetMovie() { document_.ResetMovie(); }

    void setMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }
    MovieDocument& document() { return document_; }
    const MovieDocument& document() const { return document_; }

private:
    void showMessage(Owner owner, const char* text, const char* caption, Icon icon) override;
    void showLoadingDialog() override;
    void destroyLoadingDialog() override;

    GdiBitmapFactory bitmaps_;
    MovieDocument document_;
    CLoadingDialog loading_;
    HWND mainWindow_ = nullptr;
};

}  // namespace quillet
