#pragma once
// Drives the programs from outside, as a person at the screen would: starts them,
// waits for their windows by class and caption, reads texts, presses buttons and
// copies pixels. Every wait has a deadline.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/handles.h"

namespace quillet::driver {

constexpr int kDefaultTimeoutMs = 20000;

// Polls condition every few milliseconds until it holds or the deadline passes.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kDefaultTimeoutMs);

class Process {
public:
    // Starts program with a command line of arguments (quoted as needed), and with
    // the environment changed by NAME=VALUE entries.
    bool start(const std::string& program, const std::vector<std::string>& arguments = {},
               const std::vector<std::string>& environment = {});
    bool running() const;
    // Waits for the end; false when it is still running at the deadline.
    bool waitForExit(int timeoutMs = kDefaultTimeoutMs);
    DWORD exitCode() const;
    DWORD id() const { return id_; }
    void kill();
    ~Process() { kill(); }

private:
    win32::UniqueHandle process_;
    DWORD id_ = 0;
};

// A visible top-level window of the given class and caption (either may be null to
// match any), belonging to process id (0 for any process).
HWND findWindow(DWORD processId, const char* className, const char* caption);
HWND waitForWindow(DWORD processId, const char* className, const char* caption,
                   int timeoutMs = kDefaultTimeoutMs);
bool waitForWindowGone(HWND window, int timeoutMs = kDefaultTimeoutMs);

std::string windowText(HWND window);
std::string className(HWND window);
// The texts of the window's children, in child order.
std::vector<std::string> childTexts(HWND window);
// The message text of a standard message box.
std::string messageBoxText(HWND box);
// Clicks the child button whose text is text (an ampersand in it is ignored).
bool pressButton(HWND dialog, const std::string& text);

// Where a toolbar (of another process) shows the button of command, in the
// toolbar's client coordinates.
bool toolbarButtonRect(HWND toolbar, int command, RECT& rect);
// Clicks the toolbar's button of command with the mouse (moving the pointer there).
bool clickToolbarButton(HWND toolbar, int command);

// Sends a command (WM_COMMAND with the id) to a window, as a menu or button would.
void sendCommand(HWND window, int id);
// Posts a key press (down and up) with a virtual-key code, and a typed character.
void pressKey(HWND window, int virtualKey);
void typeCharacter(HWND window, char character);

// Mouse messages at a client point, posted as a window receives them.
enum class Mouse { LeftDown, LeftUp, LeftDoubleClick, RightDown, RightUp, Move };
void postMouse(HWND window, Mouse what, int x, int y);
void click(HWND window, int x, int y);
// A modifier key (VK_CONTROL, VK_SHIFT, VK_MENU) held or let go as the keyboard
// does it, so that the program reading the keyboard state sees it.
void holdKey(int virtualKey, bool down);

// The client area's pixels as 0x00RRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> values;
    uint32_t at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};
bool captureClient(HWND window, Pixels& pixels);
// The whole window, frame and caption included.
bool captureWindow(HWND window, Pixels& pixels);
bool saveBitmap(const Pixels& pixels, const std::string& path);

}  // namespace quillet::driver
