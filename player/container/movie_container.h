#pragma once
// Finding the movie behind the executable image and reading its header.

#include <cstdint>

#include "player/container/movie_file.h"
#include "player/container/movie_header.h"

namespace quillet {

// Where the movie lies in its file.
struct MovieLocation {
    uint32_t movieOffset = 0;
    uint64_t movieEnd = 0;  // where the trailer begins
};

// Reads the trailer. False when the file is too short to hold one or the offset it
// gives lies beyond the movie area: such a file has no usable movie.
bool readMovieLocation(MovieFile& file, MovieLocation& location);

// Reads the 268-byte header at the file position; a short read leaves zeros.
MovieHeader readMovieHeader(MovieFile& file);

struct HeaderCopyResult {
    uint32_t storedLength = 0;
    bool fits = false;     // the stored length lies within the movie
    bool inflated = false; // it inflated to a whole header, which replaced the plain one
};

// Reads the length-prefixed compressed header copy at the file position. A copy
// that inflates replaces the header; a damaged one leaves the header as it was.
// A length running past the movie end leaves the file at the movie end, where a
// read of that length would have stopped.
HeaderCopyResult readHeaderCopy(MovieFile& file, uint64_t movieEnd, MovieHeader& header);

}  // namespace quillet
