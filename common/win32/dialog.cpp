#include "common/win32/dialog.h"

namespace quillet::win32 {

Dialog::~Dialog() { destroy(); }

bool Dialog::createModeless(int templateId, HWND owner) {
    return ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                                &Dialog::procedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool Dialog::createModelessIndirect(const void* dialogTemplate, HWND owner) {
    return ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(dialogTemplate),
                                        owner, &Dialog::procedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR Dialog::runModal(int templateId, HWND owner) {
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, &Dialog::procedure,
                             reinterpret_cast<LPARAM>(this));
}

void Dialog::endModal(INT_PTR result) {
    if (dialog_) ::EndDialog(dialog_, result);
}

void Dialog::destroy() {
    if (dialog_) ::DestroyWindow(dialog_);
}

INT_PTR CALLBACK Dialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->dialog_ = dialog;
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return self->onInit();
    }
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case WM_COMMAND:
        self->onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(dialog, DWLP_USER, 0);
        self->dialog_ = nullptr;
        self->onDestroyed();
        return FALSE;
    default: {
        INT_PTR result = 0;
        if (self->onMessage(message, wParam, lParam, result)) {
            // These few return their value directly rather than through the dialog.
            if (message == WM_QUERYDRAGICON || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC))
                return result;
            ::SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
            return TRUE;
        }
        return FALSE;
    }
    }
}

void centreWindow(HWND window, HWND reference) {
    RECT area{};
    if (reference && ::IsWindow(reference) && !::IsIconic(reference))
        ::GetWindowRect(reference, &area);
    else
        area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT own{};
    ::GetWindowRect(window, &own);
    int width = own.right - own.left, height = own.bottom - own.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quillet::win32
