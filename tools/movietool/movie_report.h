#pragma once
// The JSON report of `movietool info`.

#include <string>

#include "player/container/movie_file.h"

namespace quillet {

// Describes the movie in file: appended to a player (found through the trailer) or a
// bare movie starting at offset 0. False, with a message in error, when neither holds
// an accepted header.
// With withFrames, a line of figures for every frame is added.
bool describeMovie(MovieFile& file, bool withFrames, std::string& report, std::string& error);

}  // namespace quillet
