#pragma once
// The sound section as a recorder writes it: narration and background as zlib
// records of whole WAV files or as speech records of GSM frames, and the effect
// table of zlib records.

#include <optional>
#include <string>
#include <vector>

#include "player/audio/sound_section.h"

namespace quillet {

struct StoredSounds {
    SoundSectionHeader header;  // flags and volumes; the writer keeps them in step
    std::string narration;      // the stored record, empty when none is stored
    std::string background;
    // Effect i: absent, or present with its stored record (empty when it lies
    // beside the movie).
    std::vector<std::optional<std::string>> effects;
};

// A WAV file packed with zlib at level 9, behind its two lengths.
std::string zlibSoundRecord(const std::string& wavFile);
// A speech record of a 16-bit mono WAV file: its PCM header, a word, the frame
// data's length and the samples in GSM frames of 160; false with the reason when
// the file is not such a WAV file.
bool speechSoundRecord(const std::string& wavFile, std::string& record, std::string& error);

// The section: its leading words, then the stored sounds in their order. The
// oldest form stores every present track and no effects; forms before 1.5 have
// no speech.
std::string encodeSoundSection(const StoredSounds& sounds, SoundSectionForm form = SoundSectionForm::Current);

}  // namespace quillet
