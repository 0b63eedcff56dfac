#include "player/container/movie_file.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace quillet {

size_t MovieFile::readBlock(void* out, size_t n) {
    auto* cursor = static_cast<uint8_t*>(out);
    size_t total = 0;
    while (total < n) {
        size_t want = std::min(n - total, kPieceSize);
        size_t got = readPiece(cursor + total, want);
        total += got;
        if (got < want) break;
    }
    return total;
}

size_t MovieFile::writeBlock(const void* data, size_t n) {
    auto* cursor = static_cast<const uint8_t*>(data);
    size_t total = 0;
    while (total < n) {
        size_t want = std::min(n - total, kPieceSize);
        size_t put = writePiece(cursor + total, want);
        total += put;
        if (put < want) break;
    }
    return total;
}

std::unique_ptr<StdioMovieFile> StdioMovieFile::open(const std::string& path, bool writable) {
    UniqueStdioFile file(std::fopen(path.c_str(), writable ? "r+b" : "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return nullptr;
    const long end = std::ftell(file.get());
    std::rewind(file.get());
    if (end < 0) return nullptr;
    return std::unique_ptr<StdioMovieFile>(new StdioMovieFile(std::move(file), static_cast<uint64_t>(end)));
}

bool StdioMovieFile::seek(uint64_t offset) {
    if (!file_ || offset > static_cast<uint64_t>(LONG_MAX)) return false;
    if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0) return false;
    position_ = offset;
    return true;
}

void StdioMovieFile::close() {
    file_.reset();
}

size_t StdioMovieFile::readPiece(void* out, size_t n) {
    if (!file_) return 0;
    size_t got = std::fread(out, 1, n, file_.get());
    position_ += got;
    return got;
}

size_t StdioMovieFile::writePiece(const void* data, size_t n) {
    if (!file_) return 0;
    size_t put = std::fwrite(data, 1, n, file_.get());
    position_ += put;
    size_ = std::max(size_, position_);
    return put;
}

bool MemoryMovieFile::seek(uint64_t offset) {
    if (!open_ || offset > bytes_.size()) return false;
    position_ = static_cast<size_t>(offset);
    return true;
}

size_t MemoryMovieFile::readPiece(void* out, size_t n) {
    if (!open_) return 0;
    ++piecesRead_;
    size_t got = std::min({n, pieceLimit_, bytes_.size() - position_});
    std::memcpy(out, bytes_.data() + position_, got);
    position_ += got;
    return got;
}

size_t MemoryMovieFile::writePiece(const void* data, size_t n) {
    if (!open_) return 0;
    size_t put = std::min(n, pieceLimit_);
    if (position_ + put > bytes_.size()) bytes_.resize(position_ + put);
    std::memcpy(&bytes_[position_], data, put);
    position_ += put;
    return put;
}

}  // namespace quillet
