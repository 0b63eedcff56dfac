#pragma once
// Where an export takes its pictures from: the picture a run of the player shows
// at a frame, asked for frame after frame in the order the video shows them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/moviewriter/picture.h"

namespace quillet {

struct ExportMovie;
struct CaptionRecord;

class ExportPictureSource {
public:
    virtual ~ExportPictureSource() = default;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    // The picture shown at frame, with what the options ask for drawn over it.
    // Frames come in increasing order; those skipped are applied on the way. False
    // when the picture cannot be made.
    virtual bool pictureAt(int64_t frame, Picture& out) = 0;
};

struct PictureOptions {
    bool cursor = true;
    bool objects = true;
    bool logo = true;
    // The pictures' size, stretched as the player stretches its view; 0 x 0 for the
    // recorded area's own.
    int32_t width = 0;
    int32_t height = 0;
};

// The pictures of movie: false with a reason when its screen is not one that can
// be drawn.
std::unique_ptr<ExportPictureSource> makePictureSource(ExportMovie& movie, const PictureOptions& options,
                                                       std::string& error);

// What a hold shows over the frame: the hotspot's area (and its partner's, for a
// drag) outlined, and the expected action written beside it. Objects are placed
// in the recorded area's coordinates, which shownWidth x shownHeight spans.
void drawHoldPrompt(Picture& picture, const CaptionRecord& hotspot, const std::vector<CaptionRecord>& objects,
                    int32_t shownWidth, int32_t shownHeight);

}  // namespace quillet
