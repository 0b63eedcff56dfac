#pragma once
// The movie document: owns what was read from the movie appended to the running
// program, and the shared file object it was read from.

#include <functional>
#include <memory>
#include <string>

#include "player/container/frame_data.h"
#include "player/container/movie_file.h"
#include "player/movie/movie_opening.h"

namespace quillet {

constexpr char kProductCaption[] = "Tavrix";
constexpr char kDamagedMovieText[] = "Invalid or damaged files.";
constexpr char kNewerMovieText[] =
    "The file being opened is newer than the current program.\n"
    "Please install the latest version of  Tavrix.";
constexpr char kLoadingText[] = "Loading file .  Please wait a moment.";

// What opening shows the user; the Windows layer puts it on screen.
class MovieOpenUi {
public:
    enum class Owner { Document, MainWindow };
    enum class Icon { Error, Warning };

    virtual ~MovieOpenUi() = default;
    virtual void showMessage(Owner owner, const char* text, const char* caption, Icon icon) = 0;
    virtual void showLoadingDialog() = 0;
    virtual void destroyLoadingDialog() = 0;
};

class MovieDocument {
public:
    MovieDocument(MovieOpenUi& ui, MovieFileOpener opener, BitmapFactory& bitmaps, ObjectReadHost& objectHost,
                  SoundSystem& sounds, SoundTrackHost& soundHost)
        : ui_(ui), opener_(std::move(opener)), frames_(bitmaps), objectHost_(objectHost), tracks_(sounds, soundHost) {}
    ~MovieDocument() { ResetMovie(); }

    // Opens the movie appended to the program file at ownPath. True when the movie
    // was read and its loading is under way.
    bool OpenMovie(const std::string& ownPath);
    void ResetMovie();

    const MovieHeader& header() const { return header_; }
    const std::string& filePath() const { return filePath_; }
    const MovieLocation& location() const { return location_; }
    double fileVersion() const { return fileVersion_; }
    int position() const { return position_; }
    void setPosition(int frame) { position_ = frame; }
    // The shared file while the document holds it; the background loader takes it
    // over and closes it when it ends.
    MovieFile* file() const { return file_.get(); }
    FrameData& frameData() { return frames_; }
    const FrameData& frameData() const { return frames_; }
    // The annotation objects as read; the Windows layer makes its objects of them.
    const ObjectSection& objects() const { return objects_; }
    // Hands the records over to the objects made of them, so that they are held
    // once; the section keeps its flags.
    ObjectSection takeObjects() {
        std::vector<CaptionRecord> records;
        records.swap(objects_.objects);
        ObjectSection taken = objects_;
        taken.objects = std::move(records);
        return taken;
    }
    SoundTrackSet& tracks() { return tracks_; }

private:
    MovieOpenUi& ui_;
    MovieFileOpener opener_;
    std::unique_ptr<MovieFile> file_;
    FrameData frames_;
    ObjectReadHost& objectHost_;
    ObjectSection objects_;
    SoundTrackSet tracks_;
    MovieHeader header_;
    MovieLocation location_;
    std::string filePath_;
    double fileVersion_ = 0;
    int position_ = 0;
};

}  // namespace quillet
