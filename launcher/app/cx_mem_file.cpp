#include "launcher/app/cx_mem_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
// Scanf reads from at most this many bytes ahead.
constexpr size_t kScanWindow = 4096;
}  // namespace

CxMemFile::CxMemFile(uint8_t* buffer, uint32_t size)
    : external_(buffer), capacity_(buffer ? size : 0), size_(buffer ? size : 0), open_(buffer != nullptr) {}

CxMemFile::~CxMemFile() { Close(); }

bool CxMemFile::Open() {
    if (open_) return false;
    owned_.clear();
    size_ = position_ = 0;
    error_ = false;
    open_ = true;
    return true;
}

bool CxMemFile::Close() {
    owned_.clear();
    owned_.shrink_to_fit();
    external_ = nullptr;
    capacity_ = size_ = position_ = 0;
    open_ = false;
    return true;
}

size_t CxMemFile::Read(void* buffer, size_t size, size_t count) {
    if (!open_ || size == 0 || position_ >= size_) return 0;
    const size_t items = std::min<size_t>(count, (size_ - position_) / size);
    std::memcpy(buffer, data() + position_, items * size);
    position_ += static_cast<uint32_t>(items * size);
    return items;
}

size_t CxMemFile::Write(const void* buffer, size_t size, size_t count) {
    if (!open_ || size == 0 || count == 0) return 0;
    const uint64_t room = external_ ? capacity_ : UINT32_MAX;
    const uint64_t wanted = static_cast<uint64_t>(size) * count;
    size_t items = count;
    if (position_ + wanted > room) {
        items = static_cast<size_t>((room - std::min<uint64_t>(room, position_)) / size);
        error_ = true;
    }
    const size_t bytes = items * size;
    if (bytes == 0) return 0;
    if (!external_ && position_ + bytes > owned_.size()) owned_.resize(position_ + bytes);
    std::memcpy(data() + position_, buffer, bytes);
    position_ += static_cast<uint32_t>(bytes);
    size_ = std::max(size_, position_);
    return items;
}

bool CxMemFile::Seek(int32_t offset, int origin) {
    if (!open_) return false;
    int64_t base = origin == SEEK_CUR ? position_ : origin == SEEK_END ? size_ : 0;
    if (origin != SEEK_SET && origin != SEEK_CUR && origin != SEEK_END) return false;
    int64_t target = base + offset;
    // Past the end only where the block can grow there.
    const int64_t limit = external_ ? capacity_ : size_;
    if (target < 0 || target > limit) return false;
    position_ = static_cast<uint32_t>(target);
    return true;
}

int32_t CxMemFile::Tell() { return open_ ? static_cast<int32_t>(position_) : -1; }
int32_t CxMemFile::Size() { return open_ ? static_cast<int32_t>(size_) : -1; }
bool CxMemFile::Flush() { return open_; }
bool CxMemFile::Eof() { return !open_ || position_ >= size_; }
int32_t CxMemFile::Error() { return error_ ? 1 : 0; }

int32_t CxMemFile::GetC() {
    if (Eof()) return -1;
    return data()[position_++];
}

char* CxMemFile::GetS(char* buffer, int32_t length) {
    if (length <= 0 || Eof()) return nullptr;
    int32_t n = 0;
    while (n < length - 1 && position_ < size_) {
        const char c = static_cast<char>(data()[position_++]);
        buffer[n++] = c;
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return buffer;
}

int32_t CxMemFile::Scanf(const char* format, void* output) {
    if (Eof()) return EOF;
    const size_t available = std::min<size_t>(size_ - position_, kScanWindow);
    const std::string window(reinterpret_cast<const char*>(data()) + position_, available);
    const std::string withCount = std::string(format) + "%n";
    int consumed = 0;
    const int result = std::sscanf(window.c_str(), withCount.c_str(), output, &consumed);
    if (result > 0) position_ += static_cast<uint32_t>(consumed);
    return result;
}
