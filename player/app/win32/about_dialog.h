#pragma once
// The About box: the program's name and the maker's notice, with buttons that
// open the maker's web site and write to the maker's support.

#include "common/win32/dialog.h"

namespace quillet {

class AboutDialog : public win32::Dialog {
public:
    void run(HWND owner);

private:
    void onCommand(int id, int code, HWND control) override;
};

}  // namespace quillet
