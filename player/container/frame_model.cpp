#include "player/container/frame_model.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "player/bitmaps/dib_layout.h"

namespace quillet {

void MovieFrame::setRecord(const FrameRecord& record) {
    delayMs = record.delayMs;
    standardCursor = record.standardCursor;
    cursorId = record.cursorId;
    cursorX = record.cursorX;
    cursorY = record.cursorY;
    inputMessage = record.inputMessage;
    inputWParam = record.inputWParam;
    holdMs = record.holdMs;
    stopMark = record.stopMark;
    if (inputMessage == kInputKeyDown && inputWParam == kRecordedClickKey)
        inputMessage = kInputLeftButtonDown;
}

uint8_t* BandStore::reserve(size_t length, uint64_t atMost) {
    if (length > capacity_ - used_) {
        // A band larger than a chunk gets a chunk of its own.
        size_t size = std::max<size_t>(length, std::min<uint64_t>(kChunkSize, atMost));
        if (size > limit_ - std::min(held_, limit_)) return nullptr;
        std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[size]);
        if (!chunk) return nullptr;
        try {
            chunks_.push_back(std::move(chunk));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        capacity_ = size;
        used_ = 0;
        held_ += size;
    }
    uint8_t* at = chunks_.back().get() + used_;
    used_ += length;
    return at;
}

void BandStore::clear() {
    chunks_.clear();
    used_ = capacity_ = held_ = 0;
}

namespace {
const MovieFrame& emptyFrame() {
    static const MovieFrame frame;
    return frame;
}
}  // namespace

void FrameList::clear() {
    size_t filled = filled_.load(std::memory_order_acquire);
    for (size_t i = 0; i < filled; ++i) frames_[i].~MovieFrame();
    ::operator delete(frames_);
    frames_ = nullptr;
    capacity_ = count_ = 0;
    filled_.store(0, std::memory_order_release);
}

void FrameList::reserve(size_t capacity) {
    if (capacity <= capacity_) return;
    // A count from the file times the record size must not wrap in 32 bits.
    if (capacity > SIZE_MAX / sizeof(MovieFrame)) throw std::bad_alloc();
    // Raw storage: frames are constructed only as they are filled, so sizing a long
    // movie's list costs no time.
    auto* frames = static_cast<MovieFrame*>(::operator new(capacity * sizeof(MovieFrame)));
    size_t filled = filled_.load(std::memory_order_acquire);
    for (size_t i = 0; i < filled; ++i) {
        new (&frames[i]) MovieFrame(std::move(frames_[i]));
        frames_[i].~MovieFrame();
    }
    ::operator delete(frames_);
    frames_ = frames;
    capacity_ = capacity;
}

void FrameList::size(size_t count) {
    clear();
    reserve(count);
    count_ = count;
}

void FrameList::fill(MovieFrame&& frame) {
    size_t index = filled_.load(std::memory_order_relaxed);
    if (index >= count_) return;
    new (&frames_[index]) MovieFrame(std::move(frame));
    filled_.store(index + 1, std::memory_order_release);
}

void FrameList::append(MovieFrame&& frame) {
    if (count_ == capacity_) reserve(std::max<size_t>(16, capacity_ * 2));
    ++count_;
    fill(std::move(frame));
}

const MovieFrame& FrameList::operator[](size_t index) const {
    return index < filled() ? frames_[index] : emptyFrame();
}

size_t FrameList::bytesHeld() const {
    size_t bytes = capacity_ * sizeof(MovieFrame);
    size_t filled = this->filled();
    for (size_t i = 0; i < filled; ++i) bytes += frames_[i].bands.capacity() * sizeof(FrameBand);
    return bytes;
}

}  // namespace quillet
