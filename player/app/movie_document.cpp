#include "player/app/movie_document.h"


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

ObjectSection readObjectSectionAt(MovieFile& file, uint64_t end, ObjectSectionForm form, ObjectReadHost& host) {
    BufferedReader in(file, end);
    ObjectSection section = readObjectSection(in, form, host);
    file.seek(in.position());
    return section;
}

std::vector<ObjectSpan> objectSpans(const ObjectSection& section) {
    std::vector<ObjectSpan> spans;
    spans.reserve(section.objects.size());
    for (const CaptionRecord& record : section.objects) {
        const ObjectHeader& h = record.header;
        spans.push_back({h.firstFrame, h.frameCount, h.kind, h.objectId});
    }
    return spans;
}

bool objectsCarrySound(const ObjectSection& section) {
    for (const CaptionRecord& record : section.objects) {
        if (record.kind() == caption_kind::kSoundCaption) return true;
        if (record.kind() == caption_kind::kHotspotCaption && record.hotspot.sound.hasSound) return true;
    }
    return false;
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

    // The readers of the file's version: objects, sounds and frames, in that order.
    const FormatReaders readers = readersForVersion(version);
    objects_ = readObjectSectionAt(*file, location.movieEnd, readers.objects, objectHost_);
    // Past an object of no known kind the sounds and frames cannot be found: the
    // movie would open empty as if that were all it held.
    if (objects_.unknownKind) {
        ui_.showMessage(MovieOpenUi::Owner::Document, kDamagedMovieText, kProductCaption, MovieOpenUi::Icon::Error);
        ui_.destroyLoadingDialog();
        ResetMovie();
        return false;
    }
    // Sounds that cannot be written out give up the movie, in the forms that may
    // fail; the older forms go on without them.
    BufferedReader sounds(*file, location.movieEnd);
    if (!tracks_.load(sounds, ownPath, readers.sounds, objectsCarrySound(objects_))) {
        ui_.destroyLoadingDialog();
        ResetMovie();
        return false;
    }
    file->seek(sounds.position());
    const FrameStreamFormat format = frameStreamFormat(readers);
    if (readers.reading == FrameReading::Background) {
        frames_.LoadFrameStreamInBackground(std::move(file), location.movieEnd, format);
    } else {
        // Read here, all of it; the file stays open with the document.
        frames_.LoadFrameStream(*file, location.movieEnd, format);
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
