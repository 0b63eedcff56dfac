#pragma once
// The sound section of a current movie (version 3.0): twelve words of flags and
// volumes, then the stored sounds (see the sound tracks).

#include <cstdint>
#include <string>

#include "player/container/movie_file.h"

namespace quillet {

struct SoundSectionHeader {
    static constexpr size_t kSize = 48;
    int32_t distNamingA = 0;
    int32_t distNamingB = 0;
    int32_t distSoundName = 0;
    int32_t narrationPresent = 0;
    int32_t backgroundPresent = 0;
    int32_t effectsPresent = 0;
    int32_t narrationEmbedded = 0;
    int32_t backgroundEmbedded = 0;
    int32_t effectsEmbedded = 0;
    int32_t speechCompressed = 0;
    int32_t narrationVolume = 0;
    int32_t backgroundVolume = 0;

    bool anySound() const { return narrationPresent || backgroundPresent || effectsPresent; }
    static SoundSectionHeader decode(const uint8_t* bytes);
    std::string encode() const;
};

// Reads the twelve words at the file position; a short read leaves zeros.
SoundSectionHeader readSoundSectionHeader(MovieFile& file);

}  // namespace quillet
