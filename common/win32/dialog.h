#pragma once
// Base class for dialogs built from resource templates, modeless or modal. The
// dialog procedure stores the object at WM_INITDIALOG; handlers are small virtuals.

#include <windows.h>

namespace quillet::win32 {

class Dialog {
public:
    virtual ~Dialog();
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    HWND handle() const { return dialog_; }
    bool createModeless(int templateId, HWND owner);
    // The same from a template in memory (an extended dialog template).
    bool createModelessIndirect(const void* dialogTemplate, HWND owner);
    void destroy();
    // Runs the dialog modally and returns what endModal was given (-1 when the
    // dialog could not be made).
    INT_PTR runModal(int templateId, HWND owner);
    void endModal(INT_PTR result);

protected:
    virtual BOOL onInit() { return TRUE; }
    virtual void onCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    // Messages other than init and command; return true when handled, with the
    // result in result.
    virtual bool onMessage(UINT /*message*/, WPARAM, LPARAM, INT_PTR& /*result*/) { return false; }
    virtual void onDestroyed() {}

private:
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    HWND dialog_ = nullptr;
};

// Centres window over reference (the screen when reference is null).
void centreWindow(HWND window, HWND reference);

}  // namespace quillet::win32
