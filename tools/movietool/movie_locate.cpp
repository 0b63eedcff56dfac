#include "tools/movietool/movie_locate.h"

#include "player/app/movie_document.h"
#include "tools/movietool/tool_object_host.h"
#include "tools/movietool/tool_sound_host.h"

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

bool seekFrameStream(MovieFile& file, MovieLocation& location, ObjectSection& objects, std::string& error) {
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
    ToolObjectHost host;
    objects = readObjectSectionAt(file, location.movieEnd, ObjectSectionForm::Form5, host);
    // The sounds are read past, not written anywhere.
    NoSoundSystem noDevice;
    ToolSoundHost sounds("");
    SoundTrackSet tracks(noDevice, sounds);
    BufferedReader in(file, location.movieEnd);
    if (!tracks.load(in, "movie")) {
        error = "its sounds do not unpack";
        return false;
    }
    file.seek(in.position());
    return true;
}

}  // namespace quillet
