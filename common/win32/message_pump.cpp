#include "common/win32/message_pump.h"

#include <windows.h>

namespace quillet::win32 {

void pumpMessages(int maxMessages, const std::function<void()>& idle) {
    MSG message;
    for (int i = 0; i < maxMessages && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
        if (idle) idle();
    }
}

void waitLettingSentMessagesThrough(const std::function<bool()>& done) {
    while (!done()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace quillet::win32
