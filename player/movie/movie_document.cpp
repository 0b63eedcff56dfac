#include "player/movie/movie_document.h"


namespace quillet {

void MovieDocument::ResetMovie() {
    frames_.ClearFrameData();
    objects_ = ObjectSection();
    tracks_.release();
    header_ = MovieHeader();
    location_ = MovieLocation();
    fileVersion_ = 0;
    position_ = 0;
}

bool MovieDocument::OpenMovie(const std::string& ownPath) {
    ResetMovie();
    file_.reset();

    std::unique_ptr<MovieFile> file = opener_(ownPath);
    if (!file || !file->isOpen()) {
        filePath_.clear();
        return false;
    }

    OpenedMovie movie;
    MovieOpenRequest request;
    request.objectHost = &objectHost_;
    request.tracks = &tracks_;
    request.soundPath = ownPath;
    request.headerAccepted = [this, &ownPath] {
        filePath_ = ownPath;
        ui_.showLoadingDialog();
    };
    switch (openMovie(*file, request, movie)) {
    case MovieOpenStatus::NotAMovie:
        ui_.showMessage(MovieOpenUi::Owner::Document, kDamagedMovieText, kProductCaption, MovieOpenUi::Icon::Error);
        return false;
    case MovieOpenStatus::Newer:
        location_ = movie.location;
        header_ = movie.header;
        fileVersion_ = movie.version;
        ui_.showMessage(MovieOpenUi::Owner::MainWindow, kNewerMovieText, kProductCaption,
                        MovieOpenUi::Icon::Warning);
        ui_.destroyLoadingDialog();
        return false;
    case MovieOpenStatus::UnknownObjectKind:
        // Past an object of no known kind the sounds and frames cannot be found:
        // the movie would open empty as if that were all it held.
        ui_.showMessage(MovieOpenUi::Owner::Document, kDamagedMovieText, kProductCaption, MovieOpenUi::Icon::Error);
        ui_.destroyLoadingDialog();
        ResetMovie();
        return false;
    case MovieOpenStatus::SoundsFailed:
        ui_.destroyLoadingDialog();
        ResetMovie();
        return false;
    case MovieOpenStatus::Opened:
        break;
    }
    location_ = movie.location;
    header_ = movie.header;
    fileVersion_ = movie.version;
    objects_ = std::move(movie.objects);
    const FormatReaders& readers = movie.readers;
    const FrameStreamFormat format = frameStreamFormat(readers);
    if (readers.reading == FrameReading::Background) {
        frames_.loadFrameStreamInBackground(std::move(file), location_.movieEnd, format);
    } else {
        // Read here, all of it; the file stays open with the document.
        frames_.LoadFrameStream(*file, location_.movieEnd, format);
    }
    frames_.BuildObjectTimeline(objectSpans(objects_));
    bool hotspots = false;
    for (const CaptionRecord& record : objects_.objects) hotspots |= record.kind() == caption_kind::kHotspotCaption;
    frames_.setHasStopObjects(hotspots);
    file_ = std::move(file);
    ui_.destroyLoadingDialog();
    return true;
}

}  // namespace quillet
