#include <gtest/gtest.h>

#include "player/app/controller_rules.h"

namespace quillet {
namespace {

TEST(ControllerRules, PlacementKeepsClearOfTheTaskbar) {
    const Size screen{1024, 768}, window{240, 70};
    EXPECT_EQ(controllerPosition(screen, nullptr, window, -1, -1), (Point{784, 698}));

    const Rect bottom{-2, 738, 1026, 770};  // wider than the screen, below its bottom
    EXPECT_EQ(controllerPosition(screen, &bottom, window, -1, -1), (Point{784, 768 - 32 - 70}));

    const Rect right{990, -2, 1026, 770};  // taller than the screen, beyond its right edge
    EXPECT_EQ(controllerPosition(screen, &right, window, -1, -1), (Point{1024 - 36 - 240, 698}));

    const Rect top{-2, -2, 1026, 30};  // at the top: the plain corner
    EXPECT_EQ(controllerPosition(screen, &top, window, -1, -1), (Point{784, 698}));

    EXPECT_EQ(controllerPosition(screen, &bottom, window, 0, 767), (Point{0, 767}));
    EXPECT_EQ(controllerPosition(screen, &bottom, window, 1024, 768), (Point{784, 666}));
}

TEST(ControllerRules, CommandStates) {
    const CommandStates none = commandStates(false, 0, false);
    EXPECT_FALSE(none.playPause || none.stop || none.properties || none.edit || none.setup || none.open);
    EXPECT_TRUE(none.info);

    const CommandStates idle = commandStates(true, 0, false);
    EXPECT_TRUE(idle.playPause && idle.properties && idle.edit && idle.setup && idle.info);
    EXPECT_FALSE(idle.stop || idle.open);

    const CommandStates playing = commandStates(true, 1, false);
    EXPECT_TRUE(playing.playPause && playing.stop);
    EXPECT_FALSE(playing.properties || playing.edit || playing.setup || playing.info);

    const CommandStates paused = commandStates(true, 0, true);
    EXPECT_TRUE(paused.stop && paused.edit && paused.properties);
    EXPECT_FALSE(paused.setup);

    const CommandStates loading = commandStates(true, 2, false);
    EXPECT_TRUE(loading.stop);
    EXPECT_FALSE(loading.info || loading.setup);
}

TEST(ControllerRules, TimesRepeatsThenEndsTheSequenceAndResetsTheCounter) {
    PlaySettings settings;
    settings.times = 3;
    RunEndState done;
    done.complete = true;
    int32_t counter = 1;
    EXPECT_EQ(decideRunEnd(done, settings, counter), RunEndAction::PlayAgain);
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(decideRunEnd(done, settings, counter), RunEndAction::PlayAgain);
    EXPECT_EQ(counter, 3);
    EXPECT_EQ(decideRunEnd(done, settings, counter), RunEndAction::CloseView);
    EXPECT_EQ(counter, 1);
    // The next Play starts a fresh sequence of three.
    EXPECT_EQ(decideRunEnd(done, settings, counter), RunEndAction::PlayAgain);
}

TEST(ControllerRules, RunEndOrderOfDecisions) {
    PlaySettings looping;
    looping.playType = 1;
    int32_t counter = 1;

    RunEndState state;
    state.complete = true;
    EXPECT_EQ(decideRunEnd(state, looping, counter), RunEndAction::PlayAgain);

    state.quitAfterPlay = true;  // quitting wins over looping
    EXPECT_EQ(decideRunEnd(state, looping, counter), RunEndAction::CloseWindow);

    RunEndState stopped;  // stopped or paused runs never repeat
    EXPECT_EQ(decideRunEnd(stopped, looping, counter), RunEndAction::CloseView);
    stopped.paused = true;
    EXPECT_EQ(decideRunEnd(stopped, looping, counter), RunEndAction::KeepPausedView);

    RunEndState seek;
    seek.seekPending = true;
    seek.paused = true;
    EXPECT_EQ(decideRunEnd(seek, PlaySettings(), counter), RunEndAction::PlayAgain);
    seek.playerIdle = false;
    EXPECT_EQ(decideRunEnd(seek, PlaySettings(), counter), RunEndAction::Nothing);

    seek.closeAfterStop = true;  // closing wins over everything
    EXPECT_EQ(decideRunEnd(seek, PlaySettings(), counter), RunEndAction::CloseWindow);

    // A report that arrives after the user started the next run: repeating would
    // pause that run, closing the view would end it under the user's eyes.
    RunEndState stale;
    stale.playerIdle = false;
    stale.complete = true;
    counter = 1;
    EXPECT_EQ(decideRunEnd(stale, looping, counter), RunEndAction::Nothing);
    stale.complete = false;
    EXPECT_EQ(decideRunEnd(stale, PlaySettings(), counter), RunEndAction::Nothing);
    EXPECT_EQ(counter, 1);
}

TEST(ControllerRules, SeeksWithinHalfASecondOfTheLastAcceptedAreDropped) {
    SeekThrottle throttle;
    EXPECT_TRUE(throttle.accept(1000));
    EXPECT_FALSE(throttle.accept(1200));
    EXPECT_FALSE(throttle.accept(1499));  // still measured from 1000, not from 1200
    EXPECT_TRUE(throttle.accept(1500));
    EXPECT_TRUE(throttle.accept(2000));

    SeekThrottle wrapping;  // the tick count wraps after 49.7 days
    EXPECT_TRUE(wrapping.accept(0xFFFFFF00u));
    EXPECT_FALSE(wrapping.accept(0x00000010u));
    EXPECT_TRUE(wrapping.accept(0x00000200u));

    SeekThrottle first;  // a first click at tick 0 is accepted
    EXPECT_TRUE(first.accept(0));
}

TEST(ControllerRules, ProgressArithmetic) {
    EXPECT_EQ(progressFillWidth(50, 0, 100, 201), 100);
    EXPECT_EQ(progressFillWidth(99, 0, 100, 300), 297);
    EXPECT_EQ(progressFillWidth(100, 0, 100, 300), 300);
    EXPECT_EQ(progressFillWidth(5, 0, 0, 300), 0);
    EXPECT_EQ(progressFillWidth(15, 10, 20, 100), 50);
    EXPECT_EQ(clickPercent(0, 250), 0);
    EXPECT_EQ(clickPercent(125, 250), 50);
    EXPECT_EQ(clickPercent(249, 250), 99);
    EXPECT_EQ(clickPercent(10, 0), 0);
}

}  // namespace
}  // namespace quillet
