#include "player/app/win32/movie_file_length.h"

#include <windows.h>

#include "common/win32/file_system.h"
#include "common/win32/handles.h"

namespace quillet {

std::optional<uint64_t> movieFileLength(const std::string& path) {
    if (path.empty() || !win32::fileExists(path)) return std::nullopt;
    win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    return static_cast<uint64_t>(size.QuadPart);
}

}  // namespace quillet
