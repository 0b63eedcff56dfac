#pragma once
// Finding a movie in a file for the tools: behind a player (through the trailer) or
// as a bare movie at offset 0.

#include <string>

#include "player/container/movie_container.h"

namespace quillet {

bool locateMovie(MovieFile& file, MovieLocation& location, MovieHeader& header, bool& appended);

// Leaves the file at the frame stream of a current movie whose object and sound
// sections are empty; false with a reason otherwise.
bool seekFrameStream(MovieFile& file, MovieLocation& location, std::string& error);

}  // namespace quillet
