#pragma once
// Sequential reads of small records from the movie file through a large buffer, so
// that a frame stream of many 40- and 16-byte records costs few system reads.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/container/movie_file.h"

namespace quillet {

class BufferedReader {
public:
    // Reads from the file's current position up to end (the trailer).
    BufferedReader(MovieFile& file, uint64_t end, size_t bufferSize = MovieFile::kPieceSize);

    // Bytes left before end, as far as the file holds them.
    uint64_t remaining() const { return end_ - position(); }
    uint64_t position() const { return filePosition_ - (filled_ - next_); }

    // Copies n bytes; a short read leaves the rest of out zero-filled and returns false.
    bool read(void* out, size_t n);
    // Copies the next n bytes (at most the buffer's size) without consuming them.
    bool peek(void* out, size_t n);
    void skip(uint64_t n);

private:
    bool refill();

    MovieFile& file_;
    uint64_t end_;
    uint64_t filePosition_;
    std::vector<uint8_t> buffer_;
    size_t next_ = 0;
    size_t filled_ = 0;
};

}  // namespace quillet
