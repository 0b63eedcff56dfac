#include <windows.h>

#include "player/container/compressed_block.h"
#include "player/container/win32/block_platform.h"

namespace quillet {
namespace {

void debugOutput(const char* text) { ::OutputDebugStringA(text); }

}  // namespace

bool regionIsReadWrite(const void* address, size_t length) {
    if (!address) return false;
    auto* at = static_cast<const uint8_t*>(address);
    const uint8_t* end = at + length;
    constexpr DWORD kReadWrite = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE |
                                 PAGE_EXECUTE_WRITECOPY;
    do {
        MEMORY_BASIC_INFORMATION info{};
        if (!::VirtualQuery(at, &info, sizeof info)) return false;
        if (info.State != MEM_COMMIT || !(info.Protect & kReadWrite) ||
            (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)))
            return false;
        at = static_cast<const uint8_t*>(info.BaseAddress) + info.RegionSize;
    } while (at < end);
    return true;
}

void initialiseBlockPlatform() {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    setFastProcessor(isFastProcessor(system.wProcessorLevel, system.wProcessorRevision));
    BlockDiagnostics diagnostics;
    diagnostics.regionReadWrite = &regionIsReadWrite;
    diagnostics.debugOutput = &debugOutput;
    setBlockDiagnostics(diagnostics);
}

}  // namespace quillet
