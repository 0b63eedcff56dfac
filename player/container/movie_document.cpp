#include "player/container/movie_document.h"


namespace quillet {

void MovieDocument::ResetMovie() {
    frames_.ClearFrameData();
    header_ = MovieHeader();
    location_ = MovieLocation();
    fileVersion_ = 0;
    position_ = 0;
}

SectionsBeforeFrames readSectionsBeforeFrames(MovieFile& file) {
    SectionsBeforeFrames sections;
    sections.objects = readObjectSectionPrefix(file);
    sections.sounds = readSoundSectionHeader(file);
    return sections;
}

bool MovieDocument::OpenMovie(const std::string& ownPath) {
    ResetMovie();
    file_.reset();

    std::unique_ptr<MovieFile> file = opener_(ownPath);
    if (!file || !file->isOpen()) {
        filePath_.clear();
        return false;
    }

    MovieLocation location;
    bool located = readMovieLocation(*file, location);
    MovieHeader header = located ? readMovieHeader(*file) : MovieHeader();
    if (!header.signatureAccepted()) {
        ui_.showMessage(MovieOpenUi::Owner::Document, kDamagedMovieText, kProductCaption,
                        MovieOpenUi::Icon::Error);
        return false;
    }

    filePath_ = ownPath;
    location_ = location;
    // The version decision is taken from the plain header, before the copy can
    // replace it.
    double version = header.version();
    ui_.showLoadingDialog();

    if (version >= kFirstVersionWithHeaderCopy) readHeaderCopy(*file, location.movieEnd, header);
    header_ = header;
    fileVersion_ = version;

    if (version > ProgramVersion()) {
        ui_.showMessage(MovieOpenUi::Owner::MainWindow, kNewerMovieText, kProductCaption,
                        MovieOpenUi::Icon::Warning);
        ui_.destroyLoadingDialog();
        return false;
    }

    if (version == ProgramVersion() && readSectionsBeforeFrames(*file).empty()) {
        frames_.LoadFrameStreamInBackground(std::move(file), location.movieEnd);
        frames_.BuildObjectTimeline({});
        frames_.setHasStopObjects(false);
    }
    file_ = std::move(file);
    ui_.destroyLoadingDialog();
    return true;
}

}  // namespace quillet
