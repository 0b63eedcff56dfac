#include "player/movie/movie_opening.h"

#include "player/container/buffered_reader.h"

namespace quillet {
namespace {

bool locate(MovieFile& file, MoviePlacement placement, OpenedMovie& movie) {
    if (readMovieLocation(file, movie.location)) {
        movie.header = readMovieHeader(file);
        if (movie.header.signatureAccepted()) {
            movie.appended = true;
            return true;
        }
    }
    if (placement == MoviePlacement::Appended) return false;
    movie.appended = false;
    movie.location = MovieLocation{0, file.size()};
    if (!file.seek(0)) return false;
    movie.header = readMovieHeader(file);
    return movie.header.signatureAccepted();
}

// The caller's file lent to the loader thread, which closes what it is given.
class LentMovieFile : public MovieFile {
public:
    explicit LentMovieFile(MovieFile& file) : file_(file) {}
    bool isOpen() const override { return file_.isOpen(); }
    uint64_t size() const override { return file_.size(); }
    uint64_t position() const override { return file_.position(); }
    bool seek(uint64_t offset) override { return file_.seek(offset); }
    void close() override {}

protected:
    size_t readPiece(void* out, size_t n) override { return file_.readBlock(out, n); }
    size_t writePiece(const void*, size_t) override { return 0; }

private:
    MovieFile& file_;
};

}  // namespace

MovieOpenStatus openMovie(MovieFile& file, const MovieOpenRequest& request, OpenedMovie& movie) {
    movie = OpenedMovie();
    if (!locate(file, request.placement, movie)) return MovieOpenStatus::NotAMovie;
    if (request.headerAccepted) request.headerAccepted();

    // The version decision is taken from the plain header, before the copy can
    // replace it.
    movie.plainHeader = movie.header;
    movie.version = movie.header.version();
    if (movie.version >= kFirstVersionWithHeaderCopy)
        movie.headerCopy = readHeaderCopy(file, movie.location.movieEnd, movie.header);
    if (movie.version > programVersion()) return MovieOpenStatus::Newer;

    movie.readers = readersForVersion(movie.version);
    movie.objects = readObjectSectionAt(file, movie.location.movieEnd, movie.readers.objects, *request.objectHost);
    if (movie.objects.unknownKind) return MovieOpenStatus::UnknownObjectKind;

    // Sounds that cannot be written out give up the movie, in the forms that may
    // fail; the older forms go on without them.
    BufferedReader sounds(file, movie.location.movieEnd);
    const bool soundsRead =
        request.tracks->load(sounds, request.soundPath, movie.readers.sounds, objectsCarrySound(movie.objects));
    file.seek(sounds.position());
    return soundsRead ? MovieOpenStatus::Opened : MovieOpenStatus::SoundsFailed;
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

void readAllFrames(FrameData& frames, MovieFile& file, const OpenedMovie& movie) {
    const FrameStreamFormat format = frameStreamFormat(movie.readers);
    if (movie.readers.reading == FrameReading::Foreground) {
        frames.LoadFrameStream(file, movie.location.movieEnd, format);
        return;
    }
    frames.loadFrameStreamInBackground(std::make_unique<LentMovieFile>(file), movie.location.movieEnd, format);
    frames.waitForLoader();
}

}  // namespace quillet
