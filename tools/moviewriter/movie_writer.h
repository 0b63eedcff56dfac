#pragma once
// Writes movies in the player's format, for the tests, the demo and by hand. The
// writer stands in for the recording suite, which lies outside this system: it
// turns full-screen pictures into frames as a recorder would, comparing each with
// the one before and storing the changed rows as bands.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/container/frame_records.h"
#include "player/container/frame_stream_groups.h"
#include "player/container/movie_header.h"
#include "player/container/record_forms.h"
#include "player/objects/object_section.h"
#include "tools/moviewriter/sound_records.h"
#include "tools/moviewriter/picture.h"

namespace quillet {

struct ScreenFormat {
    int32_t width = 640;
    int32_t height = 480;
    int32_t bitsPerPixel = 32;
};

// What a frame carries besides its picture: the stored record's fields (its band
// count comes from the picture), with a tenth of a second as the default delay.
struct FrameSpec : FrameRecord {
    FrameSpec(int32_t delay = 100) { delayMs = delay; }  // NOLINT: {delay} reads well at call sites
    int32_t groupFirst = 0;  // stored by the oldest forms only
};

// A band exactly as stored: for frames built by hand (damaged or unusual ones).
struct StoredBand {
    BandHeader header;
    std::string bytes;
    bool present = true;  // the oldest band headers can mark a band that has no bytes
};

class MovieWriter {
public:
    static constexpr int32_t kDefaultBandHeight = 20;

    MovieWriter();

    MovieHeader& header() { return header_; }
    const MovieHeader& header() const { return header_; }
    void setVersion(int major, int minor);
    // A header copy that differs from the plain header (the player takes the copy).
    void setHeaderCopy(const MovieHeader& copy) { headerCopy_ = copy; }
    // Stores a damaged copy: a length and bytes that do not inflate.
    void setRawHeaderCopy(std::string stored) { rawHeaderCopy_ = std::move(stored); }

    // The screen and recorded area; set before the first frame.
    void setScreen(const ScreenFormat& screen);
    const ScreenFormat& screen() const { return screen_; }
    void setRecordedArea(const Rect& area) { recordedArea_ = area; }
    void setFramesPerSecond(int32_t rate) { framesPerSecond_ = rate; }
    void setBandHeight(int32_t rows) { bandHeight_ = rows > 0 ? rows : kDefaultBandHeight; }
    // The stored frame count; by default the number of frames added.
    void setStoredFrameCount(int32_t count) { storedFrameCount_ = count; }

    // A shape as a colour image and a mask. Movies whose shapes are one keyed image
    // (the oldest) store the colour image alone.
    void addCursorShape(uint32_t cursorId, const std::string& colourDib, const std::string& maskDib);
    // A shape from a picture in which magenta marks where the screen shows: stored
    // as it is where shapes are keyed, else as a colour image (magenta turned white)
    // and its mask.
    void addKeyedCursorShape(uint32_t cursorId, const Picture& picture);
    void setLogo(const LogoRecord& record, const std::string& pictureDib);

    // Adds a frame from the whole screen: the first frame is a key picture, later
    // ones hold the bands of rows that changed. The picture must match the screen.
    void addFrame(const Picture& screen, const FrameSpec& spec = FrameSpec());
    // Adds a frame exactly as given (its band count is the number of bands).
    void addStoredFrame(const FrameRecord& record, const std::vector<StoredBand>& bands, int32_t groupFirst = 0);
    // Appends raw bytes to the frame stream (a cut-off or damaged tail).
    void appendRaw(const std::string& bytes);

    // The annotation objects, written in the object section of the movie's form.
    ObjectSection& objects() { return objects_; }
    void addObject(const CaptionRecord& record) { objects_.objects.push_back(record); }
    // The stored sounds, written in the sound section.
    StoredSounds& sounds() { return sounds_; }

    size_t frameCount() const { return static_cast<size_t>(framesAdded_); }
    // The frame stream alone, and the whole movie (header first, no trailer), in
    // the layout of the header's version.
    std::string frameStream() const;
    std::string build() const;
    // Whether what was added can be stored in the header's version; the reason when
    // not (build() refuses such a movie).
    bool fitsVersion(std::string& reason) const;

    // A band of the given rows of screen, compressed as the writer stores bands.
    static StoredBand makeBand(const Picture& screen, int32_t topRow, int32_t rows);

private:
    struct CursorShapeRecord {
        uint32_t cursorId = 0;
        std::string colourDib;
        std::string maskDib;
        std::string keyedDib;  // the image stored where shapes are keyed
    };
    // A frame with its bands, or raw bytes when record is absent.
    struct FramePiece {
        std::optional<StoredFrameRecord> record;
        std::vector<StoredBand> bands;
        std::string raw;
    };

    std::string headerCopyRecord() const;
    std::string screenPicture(ScreenPictureForm form) const;

    MovieHeader header_;
    std::optional<MovieHeader> headerCopy_;
    std::optional<std::string> rawHeaderCopy_;
    ScreenFormat screen_;
    Rect recordedArea_{0, 0, 640, 480};
    int32_t framesPerSecond_ = 10;
    int32_t bandHeight_ = kDefaultBandHeight;
    std::optional<int32_t> storedFrameCount_;
    std::vector<CursorShapeRecord> cursorShapes_;
    std::optional<LogoRecord> logo_;
    std::string logoDib_;
    std::optional<Picture> first_;
    std::optional<Picture> previous_;
    std::vector<FramePiece> frames_;
    ObjectSection objects_;
    StoredSounds sounds_;
    int32_t framesAdded_ = 0;
    int64_t totalMs_ = 0;
};

// Today's date in the header's form, for example "2006-12-02, 11:21:48".
std::string headerDateNow();

// A copy of the player executable with the movie behind it and the 20-byte trailer.
std::string packMovie(const std::string& player, const std::string& movie);

}  // namespace quillet
