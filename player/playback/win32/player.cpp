#include "player/playback/win32/player.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>

#include "common/win32/message_pump.h"
#include "player/container/frame_time.h"

namespace quillet {
namespace {

// The frame loop waits while more than this remains, then spins: a wait can end a
// millisecond late.
constexpr int64_t kSpinMs = 1;

// A millisecond timer resolution for the run: without it a wait lasts whole
// scheduler ticks (15.6 ms) on Windows, and frames would be late by as much.
class ScopedTimerResolution {
public:
    ScopedTimerResolution() : raised_(::timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~ScopedTimerResolution() {
        if (raised_) ::timeEndPeriod(1);
    }
    ScopedTimerResolution(const ScopedTimerResolution&) = delete;
    ScopedTimerResolution& operator=(const ScopedTimerResolution&) = delete;

private:
    bool raised_;
};

}  // namespace

uint32_t playbackTickCount() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value{};
        ::QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<uint32_t>(now.QuadPart * 1000 / frequency);
}

Player::Player(FrameData& frames, FrameCompositor& compositor, HWND notificationWindow)
    : frames_(frames), compositor_(compositor), notificationWindow_(notificationWindow) {}

Player::~Player() { shutdown(); }

void Player::joinThread() {
    // The thread has reported its end, or never will: it is returning. It may
    // still be inside SendMessage to a window of this thread, so sent messages are
    // let through while waiting.
    win32::waitLettingSentMessagesThrough([this] { return threadFinished_.load(); });
    if (thread_.joinable()) thread_.join();
    reportPending_ = false;
}

void Player::requestStop() {
    stopRequest_.store(true);
    ::SetEvent(stopWake_.get());
}

void Player::shutdown() {
    if (!thread_.joinable()) return;
    closing_ = true;
    requestStop();
    joinThread();
    closing_ = false;
}

int Player::busyState() const {
    // Busy until the run's end is taken in: what the windows offer while the report
    // is under way would otherwise act on a position about to change.
    if (runActive()) return 1;
    return frames_.busyState();
}

bool Player::play(HWND view, const RECT* displayRect, HWND progressWindow, CCaptionList* objects,
                   bool withSound, bool withCursor) {
    if (runActive()) return false;
    joinThread();

    paused_ = false;
    RECT display{};
    if (displayRect)
        display = *displayRect;
    else
        ::GetClientRect(view, &display);
    compositor_.setStopAtObjectMode(objects && objects->hasHotspots());

    if (withSound) {
        // After a pause the narration waits where it stopped; anywhere else it goes
        // to what the viewer would have heard by this frame.
        if (!narrationInPlace_) sound_->positionNarration(narrationTimeAt(position_));
        sound_->positionBackground(position_ == 0 ? 0 : -1);
        sound_->startTracks();
    }
    // The picture resumes in step with it: the paused frame shows for what was
    // left of its time.
    const int64_t alreadyShown = narrationInPlace_ ? pausedWithinFrameMs_.load() : 0;
    narrationInPlace_ = false;
    while (!frames_.framesReady()) ::Sleep(1);

    // The run goes on from the frame the buffers hold. When they hold an earlier
    // one (a seek to a frame the loader had not read yet could not rebuild them),
    // the frames in between are applied first, untimed.
    const int64_t last = std::max<int64_t>(frames_.frameCount() - 1, 0);
    Run run;
    run.view = view;
    run.objects = objects;
    run.withSound = withSound;
    run.withCursor = withCursor;
    run.progressWindow = progressWindow;
    run.range.startFrame = std::clamp<int64_t>(position_, 0, last);
    run.range.firstFrame = std::clamp<int64_t>(currentBufferFrame_.load(), 0, last);
    const int64_t held = compositor_.heldFrame();
    if (held < run.range.firstFrame) run.range.firstFrame = std::max<int64_t>(held, 0);
    run.range.alreadyShownMs = alreadyShown;
    run.range.startTime = static_cast<uint32_t>(startTime_);
    run.range.endTime = static_cast<uint32_t>(endTime_);
    compositor_.setRunStart(run.range.startFrame);
    if (!compositor_.beginRun(view, display)) return false;

    stopRequest_.store(false);
    ::ResetEvent(stopWake_.get());
    threadExists_.store(true);
    threadFinished_.store(false);
    reportPending_ = true;
    thread_ = std::thread(&Player::runThread, this, run);
    return true;
}

void Player::runThread(Run run) {
    int64_t endedAt = run.range.firstFrame;
    bool complete;
    {
        ScopedTimerResolution resolution;
        complete = walkFrames(run, endedAt);
    }
    playing_.store(false);
    compositor_.endRun(run.withCursor);
    if (run.withSound) sound_->stopTracks(!compositor_.stopAtObjectMode());
    threadExists_.store(false);
    if (endReportHook_) endReportHook_();
    if (::IsWindow(notificationWindow_))
        ::SendMessageA(notificationWindow_, kMessageRunEnded, complete ? 1 : 0, static_cast<LPARAM>(endedAt));
    threadFinished_.store(true);
}

bool Player::walkFrames(const Run& run, int64_t& i) {
    const FrameList& list = frames_.frames();
    RunSchedule schedule(list, run.range);
    i = run.range.firstFrame;
    // A complete run reports its end frame: one past the last frame it could show.
    auto completeAt = [&](int64_t end) {
        i = end;
        return true;
    };
    auto notThere = [&] { return stopRequest_.load() ? false : completeAt(frames_.frameCount()); };

    // The frames before the start frame count for the play range; the loader reads
    // in order, so they are there once the one before the start frame is.
    const int64_t requested = run.range.startFrame;
    if (requested > 0 && !frames_.waitForFrame(static_cast<size_t>(requested - 1), stopRequest_)) return notThere();
    while (!schedule.resolveStart(frames_.loaderRunning())) {
        if (stopRequest_.load()) return false;
        ::Sleep(1);
    }
    if (auto end = schedule.completesBeforeWalking(frames_.frameCount())) return completeAt(*end);

    const bool narration = run.withSound && sound_->hasNarration();
    RunClock clock(narration ? RunClock::Reading([this] { return sound_->narrationElapsed(); }) : RunClock::Reading(),
                   playbackTickCount);
    pausedWithinFrameMs_.store(0);
    bool buttonDown = false;
    for (;; ++i) {
        if (i >= frames_.frameCount()) return completeAt(frames_.frameCount());
        if (!frames_.waitForFrame(static_cast<size_t>(i), stopRequest_)) return notThere();
        const int64_t count = frames_.frameCount();
        if (auto end = schedule.completesAt(i, count)) return completeAt(*end);
        playing_.store(true);
        if (run.progressWindow) {
            if (auto percent = schedule.progressAt(i, count))
                ::SendMessageA(run.progressWindow, kMessageProgress, static_cast<WPARAM>(*percent), static_cast<LPARAM>(i));
        }
        const MovieFrame& frame = list[static_cast<size_t>(i)];
        auto stopHere = [&] { return stopRequest_.load() || frame.stopMark != 0; };
        if (stopHere()) return false;
        if (run.withCursor) compositor_.eraseCursor();
        if (!compositor_.applyBandsToBoth(i, frame, stopHere)) return false;
        if (!schedule.applied(i, frame)) continue;

        if (narration && RunSchedule::narrationPlaysOver(frame)) sound_->startNarrationOnly();
        compositor_.composeOverlays(static_cast<size_t>(i), frame, run.objects, run.withSound, run.withCursor);
        if (run.withSound) {
            const int effect = effectForInput(frame.inputMessage, buttonDown);
            if (effect >= 0) sound_->playEffect(effect);
        }
        if (RunSchedule::releasesPictures(i)) {
            // Objects whose span has passed give up their pictures. This thread is
            // the one that draws them, so it frees them itself; the window only
            // hears of it.
            if (run.objects) run.objects->invalidatePassed(i);
            ::PostMessageA(notificationWindow_, kMessageHundredFrames, 0, static_cast<LPARAM>(i));
        }

        const FrameTimes times = schedule.timeNext(frame);
        const bool onTime = RunSchedule::onTime(clock.elapsed(), times);
        const bool goOn = onTime ? compositor_.present(run.view, static_cast<size_t>(i), run.objects)
                                 : compositor_.lateStopCheck(static_cast<size_t>(i), run.objects);
        if (!goOn) return false;
        if (onTime && presentObserver_) presentObserver_(i, clock.elapsed(), times.due);
        if (narration && !RunSchedule::narrationPlaysOver(frame)) sound_->pauseNarrationOnly();

        for (int64_t left; (left = times.end - static_cast<int64_t>(clock.elapsed())) > 0;) {
            if (stopRequest_.load()) {
                pausedWithinFrameMs_.store(RunSchedule::pausedWithin(clock.elapsed(), times));
                return false;
            }
            // Asleep until the last millisecond (or a stop request), then spinning,
            // so that a frame is neither late nor bought with a busy core.
            if (left > kSpinMs) ::WaitForSingleObject(stopWake_.get(), static_cast<DWORD>(left - kSpinMs));
        }
    }
}

uint32_t Player::narrationTimeAt(int64_t frame) const {
    // What the viewer would have heard by then: not the frames' length with every
    // hold, since a positive hold pauses the narration for its frame.
    return static_cast<uint32_t>(std::min<int64_t>(narrationTimeBefore(frames_.frames(), frame), UINT32_MAX));
}

void Player::pause() {
    paused_ = true;
    requestStop();
    sound_->pauseTracks(true);
}

void Player::stop() {
    paused_ = false;
    requestStop();
    sound_->pauseTracks(true);
    setPosition(0);
    sound_->positionNarration(0);
    sound_->positionBackground(0);
}

void Player::holdAtObject() {
    paused_ = true;
    heldAtObject_ = true;
    sound_->pauseNarrationOnly();
}

bool Player::continueAt(int64_t frame) {
    // An answer on the last frame leaves nothing to play: the run is complete, as
    // if it had walked past its end. Played on, it would hold at that frame again.
    // A loader still reading can only end the movie sooner, never later.
    if (frame >= frames_.frameCount() && ::IsWindow(notificationWindow_)) {
        ::PostMessageA(notificationWindow_, kMessageRunEnded, 1, static_cast<LPARAM>(frame));
        return false;
    }
    position_ = frame;
    narrationInPlace_ = false;
    return true;
}

void Player::rebuildStill(HWND view, CCaptionList* objects) {
    if (view) {
        win32::WindowDc dc(view);
        compositor_.renderStill(dc.get(), position_, -1, objects, true, true);
    } else {
        // No window to show it in: the buffers are rebuilt for the next run.
        compositor_.renderStillInto(nullptr, position_, -1, RECT{}, objects, true, true);
    }
}

void Player::seekPercent(int percent, HWND view, CCaptionList* objects) {
    const int64_t count = frames_.frameCount();
    setPosition(std::max<int64_t>(0, static_cast<int64_t>(percent) * (count - 1) / 100));
    if (objects) objects->currentFrame = position_;
    if (threadExists_.load()) {
        seekPending_.store(true);
        pause();
        return;
    }
    rebuildStill(view, objects);
    const uint32_t at = narrationTimeAt(position_);
    sound_->positionNarration(at);
    sound_->positionBackground(compositor_.stopAtObjectMode() ? -1 : at);
}

void Player::onRunEnded(bool complete, int64_t lastFrame, HWND mainWindow, HWND view,
                         CCaptionList* objects) {
    reportPending_ = false;
    narrationInPlace_ = false;
    // A movie being closed takes the report in and nothing more: no still, and no
    // word to a main window that is going away.
    if (closing_) return;
    if (seekPending_.load()) {
        rebuildStill(view, objects);
    } else if (complete) {
        position_ = 0;
        paused_ = false;
        compositor_.setStopAtObjectMode(false);
        sound_->pauseTracks(true);
    } else {
        position_ = paused_ ? lastFrame : 0;
        narrationInPlace_ = paused_ && !heldAtObject_;
    }
    sound_->pauseNarrationOnly();
    if (!compositor_.stopAtObjectMode()) sound_->pauseTracks(true);
    currentBufferFrame_.store(position_);
    if (objects) {
        objects->currentFrame = position_;
        if (complete) objects->hotspotsActive = false;
    }
    if (mainWindow) ::PostMessageA(mainWindow, kMessageRunEndedToMain, complete ? 1 : 0, 0);
    if (objects) objects->invalidatePassed(position_);
}

}  // namespace quillet
