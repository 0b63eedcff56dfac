#include "common/win32/string_resources.h"

#include <windows.h>

#include <array>
#include <string>

namespace quillet::win32 {

const char* loadString(unsigned id) {
    static std::array<std::string, 10> ring;
    static size_t next = 0;
    std::string& slot = ring[next];
    next = (next + 1) % ring.size();

    char buffer[1024];
    int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    slot.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    return slot.c_str();
}

}  // namespace quillet::win32
