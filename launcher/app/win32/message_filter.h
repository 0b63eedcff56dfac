#pragma once
// Hands the messages that the loading window's own handling left alone to the
// "FilterDllMsg" function of a module, when one is set. The function's address is
// looked up once per module and kept.

#include <windows.h>

namespace quillet::launcher {

constexpr char kFilterFunctionName[] = "FilterDllMsg";

class MessageFilter {
public:
    using Lookup = FARPROC(WINAPI*)(HMODULE, LPCSTR);
    explicit MessageFilter(Lookup lookup = &::GetProcAddress) : lookup_(lookup) {}

    void setModule(HMODULE module);
    // True when the module's function took the message.
    bool filter(MSG& message);

private:
    using Function = int (*)(void*);
    Lookup lookup_;
    HMODULE module_ = nullptr;
    Function function_ = nullptr;
    bool lookedUp_ = false;
};

}  // namespace quillet::launcher
