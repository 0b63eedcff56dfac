#pragma once
// The in-memory movie: frames with their still-compressed bands, cursor shapes and
// the device bitmaps made from stored pictures.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "player/bitmaps/device_bitmap.h"
#include "player/container/frame_records.h"

namespace quillet {

// One band of changed screen rows; data points into the band store that holds the
// movie's compressed bytes.
struct FrameBand {
    const uint8_t* data = nullptr;
    uint32_t compressedSize = 0;
    uint32_t unpackedSize = 0;
    int16_t topRow = 0;
    int16_t bandHeight = 0;
};

struct MovieFrame {
    std::vector<FrameBand> bands;
    int32_t delayMs = 0;
    int32_t standardCursor = 0;
    uint32_t cursorId = 0;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    int32_t keyPicture = -1;  // no format fills a key-picture table
    int32_t groupFirst = 0;
    uint32_t inputMessage = 0;
    uint32_t inputWParam = 0;
    int32_t holdMs = 0;
    int32_t stopMark = 0;

    // Copies a stored record, with the input rewrite: a key-down with the recorded-click
    // parameter is held as a left-button-down.
    void setRecord(const FrameRecord& record);
};

// The compressed band bytes of a movie, kept in large chunks: one allocation per
// megabyte rather than one per band, and chunks never move, so bands can point into
// them while the loader goes on adding.
class BandStore {
public:
    // Room for length bytes that stays valid until clear(), or null when the memory
    // cannot be had (or would pass the limit). atMost bounds the bytes still to
    // come, so that a small movie does not get a whole chunk.
    uint8_t* reserve(size_t length, uint64_t atMost);
    void clear();
    size_t bytesHeld() const { return held_; }
    // The most the store may hold; by default, whatever the system gives.
    void setLimit(size_t limit) { limit_ = limit; }

private:
    static constexpr size_t kChunkSize = 1 << 20;
    std::vector<std::unique_ptr<uint8_t[]>> chunks_;
    size_t used_ = 0;
    size_t capacity_ = 0;
    size_t held_ = 0;
    size_t limit_ = SIZE_MAX;
};

// The frames of a movie. In background loading the list is sized first and the
// loader fills frame after frame in place; a frame it has not reached reads as an
// empty frame. Filled frames are published with release order, so another thread
// sees a frame whole or not at all.
class FrameList {
public:
    FrameList() = default;
    ~FrameList() { clear(); }
    FrameList(const FrameList&) = delete;
    FrameList& operator=(const FrameList&) = delete;

    void clear();
    // Sizes the list to count frames, all empty, to be filled in order by fill().
    void size(size_t count);
    // Fills the next frame (index filled()) and publishes it.
    void fill(MovieFrame&& frame);
    // Appends a frame (foreground reading: the list grows).
    void append(MovieFrame&& frame);

    size_t count() const { return count_; }
    size_t filled() const { return filled_.load(std::memory_order_acquire); }
    bool empty() const { return count_ == 0; }
    const MovieFrame& operator[](size_t index) const;
    // Memory the frames hold beyond the band bytes.
    size_t bytesHeld() const;

private:
    void reserve(size_t capacity);

    MovieFrame* frames_ = nullptr;
    size_t capacity_ = 0;
    size_t count_ = 0;
    std::atomic<size_t> filled_{0};
};

struct CursorShape {
    std::unique_ptr<DeviceBitmap> colour;
    std::unique_ptr<DeviceBitmap> mask;
};

using CursorShapeMap = std::unordered_map<uint32_t, CursorShape>;

}  // namespace quillet
