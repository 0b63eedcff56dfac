#include "player/playback/run_schedule.h"

#include <algorithm>
#include <cstdlib>

#include "player/container/frame_time.h"

namespace quillet {

RunSchedule::RunSchedule(const FrameList& frames, const RunRange& range)
    : frames_(frames),
      range_(range),
      startFrame_(range.startFrame),
      endAtTime_(range.endTime > 0 ? frameAtTime(frames, range.endTime) : -1),
      timeBefore_(playTimeBefore(frames, range.firstFrame)),
      delayTotal_(-range.alreadyShownMs) {}

bool RunSchedule::resolveStart(bool loaderRunning) {
    if (range_.startTime == 0) return true;
    const int64_t atStart = frameAtTime(frames_, range_.startTime);
    if (atStart < 0 && loaderRunning) return false;
    startFrame_ = std::max(range_.startFrame, atStart);
    return true;
}

std::optional<int64_t> RunSchedule::completesBeforeWalking(int64_t frameCount) const {
    if (startFrame_ >= frameCount) return frameCount;
    if (range_.endTime > 0 && playTimeBefore(frames_, startFrame_) >= range_.endTime)
        return frameAtTime(frames_, range_.endTime);
    return std::nullopt;
}

std::optional<int64_t> RunSchedule::completesAt(int64_t i, int64_t frameCount) const {
    if (i >= frameCount) return frameCount;
    if (range_.endTime > 0 && timeBefore_ >= range_.endTime) return frameAtTime(frames_, range_.endTime);
    return std::nullopt;
}

std::optional<int> RunSchedule::progressAt(int64_t i, int64_t frameCount) {
    const int64_t end = endAtTime_ > 0 ? endAtTime_ : frameCount;
    const int percent = static_cast<int>(static_cast<double>(i) / static_cast<double>(end) * 100);
    if (percent == lastPercent_) return std::nullopt;
    lastPercent_ = percent;
    return percent;
}

bool RunSchedule::applied(int64_t i, const MovieFrame& frame) {
    timeBefore_ += playTimeOf(frame);
    return i >= startFrame_;
}

FrameTimes RunSchedule::timeNext(const MovieFrame& frame) {
    FrameTimes times;
    times.due = delayTotal_ + holdTotal_;
    holdTotal_ += std::llabs(static_cast<int64_t>(frame.holdMs));
    delayTotal_ += frame.delayMs;
    times.end = delayTotal_ + holdTotal_;
    return times;
}

int64_t RunSchedule::pausedWithin(uint32_t elapsed, const FrameTimes& times) {
    return std::max<int64_t>(0, static_cast<int64_t>(elapsed) - times.due);
}

int effectForInput(uint32_t inputMessage, bool& buttonDown) {
    constexpr int kLeftClick = 0, kRightClick = 2, kMiddleClick = 4, kKey = 6;
    switch (inputMessage) {
    case kInputKeyDown: return kKey;
    case kInputLeftButtonDown: case kInputFrameLeftButtonDown: buttonDown = true; return kLeftClick;
    case kInputRightButtonDown: case kInputFrameRightButtonDown: buttonDown = true; return kRightClick;
    case kInputMiddleButtonDown: case kInputFrameMiddleButtonDown: buttonDown = true; return kMiddleClick;
    default: break;
    }
    int effect = -1;
    switch (inputMessage) {
    case kInputLeftButtonUp: case kInputFrameLeftButtonUp: effect = kLeftClick; break;
    case kInputRightButtonUp: case kInputFrameRightButtonUp: effect = kRightClick; break;
    case kInputMiddleButtonUp: case kInputFrameMiddleButtonUp: effect = kMiddleClick; break;
    default: return -1;
    }
    const bool seenDown = buttonDown;
    buttonDown = false;
    return seenDown ? -1 : effect;
}

RunClock::RunClock(Reading narration, std::function<uint32_t()> ticks)
    : narration_(std::move(narration)), ticks_(std::move(ticks)), useNarration_(static_cast<bool>(narration_)) {
    tickStart_ = ticks_();
    if (useNarration_) {
        const int64_t reading = narration_();
        useNarration_ = reading >= 0;
        narrationStart_ = static_cast<uint32_t>(reading);
    }
}

uint32_t RunClock::elapsed() {
    if (useNarration_) {
        const int64_t reading = narration_();
        if (reading >= 0) return last_ = static_cast<uint32_t>(reading) - narrationStart_;
        useNarration_ = false;
        tickStart_ = ticks_() - last_;
    }
    return last_ = ticks_() - tickStart_;
}

}  // namespace quillet
