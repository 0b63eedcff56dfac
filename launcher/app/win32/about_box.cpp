#include "launcher/app/win32/about_box.h"

#include "resource.h"

namespace quillet::launcher {

namespace {
INT_PTR CALLBACK aboutProcedure(HWND box, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(box, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
}  // namespace

void showAboutBox(HWND owner) {
    ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), owner, &aboutProcedure, 0);
}

}  // namespace quillet::launcher
