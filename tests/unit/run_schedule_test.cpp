#include "player/playback/run_schedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillet {
namespace {

// Frames with these delays and holds; a list is not copied, so it is made in place.
struct Frames {
    explicit Frames(const std::vector<std::pair<int, int>>& delayAndHold) {
        for (auto [delay, hold] : delayAndHold) {
            MovieFrame frame;
            frame.delayMs = delay;
            frame.holdMs = hold;
            list.append(std::move(frame));
        }
    }
    operator const FrameList&() const { return list; }
    FrameList list;
};

// Walks the run as the playback thread does, without waiting: the frames it shows,
// each with its due and end time, and the frame it completes at (-1 if never).
struct Walk {
    std::vector<int64_t> shown;
    std::vector<FrameTimes> times;
    int64_t completedAt = -1;
};

Walk walk(const FrameList& frames, const RunRange& range) {
    Walk result;
    RunSchedule schedule(frames, range);
    EXPECT_TRUE(schedule.resolveStart(false));
    const auto count = static_cast<int64_t>(frames.count());
    if (auto end = schedule.completesBeforeWalking(count)) {
        result.completedAt = *end;
        return result;
    }
    for (int64_t i = range.firstFrame;; ++i) {
        if (auto end = schedule.completesAt(i, count)) {
            result.completedAt = *end;
            return result;
        }
        const MovieFrame& frame = frames[static_cast<size_t>(i)];
        if (!schedule.applied(i, frame)) continue;
        result.shown.push_back(i);
        result.times.push_back(schedule.timeNext(frame));
    }
}

TEST(RunSchedule, FramesAreDueAfterTheDelaysAndHoldMagnitudesBeforeThem) {
    // A negative hold lengthens its frame like a positive one; a run resumed after
    // a pause has already shown part of its first frame.
    const Frames frames({{100, 0}, {50, -30}, {20, 500}, {10, 0}});
    RunRange range;
    Walk whole = walk(frames, range);
    ASSERT_EQ(whole.shown, (std::vector<int64_t>{0, 1, 2, 3}));
    const std::vector<std::pair<int64_t, int64_t>> expected{{0, 100}, {100, 180}, {180, 700}, {700, 710}};
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(whole.times[k].due, expected[k].first) << "frame " << k;
        EXPECT_EQ(whole.times[k].end, expected[k].second) << "frame " << k;
    }
    EXPECT_EQ(whole.completedAt, 4);

    range.firstFrame = range.startFrame = 2;
    range.alreadyShownMs = 200;
    Walk resumed = walk(frames, range);
    ASSERT_EQ(resumed.shown, (std::vector<int64_t>{2, 3}));
    EXPECT_EQ(resumed.times[0].due, -200);
    EXPECT_EQ(resumed.times[0].end, 320) << "what was left of the held frame";
    EXPECT_EQ(RunSchedule::pausedWithin(250, resumed.times[0]), 450);
    EXPECT_EQ(RunSchedule::pausedWithin(0, whole.times[1]), 0);
}

TEST(RunSchedule, PlayRangesStartAndEndAtTheFramesOfTheirTimes) {
    const Frames frames(std::vector<std::pair<int, int>>(10, {10, 0}));
    struct Case {
        const char* what;
        RunRange range;
        std::vector<int64_t> shown;
        int64_t completedAt;
    };
    const std::vector<Case> cases{
        {"whole movie", {}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 10},
        {"start time", {0, 0, 0, 35, 0}, {4, 5, 6, 7, 8, 9}, 10},
        {"end time", {0, 0, 0, 0, 25}, {0, 1, 2}, 3},
        {"both", {0, 0, 0, 15, 45}, {2, 3, 4}, 5},
        {"end past the movie", {0, 0, 0, 0, 1000000}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 10},
        {"start frame past the end time", {0, 8, 0, 0, 25}, {}, 3},
        {"start frame past the movie", {0, 12, 0, 0, 0}, {}, 10},
        {"frames applied untimed before the start", {3, 6, 0, 0, 0}, {6, 7, 8, 9}, 10},
    };
    for (const Case& c : cases) {
        const Walk w = walk(frames, c.range);
        EXPECT_EQ(w.shown, c.shown) << c.what;
        EXPECT_EQ(w.completedAt, c.completedAt) << c.what;
    }
}

TEST(RunSchedule, AStartTimeBeyondTheFramesReadWaitsForTheLoader) {
    const Frames frames({{10, 0}, {10, 0}});
    RunRange range;
    range.startTime = 500;
    RunSchedule schedule(frames, range);
    EXPECT_FALSE(schedule.resolveStart(true)) << "the frame at 500 ms may still come";
    ASSERT_TRUE(schedule.resolveStart(false));
    EXPECT_EQ(schedule.startFrame(), 0) << "no frame at that time: the run starts where it was";
}

TEST(RunSchedule, ProgressIsReportedWhenThePercentChanges) {
    const Frames frames(std::vector<std::pair<int, int>>(300, {10, 0}));
    RunRange range;
    RunSchedule schedule(frames, range);
    std::vector<int> reported;
    for (int64_t i = 0; i < 300; ++i)
        if (auto percent = schedule.progressAt(i, 300)) reported.push_back(*percent);
    ASSERT_EQ(reported.size(), 100u);
    EXPECT_EQ(reported.front(), 0);
    EXPECT_EQ(reported.back(), 99);

    range.endTime = 995;  // frame 99: the bar runs over the range
    RunSchedule ranged(frames, range);
    EXPECT_EQ(ranged.progressAt(0, 300), 0);
    EXPECT_EQ(ranged.progressAt(50, 300), 50);
    EXPECT_EQ(ranged.progressAt(50, 300), std::nullopt);
}

TEST(RunSchedule, RecordedInputPlaysItsEffectOncePerClick) {
    struct Step {
        uint32_t message;
        int effect;
    };
    const std::vector<std::pair<const char*, std::vector<Step>>> cases{
        {"two downs and one up", {{kInputLeftButtonDown, 0}, {kInputLeftButtonDown, 0}, {kInputLeftButtonUp, -1},
                                  {kInputKeyDown, 6}}},
        {"an up whose down came before the run", {{kInputRightButtonUp, 2}, {kInputRightButtonUp, 2}}},
        {"frame buttons", {{kInputFrameMiddleButtonDown, 4}, {kInputFrameMiddleButtonUp, -1},
                           {kInputFrameLeftButtonUp, 0}, {kInputFrameRightButtonDown, 2}}},
        {"a key keeps a button held", {{kInputMiddleButtonDown, 4}, {kInputKeyDown, 6}, {kInputMiddleButtonUp, -1}}},
        {"other messages", {{0, -1}, {512, -1}, {257, -1}}},
    };
    for (const auto& [what, steps] : cases) {
        bool buttonDown = false;
        for (size_t k = 0; k < steps.size(); ++k)
            EXPECT_EQ(effectForInput(steps[k].message, buttonDown), steps[k].effect) << what << ", step " << k;
    }
}

TEST(RunClock, FollowsTheNarrationThenGoesOnFromItWithoutAJump) {
    int64_t narration = 5000;
    uint32_t ticks = 100;
    RunClock clock([&] { return narration; }, [&] { return ticks; });
    narration = 5300;
    ticks = 9000;  // the tick count says otherwise: the narration rules
    EXPECT_EQ(clock.elapsed(), 300u);
    narration = -1;  // the narration has ended
    EXPECT_EQ(clock.elapsed(), 300u);
    ticks += 40;
    EXPECT_EQ(clock.elapsed(), 340u);

    RunClock silent(RunClock::Reading(), [&] { return ticks; });
    ticks += 25;
    EXPECT_EQ(silent.elapsed(), 25u);
}

}  // namespace
}  // namespace quillet
