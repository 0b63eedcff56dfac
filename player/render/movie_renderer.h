#pragma once
// A movie's frames drawn without the platform, as the player rebuilds a still:
// the frame's bands over the picture the renderer holds (or the nearest picture
// of the still cache), the recorded cursor, the objects whose span holds the frame
// (hotspots never), the logo, and the shown part, stretched when asked for
// another size. Objects render once per movie, on first use.

#include <cstdint>
#include <memory>
#include <vector>

#include "player/container/frame_data.h"
#include "player/objects/caption_record.h"
#include "player/playback/still_cache.h"
#include "player/render/object_painter.h"
#include "player/render/picture.h"
#include "player/render/text_painter.h"

namespace quillet {
namespace render {

struct RenderOptions {
    bool cursor = true;
    bool objects = true;
    bool logo = true;
    // The picture's size; 0 x 0 for the recorded area's own size.
    int32_t width = 0;
    int32_t height = 0;
};

class MovieRenderer {
public:
    // frames must be loaded (all of them) and outlive the renderer, as the
    // objects' text painter does; text may be null (objects without text).
    MovieRenderer(const FrameData& frames, std::vector<CaptionRecord> objects, TextPainter* text);
    ~MovieRenderer();
    MovieRenderer(const MovieRenderer&) = delete;
    MovieRenderer& operator=(const MovieRenderer&) = delete;

    int64_t frameCount() const;
    int32_t shownWidth() const { return frames_.info().recordedArea.width(); }
    int32_t shownHeight() const { return frames_.info().recordedArea.height(); }

    // The still of frame frameIndex; false (picture untouched) for a frame the
    // movie does not have or a screen format that cannot be drawn.
    bool renderFrame(int64_t frameIndex, const RenderOptions& options, Picture& picture);

    // Starts building the still cache's pictures, so that a later still far from
    // the frame held replays only the frames after the nearest picture.
    void prepareSeeking() { stillCache_.start(frames_); }
    void waitForSeeking() const { stillCache_.waitUntilReady(); }
    // How often an object was rendered rather than taken from what was rendered.
    int objectRenders() const { return objectRenders_; }

private:
    bool bringScreenTo(int64_t frameIndex);
    void drawCursor(Picture& buffer, const MovieFrame& frame);
    void drawObjects(Picture& buffer, int64_t frameIndex);
    void drawLogo(Picture& buffer);
    const RenderedObject& object(size_t index);

    const FrameData& frames_;
    std::vector<CaptionRecord> objects_;
    std::vector<std::unique_ptr<RenderedObject>> rendered_;
    TextPainter* text_;
    StillCache stillCache_;
    // The screen picture as the player's clean buffer holds it: the screen DIB's
    // bottom-up rows, with the scratch area bands inflate into.
    std::vector<uint8_t> screenRows_;
    std::vector<uint8_t> scratch_;
    uint64_t stride_ = 0;
    int64_t heldFrame_ = -1;
    Picture buffer_;
    int objectRenders_ = 0;
};

// The system cursors as 32 x 32 AND and XOR masks (0x00RRGGBB pixels): drawn as
// target AND andMask, then XOR xorMask.
struct CursorImage {
    Picture andMask;
    Picture xorMask;
};
const CursorImage& systemCursorImage(uint32_t index);

}  // namespace render
}  // namespace quillet
