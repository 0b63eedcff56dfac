#include "player/app/controller_rules.h"

namespace quillet {

Point controllerPosition(Size screen, const Rect* taskbar, Size window, int32_t controllerX, int32_t controllerY) {
    Point at{screen.width - window.width, screen.height - window.height};
    if (taskbar) {
        const bool atBottom = taskbar->width() > screen.width && taskbar->bottom > screen.height;
        const bool atRight = taskbar->height() > screen.height && taskbar->right > screen.width;
        if (atBottom)
            at.y = screen.height - taskbar->height() - window.height;
        else if (atRight)
            at.x = screen.width - taskbar->width() - window.width;
    }
    if (controllerX >= 0 && controllerX < screen.width) at.x = controllerX;
    if (controllerY >= 0 && controllerY < screen.height) at.y = controllerY;
    return at;
}

CommandStates commandStates(bool hasFrames, int busyState, bool paused) {
    const bool idle = busyState == 0;
    CommandStates states;
    states.properties = hasFrames && idle;
    states.playPause = hasFrames;
    states.stop = hasFrames && (!idle || paused);
    states.edit = hasFrames && idle;
    states.setup = hasFrames && idle && !paused;
    states.info = idle;
    return states;
}

RunEndAction decideRunEnd(const RunEndState& state, const PlaySettings& settings, int32_t& runCounter) {
    if (state.closeAfterStop) return RunEndAction::CloseWindow;
    // A run that started after this report was posted is the one whose end counts.
    if (!state.playerIdle) return RunEndAction::Nothing;
    if (state.seekPending) return RunEndAction::PlayAgain;
    if (state.complete) {
        if (state.quitAfterPlay) return RunEndAction::CloseWindow;
        if (settings.playType == 1) return RunEndAction::PlayAgain;
        if (runCounter < settings.times) {
            ++runCounter;
            return RunEndAction::PlayAgain;
        }
    }
    runCounter = 1;
    return state.paused ? RunEndAction::KeepPausedView : RunEndAction::CloseView;
}

bool SeekThrottle::accept(uint32_t now) {
    const bool tooSoon = any_ && now - last_ < kSeekIntervalMs;
    if (tooSoon) return false;
    any_ = true;
    last_ = now;
    return true;
}

int32_t progressFillWidth(int32_t position, int32_t lower, int32_t upper, int32_t width) {
    if (upper <= lower) return 0;
    return static_cast<int32_t>(static_cast<double>(position - lower) / (upper - lower) * width);
}

int32_t clickPercent(int32_t x, int32_t width) {
    if (width <= 0) return 0;
    return static_cast<int32_t>(static_cast<double>(x) / width * 100);
}

}  // namespace quillet
