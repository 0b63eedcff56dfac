#pragma once
// The Setup command's dialog: how the movie plays (once, a number of times or
// looping) and which recorded layers are shown. The view size settings are shown
// but cannot be changed yet.

#include "common/win32/dialog.h"
#include "player/app/win32/image_button.h"
#include "player/app/play_settings.h"

namespace quillet {

class PlayPropertiesDialog : public win32::Dialog {
public:
    explicit PlayPropertiesDialog(const PlaySettings& settings) : settings_(settings) {}

    // Runs the dialog; true when it was confirmed, with settings() holding the
    // choices. On Cancel the settings stay as they were given.
    bool run(HWND owner);
    const PlaySettings& settings() const { return settings_; }

private:
    BOOL onInit() override;
    void onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void enableTimes(bool enabled);
    // Reads the controls into the settings; false, with the reason shown, when
    // the Times box does not hold a number of runs.
    bool readControls();
    void refuseTimes(const std::string& text);

    PlaySettings settings_;
    CImageButton ok_;
    CImageButton cancel_;
};

}  // namespace quillet
