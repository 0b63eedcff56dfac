#pragma once
// Finding a movie in a file for the tools: behind a player (through the trailer) or
// as a bare movie at offset 0.

#include <string>

#include "player/container/movie_container.h"
#include "player/objects/object_section.h"

namespace quillet {

bool locateMovie(MovieFile& file, MovieLocation& location, MovieHeader& header, bool& appended);

// Reads the objects of a current movie without sounds and leaves the file at its
// frame stream; false with a reason otherwise.
bool seekFrameStream(MovieFile& file, MovieLocation& location, ObjectSection& objects, std::string& error);

}  // namespace quillet
