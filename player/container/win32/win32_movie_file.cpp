#include "player/container/win32/win32_movie_file.h"

namespace quillet {

std::unique_ptr<Win32MovieFile> Win32MovieFile::open(const std::string& path) {
    win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return nullptr;
    return std::unique_ptr<Win32MovieFile>(
        new Win32MovieFile(std::move(file), static_cast<uint64_t>(size.QuadPart)));
}

bool Win32MovieFile::seek(uint64_t offset) {
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(offset);
    if (!file_ || !::SetFilePointerEx(file_.get(), distance, nullptr, FILE_BEGIN)) return false;
    position_ = offset;
    return true;
}

size_t Win32MovieFile::readPiece(void* out, size_t n) {
    DWORD got = 0;
    if (!file_ || !::ReadFile(file_.get(), out, static_cast<DWORD>(n), &got, nullptr)) return 0;
    position_ += got;
    return got;
}

size_t Win32MovieFile::writePiece(const void* data, size_t n) {
    DWORD put = 0;
    if (!file_ || !::WriteFile(file_.get(), data, static_cast<DWORD>(n), &put, nullptr)) return 0;
    position_ += put;
    if (position_ > size_) size_ = position_;
    return put;
}

}  // namespace quillet
