#include "player/container/buffered_reader.h"

#include <algorithm>
#include <cstring>

namespace quillet {

BufferedReader::BufferedReader(MovieFile& file, uint64_t end, size_t bufferSize)
    : file_(file), filePosition_(file.position()) {
    uint64_t fileEnd = std::min<uint64_t>(end, file.size());
    end_ = std::max(fileEnd, filePosition_);
    // A short stream needs no more buffer than it has bytes.
    buffer_.resize(static_cast<size_t>(std::max<uint64_t>(1, std::min<uint64_t>(bufferSize, end_ - filePosition_))));
}

bool BufferedReader::refill() {
    next_ = filled_ = 0;
    uint64_t left = end_ - filePosition_;
    if (left == 0) return false;
    size_t want = static_cast<size_t>(std::min<uint64_t>(left, buffer_.size()));
    filled_ = file_.readBlock(buffer_.data(), want);
    filePosition_ += filled_;
    if (filled_ < want) end_ = filePosition_;  // the file ended early
    return filled_ > 0;
}

bool BufferedReader::read(void* out, size_t n) {
    auto* at = static_cast<uint8_t*>(out);
    while (n > 0) {
        if (next_ == filled_) {
            // Large reads bypass the buffer.
            if (n >= buffer_.size()) {
                size_t want = static_cast<size_t>(std::min<uint64_t>(n, end_ - filePosition_));
                size_t got = file_.readBlock(at, want);
                filePosition_ += got;
                at += got;
                n -= got;
                if (got < want) end_ = filePosition_;
                if (n > 0) {
                    std::memset(at, 0, n);
                    return false;
                }
                return true;
            }
            if (!refill()) {
                std::memset(at, 0, n);
                return false;
            }
        }
        size_t take = std::min(n, filled_ - next_);
        std::memcpy(at, buffer_.data() + next_, take);
        next_ += take;
        at += take;
        n -= take;
    }
    return true;
}

bool BufferedReader::peek(void* out, size_t n) {
    if (filled_ - next_ < n) {
        if (n > buffer_.size()) return false;
        // What is left moves to the front and the buffer is topped up behind it.
        const size_t left = filled_ - next_;
        std::memmove(buffer_.data(), buffer_.data() + next_, left);
        next_ = 0;
        filled_ = left;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer_.size() - left, end_ - filePosition_));
        const size_t got = file_.readBlock(buffer_.data() + left, want);
        filePosition_ += got;
        filled_ += got;
        if (got < want) end_ = filePosition_;
        if (filled_ < n) return false;
    }
    std::memcpy(out, buffer_.data() + next_, n);
    return true;
}

void BufferedReader::skip(uint64_t n) {
    uint64_t inBuffer = filled_ - next_;
    if (n <= inBuffer) {
        next_ += static_cast<size_t>(n);
        return;
    }
    n -= inBuffer;
    next_ = filled_ = 0;
    filePosition_ = std::min(end_, filePosition_ + n);
    file_.seek(filePosition_);
}

}  // namespace quillet
