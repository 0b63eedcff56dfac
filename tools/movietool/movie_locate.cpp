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

namespace {

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

void loadFramesAsThePlayerDoes(FrameData& frames, MovieFile& file, uint64_t end, const FormatReaders& readers) {
    if (readers.reading == FrameReading::Foreground) {
        frames.LoadFrameStream(file, end, frameStreamFormat(readers));
        return;
    }
    frames.LoadFrameStreamInBackground(std::make_unique<LentMovieFile>(file), end, frameStreamFormat(readers));
    frames.waitForLoader();
}

bool seekFrameStream(MovieFile& file, MovieLocation& location, ObjectSection& objects, FormatReaders& readers,
                     std::string& error) {
    MovieHeader header;
    bool appended = false;
    if (!locateMovie(file, location, header, appended)) {
        error = kDamagedMovieText;
        return false;
    }
    const double version = header.version();
    if (version > ProgramVersion()) {
        error = "the movie is newer than the player";
        return false;
    }
    if (version >= kFirstVersionWithHeaderCopy) readHeaderCopy(file, location.movieEnd, header);
    readers = readersForVersion(version);
    ToolObjectHost host;
    objects = readObjectSectionAt(file, location.movieEnd, readers.objects, host);
    if (objects.unknownKind) {
        error = std::string(kDamagedMovieText) + " (an object of unknown kind)";
        return false;
    }
    // The sounds are read past, not written anywhere.
    NoSoundSystem noDevice;
    ToolSoundHost sounds("");
    SoundTrackSet tracks(noDevice, sounds);
    BufferedReader in(file, location.movieEnd);
    if (!tracks.load(in, "movie", readers.sounds)) {
        error = "its sounds do not unpack";
        return false;
    }
    file.seek(in.position());
    return true;
}

}  // namespace quillet
