#pragma once
// The named shared memory through which a starting player finds the main window of
// the player that is already showing a movie.

#include <windows.h>

#include "common/win32/handles.h"

namespace quillet {

constexpr char kWindowHandleMemoryName[] = "Tavrix_Player_Window_Handle";

// Publishes a window handle for as long as the object lives.
class SharedWindowHandle {
public:
    bool publish(HWND window);

private:
    win32::UniqueHandle mapping_;
    win32::UniqueMappedView view_;
};

// The handle published by another player, or null.
HWND readPublishedWindow();

}  // namespace quillet
