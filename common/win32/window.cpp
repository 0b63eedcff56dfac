#include "common/win32/window.h"

namespace quillet::win32 {

Window::~Window() { destroy(); }

void Window::destroy() {
    if (window_) {
        HWND window = window_;
        window_ = nullptr;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        ::DestroyWindow(window);
    }
}

bool Window::create(const char* className, DWORD exStyle, DWORD style, const char* title,
                    int x, int y, int width, int height, HWND parent, HMENU menu) {
    return createWindow(ClassOptions(), className, exStyle, style, title, x, y, width, height, parent, menu);
}

bool Window::create(const ClassOptions& options, const char* className, DWORD exStyle, DWORD style,
                    const char* title, int x, int y, int width, int height, HWND parent) {
    return createWindow(options, className, exStyle, style, title, x, y, width, height, parent, nullptr);
}

bool Window::createWindow(const ClassOptions& options, const char* className, DWORD exStyle, DWORD style,
                          const char* title, int x, int y, int width, int height, HWND parent, HMENU menu) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    if (!::GetClassInfoExA(instance, className, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = options.style;
        windowClass.lpfnWndProc = &Window::procedure;
        windowClass.hInstance = instance;
        if (options.arrowCursor) windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.lpszClassName = className;
        if (!::RegisterClassExA(&windowClass)) return false;
    }
    return ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                             instance, this) != nullptr;
}

LRESULT Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return defaultMessage(message, wParam, lParam);
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT result = self->onMessage(message, wParam, lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return result;
    }
    return self->onMessage(message, wParam, lParam);
}

}  // namespace quillet::win32
