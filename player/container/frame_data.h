#pragma once
// The frame data of the open movie: movie information, the frames, cursor shapes,
// the logo and the screen picture buffer, and the loader that reads them from the
// frame stream, in the background for current movies.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "player/container/frame_model.h"
#include "player/container/frame_records.h"
#include "player/container/frame_stream_groups.h"
#include "player/container/movie_file.h"
#include "player/container/object_timeline.h"

namespace quillet {

class BufferedReader;

// The largest screen picture a movie may claim: its size is checked against the
// screen format before the buffer of twice that size is made.
constexpr int32_t kMaxScreenSide = 16384;
constexpr int32_t kMaxDibSize = 256 << 20;
// The first 50 cursor shapes are kept; later records are read and dropped.
constexpr size_t kMaxCursorShapes = 50;
// Streams without that limit keep this many: each shape holds two bitmaps, and a
// process has some 10 000 graphics handles in all.
constexpr size_t kCursorShapeBudget = 500;
// A cursor's colour image is 32 x 32, its mask 32 x 64 (AND mask above XOR mask);
// a picture claiming more is not made into a bitmap.
constexpr int32_t kCursorWidth = 32;
constexpr int32_t kCursorMaskHeight = 64;
// A run of more empty frame records than this ends the stream.
constexpr int kEmptyRunLimit = 20;
// The loader publishes framesReady once this frame index has been read.
constexpr size_t kReadyFrameIndex = 3;

class FrameData {
public:
    explicit FrameData(BitmapFactory& bitmaps) : bitmaps_(bitmaps) {}
    ~FrameData() { ClearFrameData(); }
    FrameData(const FrameData&) = delete;
    FrameData& operator=(const FrameData&) = delete;

    // Reads the frame stream from the file's position up to end, all of it here; the
    // file stays with the caller. format names the layout of the movie's version.
    void LoadFrameStream(MovieFile& file, uint64_t end, FrameStreamFormat format = FrameStreamFormat());
    // Reads the header part here and the frames on the loader thread, which owns the
    // file from then on and closes it when it ends. While an earlier loader still
    // runs, it is stopped, the frames are read here instead (by the rules of a read
    // while opening) and the file is kept until cleared.
    void loadFrameStreamInBackground(std::unique_ptr<MovieFile> file, uint64_t end,
                                     FrameStreamFormat format = FrameStreamFormat());
    // Stops a running loader, waits for it to end, and frees everything.
    void ClearFrameData();

    // 2 loader running, 3 reading in the foreground or indexing, else 0 (the
    // player adds 1 for a playback run).
    int busyState() const;
    bool framesReady() const { return framesReady_.load(std::memory_order_acquire); }
    bool loaderRunning() const { return loaderRunning_.load(std::memory_order_acquire); }
    // Waits for a running loader to end (for callers that need the whole movie).
    void waitForLoader();
    // Waits, polling, until frame index has been read; false when the loader ended
    // without it (the movie is shorter) or stop was set first.
    bool waitForFrame(size_t index, const std::atomic<bool>& stop) const;
    // The most memory the compressed bands may take; bands past it stay empty.
    void limitBandMemory(size_t bytes) { bands_.setLimit(bytes); }
    // Called during a foreground read to keep windows answering: before the first
    // frame, then before a frame once kForegroundPumpIntervalMs have passed since
    // the last call.
    void setForegroundPump(std::function<void()> pump) { foregroundPump_ = std::move(pump); }
    static constexpr int kForegroundPumpIntervalMs = 50;

    const MovieInfo& info() const { return info_; }
    // The frame count, lowered by the loader when the stream ends early.
    int32_t frameCount() const { return frameCount_.load(std::memory_order_acquire); }
    const FrameList& frames() const { return frames_; }
    const CursorShapeMap& cursorShapes() const { return cursorShapes_; }
    const CursorShape* findCursorShape(uint32_t cursorId) const;

    bool hasLogo() const { return logo_ != nullptr; }
    const LogoRecord& logoRecord() const { return logoRecord_; }
    const DeviceBitmap* logo() const { return logo_.get(); }
    // Where the logo goes in buffer coordinates: 4 pixels inside the recorded area's
    // corner named by the record, or at (500, 500) for any other corner code.
    Rect logoRect() const;

    // The screen picture buffer: the screen format block at its start, room for the
    // pixels behind it; 2 x dibSize bytes.
    std::vector<uint8_t>& screenBuffer() { return screenBuffer_; }
    const std::vector<uint8_t>& screenBuffer() const { return screenBuffer_; }

    void BuildObjectTimeline(const std::vector<ObjectSpan>& objects);
    const ObjectTimeline& timeline() const { return timeline_; }
    bool hasStopObjects() const { return hasStopObjects_; }
    void setHasStopObjects(bool value) { hasStopObjects_ = value; }

    // Bytes held by frames, bands and buffers (for the memory budget).
    size_t memoryHeld() const;

private:
    // Starts a load: reads the header part and settles the frame count.
    std::unique_ptr<BufferedReader> beginLoad(MovieFile& file, uint64_t end, FrameStreamFormat format);
    bool readHeaderPart(BufferedReader& in);
    bool readScreenPicture(BufferedReader& in);
    bool makeScreenBuffer();
    // Keeps the screen buffer only when its header fits the movie information.
    bool screenHeaderUsable();
    bool readCursorShapes(BufferedReader& in);
    void keepCursorShape(uint32_t cursorId, const std::vector<uint8_t>& colour, const std::vector<uint8_t>& mask);
    // Reads frame records until the count, an empty run or cancel; foreground mode
    // appends, background mode fills the sized list.
    void readFrames(BufferedReader& in, const FrameStreamLayout& layout, bool background);
    void runLoader(std::unique_ptr<MovieFile> file, std::unique_ptr<BufferedReader> in, FrameStreamGroup group);

    BitmapFactory& bitmaps_;
    FrameStreamFormat format_;
    MovieInfo info_;
    LogoRecord logoRecord_;
    std::unique_ptr<DeviceBitmap> logo_;
    std::vector<uint8_t> screenBuffer_;
    CursorShapeMap cursorShapes_;
    FrameList frames_;
    BandStore bands_;
    ObjectTimeline timeline_;
    bool hasStopObjects_ = false;

    std::atomic<int32_t> frameCount_{0};
    std::atomic<bool> framesReady_{false};
    std::atomic<bool> cancelLoad_{false};
    std::atomic<bool> busy_{false};
    std::atomic<bool> loaderRunning_{false};
    std::function<void()> foregroundPump_;
    std::unique_ptr<MovieFile> keptFile_;
    std::thread loader_;
};

}  // namespace quillet
