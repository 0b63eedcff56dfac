#pragma once
// The small notice shown while the player prepares and while a movie loads.

#include "common/win32/dialog.h"

namespace quillet {

class LoadingDialog : public win32::Dialog {
public:
    // Creates the notice, centred on reference (the screen when null), shows it
    // topmost and repaints it, then lets at most two waiting messages through.
    bool show(const char* text, HWND reference);
};

}  // namespace quillet
