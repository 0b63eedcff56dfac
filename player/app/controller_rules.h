#pragma once
// The decisions of the main window that need no window: where it goes, which
// commands are available, what follows the end of a run, and when a click on the
// seek bar counts.

#include <cstdint>

#include "player/app/play_settings.h"
#include "player/playback/view_layout.h"

namespace quillet {

// The bottom-right corner of the screen, clear of the taskbar (when there is one),
// unless controllerX / controllerY say otherwise. window is the playing size.
Point controllerPosition(Size screen, const Rect* taskbar, Size window, int32_t controllerX, int32_t controllerY);

struct CommandStates {
    bool open = false;
    bool properties = false;
    bool playPause = false;
    bool stop = false;
    bool edit = false;
    bool setup = false;
    bool info = false;
};
// busyState as the player reports it: 0 idle.
CommandStates commandStates(bool hasFrames, int busyState, bool paused);

// What the end of a run leads to.
enum class RunEndAction {
    CloseWindow,     // close-after-stop or quit after play
    PlayAgain,       // a seek during the run, looping, or more runs to go
    Nothing,         // a newer run is already active
    KeepPausedView,  // paused or held: the view stays with its still
    CloseView,       // stopped or done: back to the compact size
};

struct RunEndState {
    bool closeAfterStop = false;
    bool seekPending = false;
    bool playerIdle = true;
    bool complete = false;
    bool quitAfterPlay = false;
    bool paused = false;
};

// Decides, and keeps the run counter: it counts up for each repeat and returns to
// 1 whenever the sequence of runs ends.
RunEndAction decideRunEnd(const RunEndState& state, const PlaySettings& settings, int32_t& runCounter);

// Seek-bar clicks closer than this to the last accepted one are dropped.
constexpr uint32_t kSeekIntervalMs = 500;

class SeekThrottle {
public:
    // True when a seek at tick count now may go ahead; every attempt that is let
    // through is remembered, whether or not the seek is then made.
    bool accept(uint32_t now);

private:
    bool any_ = false;
    uint32_t last_ = 0;
};

// The progress fill for position within lower..upper over width pixels.
int32_t progressFillWidth(int32_t position, int32_t lower, int32_t upper, int32_t width);
// The percent a click at x of width asks for.
int32_t clickPercent(int32_t x, int32_t width);

}  // namespace quillet
