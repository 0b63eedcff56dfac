#include "player/app/win32/loading_dialog.h"

#include "common/win32/message_pump.h"
#include "player/app/win32/resource.h"

namespace quillet {

bool LoadingDialog::show(const char* text, HWND reference) {
    if (!createModeless(IDD_LOADING, reference)) return false;
    ::SetDlgItemTextA(handle(), IDC_LOADING_TEXT, text);
    win32::centreWindow(handle(), reference);
    ::ShowWindow(handle(), SW_SHOW);
    ::SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::UpdateWindow(handle());
    win32::pumpMessages(2);
    return true;
}

}  // namespace quillet
