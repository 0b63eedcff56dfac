#pragma once
// The words that open a movie's sound section: flags and volumes, then the stored
// sounds (see the sound tracks). The current form (version 3.0) has twelve; older
// forms store fewer, the last nine of them cut short.

#include <cstdint>
#include <string>

#include "player/container/format_versions.h"
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

    // The words a form stores, and their decoding: the fields a form lacks stay 0.
    static size_t storedSize(SoundSectionForm form);
    static SoundSectionHeader decode(SoundSectionForm form, const uint8_t* bytes);
    std::string encode(SoundSectionForm form) const;
};

// Reads the twelve words at the file position; a short read leaves zeros.
SoundSectionHeader readSoundSectionHeader(MovieFile& file);

}  // namespace quillet
