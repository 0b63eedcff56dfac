#pragma once
// A movie as the tools open it: behind a player or bare at offset 0, its sounds
// read past without writing them anywhere.

#include <string>

#include "player/movie/movie_opening.h"
#include "tools/movietool/tool_object_host.h"
#include "tools/movietool/tool_sound_host.h"

namespace quillet {

// What a tool tells the user when opening stops; empty for Opened.
std::string openFailureText(MovieOpenStatus status);

class ToolMovie {
public:
    // Opens through the sounds, as far as the movie lets it.
    MovieOpenStatus open(MovieFile& file);
    OpenedMovie& movie() { return movie_; }
    const OpenedMovie& movie() const { return movie_; }
    const SoundTrackSet& tracks() const { return tracks_; }

private:
    ToolObjectHost objectHost_;
    NoSoundSystem noDevice_;
    ToolSoundHost soundHost_{""};
    SoundTrackSet tracks_{noDevice_, soundHost_};
    OpenedMovie movie_;
};

}  // namespace quillet
