#pragma once
// The recorded screen in two off-screen buffers: the clean one holds the decoded
// picture of the current frame, the composed one adds objects, cursor and logo and
// is what is shown. Bands are inflated one at a time into the screen DIB's pixel area
// and drawn into the buffers.

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>

#include "common/win32/handles.h"
#include "player/container/frame_data.h"
#include "player/objects/win32/caption_list.h"
#include "player/playback/win32/cursor_overlay.h"
#include "player/playback/still_cache.h"

namespace quillet {

class FrameCompositor {
public:
    FrameCompositor(FrameData& frames, const CursorOverlay& cursors);
    // Each buffer's bitmap must leave its DC before either is deleted.
    ~FrameCompositor() { reset(); }
    FrameCompositor(const FrameCompositor&) = delete;
    FrameCompositor& operator=(const FrameCompositor&) = delete;

    // Decodes each band of frame and draws it into the targets; during a still
    // rebuild the bands go from the last to the first.
    void applyFrameBands(const MovieFrame& frame, HDC const* targets, int targetCount, bool lastFirst);

    // Rebuilds frame frameIndex and copies the shown part 1:1 to target at (0, 0).
    // heldFrame is the frame the buffers hold, or -1 to start from nothing. Waits
    // first for a playback run to give the buffers back.
    bool renderStill(HDC target, int64_t frameIndex, int64_t heldFrame, CCaptionList* objects,
                     bool drawCursor, bool drawLogo);
    // The same into dest, stretched when its size differs from the shown part; a
    // null target only rebuilds the buffers.
    bool renderStillInto(HDC target, int64_t frameIndex, int64_t heldFrame, const RECT& dest,
                         CCaptionList* objects, bool drawCursor, bool drawLogo);
    // The frame whose bands the buffers hold (the last one applied, perhaps in
    // part when a run stopped inside it), or -1 when they hold no known frame.
    int64_t heldFrame() const { return heldFrame_.load(); }

    void drawLogo(HDC dc);
    // Deletes the buffers and the still cache (the movie is closed).
    void reset();
    // Starts building the pictures that keep seeking short, once the frames are read.
    void prepareSeeking() { stillCache_.start(frames_); }
    const StillCache& stillCache() const { return stillCache_; }

    // The playback path. beginRun (on the user-interface thread) hands the buffers
    // to the run; the thread then calls these for each frame, in this order, and
    // endRun gives the buffers back.
    bool beginRun(HWND view, const RECT& displayRect);
    void eraseCursor();
    // Applies frame frameIndex's bands to both buffers; false when stopRequested
    // says so before a band. The bands land in the composed buffer (inflated straight
    // into its pixels when it is a DIB section of the movie's format); the clean one
    // receives those rows only when something is about to be drawn over them in the
    // composed buffer or the clean buffer is read, so that a row nothing covers is
    // copied never, and a covered row once.
    bool applyBandsToBoth(int64_t frameIndex, const MovieFrame& frame,
                          const std::function<bool()>& stopRequested);
    // The special object, the wipe of ending objects and the cursor.
    void composeOverlays(size_t frameIndex, const MovieFrame& frame, CCaptionList* objects,
                         bool withSound, bool withCursor);
    // Objects, logo and presentation of an on-time frame; false when a hotspot
    // that starts at this frame ends the run.
    bool present(HWND view, size_t frameIndex, CCaptionList* objects);
    // The stop check of a late frame; false when the run ends here.
    bool lateStopCheck(size_t frameIndex, CCaptionList* objects);
    // Puts the pixels under the cursor back into both buffers and gives the
    // buffers back for stills.
    void endRun(bool withCursor);
    bool runOwnsBuffers() const { return runOwnsBuffers_.load(); }

    HDC composedDc() const { return composed_.dc.get(); }
    // The clean buffer, brought up to date first.
    HDC cleanDc() {
        catchUpClean(0, INT32_MAX);
        return clean_.dc.get();
    }
    int32_t shownWidth() const { return frames_.info().recordedArea.width(); }
    int32_t shownHeight() const { return frames_.info().recordedArea.height(); }
    bool stopAtObjectMode() const { return stopAtObjectMode_; }
    void setStopAtObjectMode(bool on) { stopAtObjectMode_ = on; }
    // The first frame the next run shows: a hotspot whose span holds it acts there,
    // as at the first frame of its span.
    void setRunStart(int64_t frame) { runStart_ = frame; }

private:
    struct Buffer {
        win32::UniqueMemoryDc dc;
        win32::UniqueGdiObject bitmap;
        HGDIOBJ previous = nullptr;
        void release();
    };

    bool createBuffer(Buffer& buffer, HDC reference);
    // The composed buffer as a DIB section of the screen DIB's own format, when the
    // movie's pixels are those of the display (24 or 32 bits, the recorded width):
    // bands then inflate straight into it.
    bool createComposedSection(HDC reference);
    // Inflates a bottom-up band straight into the composed section's rows; false when
    // the band does not have that form. inflated tells whether the stream was whole.
    bool inflateIntoComposed(const FrameBand& band, bool& inflated);
    // Copies the rows in [top, bottom) that the clean buffer lacks from the composed
    // one; called before anything is drawn over them.
    void catchUpClean(int32_t top, int32_t bottom);
    void markCleanBehind(int32_t top, int32_t rows);
    // Creates missing buffers compatible with reference (the screen when null).
    bool ensureBuffers(HDC reference, bool freshComposed);
    // Inflates the band into the pixel area and draws it; false when it was skipped
    // (no data, a failed inflate, or rows the pixel area does not hold).
    bool drawBand(const FrameBand& band, HDC const* targets, int targetCount);
    void copyShownPart(HDC target, const RECT& dest);
    void drawObjects(CCaptionList& objects, int64_t frameIndex);
    // Lets objects composite straight into the composed section while it lives,
    // when the section is 32-bit.
    std::optional<CCaptionList::DirectTarget> composedAsDirectTarget(CCaptionList& objects) const;

    // Whether a hotspot acts at this frame of a run: once, at the first frame of its
    // span the run shows.
    bool hotspotStartsAt(const CCaption& object, size_t frameIndex) const;

    FrameData& frames_;
    const CursorOverlay& cursors_;
    Buffer clean_;
    Buffer composed_;
    // The composed section's pixels (null when it is a compatible bitmap) and row length.
    uint8_t* composedPixels_ = nullptr;
    size_t composedStride_ = 0;
    int composedBitCount_ = 0;
    // Per screen row: whether the composed buffer holds a newer decoded row than the
    // clean one. Such a row has nothing drawn over it in the composed buffer.
    std::vector<uint8_t> cleanBehind_;
    bool anyCleanBehind_ = false;
    Buffer cursorSave_;
    POINT savedAt_{kNothingSaved, kNothingSaved};
    RECT display_{};
    static constexpr LONG kNothingSaved = -50;
    win32::UniqueGdiObject palette_;
    StillCache stillCache_;
    std::vector<uint8_t> cachedPicture_;
    bool stopAtObjectMode_ = false;
    int64_t runStart_ = -1;
    std::atomic<bool> runOwnsBuffers_{false};
    std::atomic<int64_t> heldFrame_{-1};
};

}  // namespace quillet
