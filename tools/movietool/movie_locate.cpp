#include "tools/movietool/movie_locate.h"

#include "player/container/movie_document.h"

namespace quillet {

bool locateMovie(MovieFile& file, MovieLocation& location, MovieHeader& header, bool& appended) {
    if (readMovieLocation(file, location)) {
        header = readMovieHeader(file);
        if (header.signatureAccepted()) {
            appended = true;
            return true;
        }
    }
    appended = false;
    location = MovieLocation{0, file.size()};
    if (!file.seek(0)) return false;
    header = readMovieHeader(file);
    return header.signatureAccepted();
}

bool seekFrameStream(MovieFile& file, MovieLocation& location, std::string& error) {
    MovieHeader header;
    bool appended = false;
    if (!locateMovie(file, location, header, appended)) {
        error = kDamagedMovieText;
        return false;
    }
    if (header.version() != ProgramVersion()) {
        error = "only current (3.0) movies are read here";
        return false;
    }
    readHeaderCopy(file, location.movieEnd, header);
    if (!readSectionsBeforeFrames(file).empty()) {
        error = "movies with objects or sounds are not read here yet";
        return false;
    }
    return true;
}

}  // namespace quillet
