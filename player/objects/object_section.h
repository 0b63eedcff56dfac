#pragma once
// The object section of a current movie (version 3.0): four words, then the objects.

#include <cstdint>

#include "player/container/movie_file.h"

namespace quillet {

struct ObjectSectionPrefix {
    static constexpr size_t kSize = 16;
    uint32_t soundsSeparate = 0;
    uint32_t cacheStored = 0;
    uint32_t objectCount = 0;
    uint32_t effectCounter = 0;
};

// Reads the prefix at the file position; a short read leaves zeros.
ObjectSectionPrefix readObjectSectionPrefix(MovieFile& file);

}  // namespace quillet
