#pragma once
// A hidden window that keeps every private message a playback run sends or posts
// to it, in order.

#include <windows.h>

#include <functional>
#include <vector>

#include "player/playback/win32/player.h"

namespace quillet::testing {

struct Recorded {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class Recorder {
public:
    // Called for each recorded message, after it is kept.
    std::function<void(const Recorded&)> onMessage;

    Recorder() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Recorder::procedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QuilletRunRecorder";
        ::RegisterClassA(&windowClass);
        window = ::CreateWindowExA(0, "QuilletRunRecorder", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Recorder() { ::DestroyWindow(window); }

    // Pumps messages until the run's end report arrives.
    bool waitForEnd(DWORD timeoutMs = 20000) {
        DWORD start = ::GetTickCount();
        while (!ended()) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
            if (::GetTickCount() - start > timeoutMs) return false;
            ::Sleep(1);
        }
        return true;
    }
    bool ended() const {
        for (const Recorded& r : messages)
            if (r.message == kMessageRunEnded) return true;
        return false;
    }
    Recorded end() const {
        for (const Recorded& r : messages)
            if (r.message == kMessageRunEnded) return r;
        return {};
    }
    std::vector<Recorded> of(UINT message) const {
        std::vector<Recorded> found;
        for (const Recorded& r : messages)
            if (r.message == message) found.push_back(r);
        return found;
    }

    HWND window;
    std::vector<Recorded> messages;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Recorder*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message >= WM_USER) {
            self->messages.push_back({message, wParam, lParam});
            if (self->onMessage) self->onMessage(self->messages.back());
            return 0;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
};

}  // namespace quillet::testing
