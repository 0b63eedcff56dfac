#pragma once
// The view: the top-level window the movie is shown in. During a run the playback
// thread draws straight into it; outside a run it shows a still of its own. It
// passes the viewer's mouse and keys to the hotspots and opens the logo's link.

#include <windows.h>

#include <string>

#include "common/win32/handles.h"
#include "common/win32/window.h"
#include "player/playback/win32/player.h"
#include "player/playback/view_layout.h"

namespace quillet {

constexpr UINT kMessageViewClosing = WM_USER + 80;  // sent to the main window
constexpr int kCommandStop = 32774;

// The size of the primary screen.
Size screenSize();
// One of the program's cursor resources at 32 x 32, shared (not to be destroyed).
HCURSOR loadProgramCursor(int id);

struct ViewOptions {
    ViewPlacementOptions placement;
    bool noCaption = false;
    bool topmost = false;
};

class ViewWindow : public win32::Window {
public:
    ViewWindow(FrameData& frames, FrameCompositor& compositor, Player& player, CCaptionList& objects,
                const ViewOptions& options, HWND mainWindow);

    // Creates the view with a client area of width × height.
    bool createView(int width, int height, const std::string& caption);
    // Moves it where the options say, keeping its size, and shows it on top.
    void placeView();
    // Renders frame frameIndex into a new still of the client's size.
    void renderViewStill(int64_t frameIndex, bool withCursor);
    bool exists() const { return handle() != nullptr; }
    SIZE clientSize() const { return {client_.right, client_.bottom}; }

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paint();
    bool setPointer();
    bool insideLogo(POINT client) const;
    bool runActive() const { return player_.runActive(); }

    FrameData& frames_;
    FrameCompositor& compositor_;
    Player& player_;
    CCaptionList& objects_;
    ViewOptions options_;
    HWND mainWindow_;
    RECT client_{};
    win32::UniqueGdiObject still_;
    SIZE stillSize_{};
};

}  // namespace quillet
