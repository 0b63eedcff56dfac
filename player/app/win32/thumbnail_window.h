#pragma once
// The File Properties box's thumbnail: a child window that shows one picture of
// its own client size, rendered once.

#include "common/win32/handles.h"
#include "common/win32/window.h"
#include "player/container/frame_data.h"
#include "player/objects/win32/caption_list.h"

namespace quillet {

class ThumbnailWindow : public win32::Window {
public:
    // A visible child of parent over area (parent's client coordinates).
    bool create(HWND parent, const RECT& area, int controlId);
    // Renders the movie's first frame with its objects, scaled to the window. It
    // uses a compositor of its own: the player's buffers, and a run that is
    // paused, are left as they are.
    bool prepare(FrameData& frames, CCaptionList* objects);

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    win32::UniqueGdiObject picture_;
    SIZE size_{};
};

}  // namespace quillet
