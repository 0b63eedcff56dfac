#pragma once
// Time arithmetic over the frame list, in milliseconds.

#include <cstdint>

#include "player/container/frame_model.h"

namespace quillet {

// The start of frame index: the sum of the delays before it (holds not counted);
// -1 outside the list.
int64_t timeOfFrame(const FrameList& frames, int64_t index);
// The first frame whose start, counting the magnitude of negative holds, reaches
// time; -1 for an empty list or a time beyond the last frame.
int64_t frameAtTime(const FrameList& frames, uint32_t time);
// What a frame adds to the play time that frameAtTime counts: its delay and the
// magnitude of a negative hold.
int64_t playTimeOf(const MovieFrame& frame);
// The play time before frame index: the sum of playTimeOf over the frames before it.
int64_t playTimeBefore(const FrameList& frames, int64_t index);
// How much narration a continuous run has played by the start of frame index: a
// frame with a positive hold pauses the narration for its whole display, any other
// plays it for its delay and the magnitude of a negative hold.
int64_t narrationTimeBefore(const FrameList& frames, int64_t index);
// Delays plus hold magnitudes of the first count frames.
int64_t lengthUpTo(const FrameList& frames, int64_t count);
int64_t totalLength(const FrameList& frames);

}  // namespace quillet
