#pragma once
// Base class for the windows of the programs: the static window procedure stores
// the object at WM_NCCREATE and hands every later message to onMessage.

#include <windows.h>

namespace quillet::win32 {

class Window {
public:
    virtual ~Window();
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND handle() const { return window_; }

protected:
    // How the window class is registered: its class style, and whether it has the
    // arrow as class cursor (without one the window sets its pointer itself).
    struct ClassOptions {
        UINT style = 0;
        bool arrowCursor = true;
    };

    // Registers the class once per process and creates the window.
    bool create(const char* className, DWORD exStyle, DWORD style, const char* title, int x,
                int y, int width, int height, HWND parent, HMENU menu = nullptr);
    bool create(const ClassOptions& options, const char* className, DWORD exStyle, DWORD style,
                const char* title, int x, int y, int width, int height, HWND parent);

    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT defaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcA(window_, message, wParam, lParam);
    }
    void destroy();

private:
    bool createWindow(const ClassOptions& options, const char* className, DWORD exStyle, DWORD style,
                      const char* title, int x, int y, int width, int height, HWND parent, HMENU menu);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

}  // namespace quillet::win32
