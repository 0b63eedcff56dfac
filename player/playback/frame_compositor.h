#pragma once
// The recorded screen in two off-screen buffers: the clean one holds the decoded
// picture of the current frame, the composed one adds objects, cursor and logo and
// is what is shown. Bands are inflated one at a time into the screen DIB's pixel area
// and drawn into the buffers.

#include <windows.h>

#include "common/win32/handles.h"
#include "player/container/frame_data.h"
#include "player/objects/caption_list.h"
#include "player/playback/cursor_overlay.h"

namespace quillet {

class FrameCompositor {
public:
    FrameCompositor(FrameData& frames, const CursorOverlay& cursors);

    // Decodes each band of frame and draws it into the targets; during a still
    // rebuild the bands go from the last to the first.
    void applyFrameBands(const MovieFrame& frame, HDC const* targets, int targetCount, bool lastFirst);

    // Rebuilds frame frameIndex and copies the shown part 1:1 to target at (0, 0).
    // heldFrame is the frame the buffers hold, or -1 to start from nothing.
    bool renderStill(HDC target, int64_t frameIndex, int64_t heldFrame, const CCaptionList* objects,
                     bool drawCursor, bool drawLogo);
    // The same into dest, stretched when its size differs from the shown part.
    bool renderStillInto(HDC target, int64_t frameIndex, int64_t heldFrame, const RECT& dest,
                         const CCaptionList* objects, bool drawCursor, bool drawLogo);

    void drawLogo(HDC dc);
    // Deletes the buffers (the movie is closed).
    void reset();

    HDC composedDc() const { return composed_.dc.get(); }
    HDC cleanDc() const { return clean_.dc.get(); }
    int32_t shownWidth() const { return frames_.info().recordedArea.width(); }
    int32_t shownHeight() const { return frames_.info().recordedArea.height(); }
    bool stopAtObjectMode() const { return stopAtObjectMode_; }
    void setStopAtObjectMode(bool on) { stopAtObjectMode_ = on; }

private:
    struct Buffer {
        win32::UniqueMemoryDc dc;
        win32::UniqueGdiObject bitmap;
        HGDIOBJ previous = nullptr;
        void release();
    };

    bool createBuffer(Buffer& buffer, HDC reference);
    bool ensureBuffers(HDC reference, bool freshComposed);
    // Inflates the band into the pixel area and draws it; false when it was skipped.
    bool drawBand(const FrameBand& band, HDC const* targets, int targetCount);
    void copyShownPart(HDC target, const RECT& dest);
    void drawObjects(const CCaptionList& objects, int64_t frameIndex);

    FrameData& frames_;
    const CursorOverlay& cursors_;
    Buffer clean_;
    Buffer composed_;
    win32::UniqueGdiObject palette_;
    bool stopAtObjectMode_ = false;
};

}  // namespace quillet
