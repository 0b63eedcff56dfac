#pragma once
// The progress bar under the toolbar, which draws itself and seeks: a click posts
// the percent under the pointer to the main window.

#include <windows.h>

#include <functional>
#include <string>

namespace quillet {

// Posted to the main window with the percent in wParam. Each click carries its own
// value: a percent kept in one place would be overwritten by a second click before
// the first one's message is handled.
constexpr UINT kMessageSeek = WM_USER + 110;

class SeekBar {
public:
    SeekBar() = default;
    ~SeekBar();
    SeekBar(const SeekBar&) = delete;
    SeekBar& operator=(const SeekBar&) = delete;

    // Takes over the progress control; locked tells whether seeking is refused
    // (stop-at-object mode with the player busy).
    bool attach(HWND control, HWND notify, std::function<bool()> locked);
    HWND handle() const { return control_; }
    void setPosition(int position);
    int position() const { return position_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    int clientWidth() const;

    HWND control_ = nullptr;
    HWND notify_ = nullptr;
    WNDPROC original_ = nullptr;
    std::function<bool()> locked_;
    int position_ = 0;
    int lower_ = 0;
    int upper_ = 100;
    std::string text_;
    bool showText_ = true;
    int lastFill_ = -1;
};

}  // namespace quillet
