#pragma once
// Finding a movie in a file for the tools: behind a player (through the trailer) or
// as a bare movie at offset 0.

#include <string>

#include "player/container/frame_data.h"
#include "player/container/frame_stream_groups.h"
#include "player/container/movie_container.h"
#include "player/objects/object_section.h"

namespace quillet {

bool locateMovie(MovieFile& file, MovieLocation& location, MovieHeader& header, bool& appended);

// Reads the objects of a movie of any version the player reads, passes its sounds
// over without writing them, and leaves the file at its frame stream; readers are
// those the version takes. False with a reason otherwise.
bool seekFrameStream(MovieFile& file, MovieLocation& location, ObjectSection& objects, FormatReaders& readers,
                     std::string& error);

// Reads the frame stream at the file's position as the player reads it: on the
// loader thread for the versions it reads in the background (some rules differ
// between the two), and returns when all frames are read. The file stays with the
// caller.
void loadFramesAsThePlayerDoes(FrameData& frames, MovieFile& file, uint64_t end, const FormatReaders& readers);

}  // namespace quillet
