#include "tools/movietool/tool_movie.h"

#include "player/movie/movie_document.h"

namespace quillet {

std::string openFailureText(MovieOpenStatus status) {
    switch (status) {
    case MovieOpenStatus::Opened: return std::string();
    case MovieOpenStatus::NotAMovie: return kDamagedMovieText;
    case MovieOpenStatus::Newer: return "the movie is newer than the player";
    case MovieOpenStatus::UnknownObjectKind: return std::string(kDamagedMovieText) + " (an object of unknown kind)";
    case MovieOpenStatus::SoundsFailed: return "its sounds do not unpack";
    }
    return std::string();
}

MovieOpenStatus ToolMovie::open(MovieFile& file) {
    MovieOpenRequest request;
    request.placement = MoviePlacement::AppendedOrBare;
    request.objectHost = &objectHost_;
    request.tracks = &tracks_;
    request.soundPath = "movie";
    return openMovie(file, request, movie_);
}

}  // namespace quillet
