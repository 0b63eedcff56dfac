#include "player/container/frame_time.h"

#include <algorithm>
#include <cstdlib>

namespace quillet {
namespace {

int64_t magnitude(int32_t value) { return std::llabs(static_cast<int64_t>(value)); }

}  // namespace

int64_t timeOfFrame(const FrameList& frames, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(frames.count())) return -1;
    int64_t sum = 0;
    for (int64_t i = 0; i < index; ++i) sum += frames[static_cast<size_t>(i)].delayMs;
    return sum;
}

int64_t playTimeOf(const MovieFrame& frame) {
    return frame.delayMs + (frame.holdMs < 0 ? magnitude(frame.holdMs) : 0);
}

int64_t frameAtTime(const FrameList& frames, uint32_t time) {
    if (frames.empty()) return -1;
    int64_t sum = 0;
    for (size_t i = 0; i < frames.count(); ++i) {
        if (sum >= static_cast<int64_t>(time)) return static_cast<int64_t>(i);
        sum += playTimeOf(frames[i]);
    }
    return -1;
}

int64_t playTimeBefore(const FrameList& frames, int64_t index) {
    const int64_t end = std::min<int64_t>(static_cast<int64_t>(frames.count()), index);
    int64_t sum = 0;
    for (int64_t i = 0; i < end; ++i) sum += playTimeOf(frames[static_cast<size_t>(i)]);
    return sum;
}

int64_t narrationTimeBefore(const FrameList& frames, int64_t index) {
    const int64_t end = std::min<int64_t>(static_cast<int64_t>(frames.count()), index);
    int64_t sum = 0;
    for (int64_t i = 0; i < end; ++i) {
        const MovieFrame& frame = frames[static_cast<size_t>(i)];
        if (frame.holdMs <= 0) sum += playTimeOf(frame);
    }
    return sum;
}

int64_t lengthUpTo(const FrameList& frames, int64_t count) {
    int64_t end = std::min<int64_t>(static_cast<int64_t>(frames.count()), count);
    int64_t sum = 0;
    for (int64_t i = 0; i < end; ++i) {
        const MovieFrame& frame = frames[static_cast<size_t>(i)];
        sum += frame.delayMs + magnitude(frame.holdMs);
    }
    return sum;
}

int64_t totalLength(const FrameList& frames) {
    return lengthUpTo(frames, static_cast<int64_t>(frames.count()));
}

}  // namespace quillet
