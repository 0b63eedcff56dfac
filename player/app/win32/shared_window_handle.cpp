#include "player/app/win32/shared_window_handle.h"

#include <cstdint>

namespace quillet {

constexpr DWORD kRecordSize = sizeof(uint32_t);

bool SharedWindowHandle::publish(HWND window) {
    mapping_.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kRecordSize, kWindowHandleMemoryName));
    if (!mapping_) return false;
    view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, kRecordSize));
    if (!view_) return false;
    *static_cast<volatile uint32_t*>(view_.get()) =
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
    return true;
}

HWND readPublishedWindow() {
    win32::UniqueHandle mapping(::OpenFileMappingA(FILE_MAP_WRITE, FALSE, kWindowHandleMemoryName));
    if (!mapping) return nullptr;
    win32::UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, kRecordSize));
    if (!view) return nullptr;
    uint32_t value = *static_cast<volatile uint32_t*>(view.get());
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

}  // namespace quillet
