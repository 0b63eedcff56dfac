#pragma once
// A movie read whole for export: its frames, objects and every sound it plays
// written as WAV files into a folder of the caller's (the player's own temporary
// files, but in a folder that goes with the export).

#include <array>
#include <memory>
#include <string>

#include "player/audio/sound_tracks.h"
#include "player/container/frame_data.h"
#include "player/objects/object_section.h"

namespace quillet {

struct MovieSounds {
    std::string narration;   // empty: none
    std::string background;
    std::array<std::string, kEffectSlots> effects;
    int32_t narrationVolume = 0;
    int32_t backgroundVolume = 0;
    bool effectsPresent = false;
};

struct ExportMovie {
    PackedDibFactory bitmaps;
    std::unique_ptr<FrameData> frames = std::make_unique<FrameData>(bitmaps);
    ObjectSection objects;
    MovieSounds sounds;
    // What the reading would have shown the viewer (a sound that would not unpack).
    std::vector<std::string> messages;
};

// Reads the movie at path (behind a player or bare). Sounds go into soundFolder,
// which exists. False with a reason for a file that is not a movie the player
// reads, or whose sections are damaged.
bool readMovieForExport(const std::string& path, const std::string& soundFolder, ExportMovie& movie,
                        std::string& error);

}  // namespace quillet
