#pragma once
// The About box of the launcher's system menu.

#include <windows.h>

namespace quillet::launcher {

void showAboutBox(HWND owner);

}  // namespace quillet::launcher
