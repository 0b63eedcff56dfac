#pragma once
// The decisions of one run over the frames: where it starts and where it ends,
// when each frame is due on the run's clock, which effect a recorded input plays
// and when the progress shown changes. The playback thread waits, draws and
// reports by them.

#include <cstdint>
#include <functional>
#include <optional>

#include "player/container/frame_model.h"

namespace quillet {

struct RunRange {
    int64_t firstFrame = 0;      // the first frame applied
    int64_t startFrame = 0;      // the first frame shown and timed
    int64_t alreadyShownMs = 0;  // of the start frame's time, shown before a pause
    uint32_t startTime = 0;      // the play range in movie time, 0 for the whole movie
    uint32_t endTime = 0;
};

// A frame's place on the run's clock: it is due once the frames before it have had
// their time, and ends after its delay and the magnitude of its hold.
struct FrameTimes {
    int64_t due = 0;
    int64_t end = 0;
};

// Frames whose span has passed give up their pictures every this many frames.
constexpr int64_t kReleaseEveryFrames = 100;

class RunSchedule {
public:
    RunSchedule(const FrameList& frames, const RunRange& range);

    // Resolves the start time to a frame once the frames up to it are read; false
    // while it lies past the frames read so far and the loader is still reading.
    bool resolveStart(bool loaderRunning);
    int64_t startFrame() const { return startFrame_; }

    // The end frame when the run completes before it walks at all: its start lies
    // at or past the end.
    std::optional<int64_t> completesBeforeWalking(int64_t frameCount) const;
    // Before frame i is applied: the end frame when the run completes there.
    std::optional<int64_t> completesAt(int64_t i, int64_t frameCount) const;
    // The percent to show at frame i, or none when it is the one shown already.
    std::optional<int> progressAt(int64_t i, int64_t frameCount);
    // After frame i is applied: whether it is shown and timed (the frames before
    // the start frame are applied untimed).
    bool applied(int64_t i, const MovieFrame& frame);
    // The times of the next shown frame; call once per shown frame, in order.
    FrameTimes timeNext(const MovieFrame& frame);

    static bool onTime(uint32_t elapsed, const FrameTimes& times) { return elapsed < times.end; }
    static bool releasesPictures(int64_t i) { return i > 0 && i % kReleaseEveryFrames == 0; }
    // How far into its frame a run stopped at elapsed was.
    static int64_t pausedWithin(uint32_t elapsed, const FrameTimes& times);
    // A positive hold pauses the narration over its frame; any other frame plays it.
    static bool narrationPlaysOver(const MovieFrame& frame) { return frame.holdMs <= 0; }

private:
    const FrameList& frames_;
    RunRange range_;
    int64_t startFrame_;
    int64_t endAtTime_;     // the frame at the end time, or -1
    int64_t timeBefore_;    // play time before the next frame applied
    int64_t delayTotal_;
    int64_t holdTotal_ = 0;
    int lastPercent_ = -1;
};

// The effect slot a recorded input plays, or -1 for none. A button's release plays
// the click only when its press was not seen (the run began between the two).
int effectForInput(uint32_t inputMessage, bool& buttonDown);

// The run's clock: the narration's elapsed time while it plays, else a steady tick
// count, going on from where the narration left it.
class RunClock {
public:
    using Reading = std::function<int64_t()>;  // negative when there is none
    RunClock(Reading narration, std::function<uint32_t()> ticks);
    uint32_t elapsed();

private:
    Reading narration_;
    std::function<uint32_t()> ticks_;
    bool useNarration_;
    uint32_t narrationStart_ = 0;
    uint32_t tickStart_ = 0;
    uint32_t last_ = 0;
};

}  // namespace quillet
