#include "shell_handlers.h"

#include <windows.h>

namespace quillet::e2e {
namespace {

// The shell looks the schemes up among the machine's classes: Wine does not merge
// the user's own into them.
std::string commandKey(const std::string& scheme) { return "Software\\Classes\\" + scheme + "\\shell\\open\\command"; }

bool readDefault(const std::string& key, std::string& value) {
    char text[1024] = {};
    DWORD size = sizeof text;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return false;
    value = text;
    return true;
}

bool writeDefault(const std::string& key, const std::string& value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = ::RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

}  // namespace

ShellHandlers::ShellHandlers(const std::string& program, const std::vector<std::string>& schemes) {
    const std::string command = "\"" + program + "\" \"%1\"";
    installed_ = true;
    for (const std::string& scheme : schemes) {
        Previous previous;
        previous.scheme = scheme;
        previous.existed = readDefault(commandKey(scheme), previous.command);
        // A handler left behind by a test that did not finish is not put back.
        if (previous.command.find("open_recorder") != std::string::npos)
            previous.command = "\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"";
        previous_.push_back(previous);
        installed_ = writeDefault(commandKey(scheme), command) && installed_;
    }
}

ShellHandlers::~ShellHandlers() {
    for (const Previous& previous : previous_) {
        if (previous.existed)
            writeDefault(commandKey(previous.scheme), previous.command);
        else
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, commandKey(previous.scheme).c_str());
    }
}

}  // namespace quillet::e2e
