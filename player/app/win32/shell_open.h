#pragma once
// Hands an address to the shell, so that the user's browser or mail program opens
// it.

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace quillet {

// verb null: the address's default action.
inline void openWithShell(HWND owner, const std::string& address, const char* verb = nullptr) {
    ::ShellExecuteA(owner, verb, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quillet
