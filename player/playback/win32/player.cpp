#include "player/playback/win32/player.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>

#include "common/win32/message_pump.h"
#include "player/container/frame_time.h"

namespace quillet {
namespace {

// Every this many frames, objects whose span has passed release their pictures.
constexpr int64_t kReleaseEveryFrames = 100;
// The frame loop waits in short sleeps while more than this remains, then spins.
constexpr int64_t kSpinMs = 1;

// A millisecond timer resolution for the run: without it a one-millisecond sleep
// lasts a whole scheduler tick (15.6 ms) on Windows, and frames would be late by
// as much.
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

// A clock reading that stays on the narration while it answers and carries on
// from the tick count, without a jump, once it does not.
class RunClock {
public:
    RunClock(const PlaybackSound& sound, bool useNarration) : sound_(sound), narration_(useNarration) {
        tickStart_ = playbackTickCount();
        if (narration_) {
            int64_t reading = sound_.narrationElapsed();
            narration_ = reading >= 0;
            narrationStart_ = static_cast<uint32_t>(reading);
        }
    }
    uint32_t elapsed() {
        if (narration_) {
            int64_t reading = sound_.narrationElapsed();
            if (reading >= 0) return last_ = static_cast<uint32_t>(reading) - narrationStart_;
            narration_ = false;
            tickStart_ = playbackTickCount() - last_;
        }
        return last_ = playbackTickCount() - tickStart_;
    }

private:
    const PlaybackSound& sound_;
    bool narration_;
    uint32_t narrationStart_ = 0;
    uint32_t tickStart_ = 0;
    uint32_t last_ = 0;
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

void Player::shutdown() {
    if (!thread_.joinable()) return;
    closing_ = true;
    stopRequest_.store(true);
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
    run.startFrame = std::clamp<int64_t>(position_, 0, last);
    run.firstFrame = std::clamp<int64_t>(currentBufferFrame_.load(), 0, last);
    const int64_t held = compositor_.heldFrame();
    if (held < run.firstFrame) run.firstFrame = std::max<int64_t>(held, 0);
    run.alreadyShownMs = alreadyShown;
    run.startTime = static_cast<uint32_t>(startTime_);
    run.endTime = static_cast<uint32_t>(endTime_);
    compositor_.setRunStart(run.startFrame);
    if (!compositor_.beginRun(view, display)) return false;

    stopRequest_.store(false);
    threadExists_.store(true);
    threadFinished_.store(false);
    reportPending_ = true;
    thread_ = std::thread(&Player::runThread, this, run);
    return true;
}

void Player::cueInput(const MovieFrame& frame, bool& buttonDown) {
    switch (frame.inputMessage) {
    case WM_KEYDOWN: sound_->playEffect(6); break;
    case WM_LBUTTONDOWN: case WM_NCLBUTTONDOWN: sound_->playEffect(0); buttonDown = true; break;
    case WM_LBUTTONUP: case WM_NCLBUTTONUP: if (!buttonDown) sound_->playEffect(0); buttonDown = false; break;
    case WM_RBUTTONDOWN: case WM_NCRBUTTONDOWN: sound_->playEffect(2); buttonDown = true; break;
    case WM_RBUTTONUP: case WM_NCRBUTTONUP: if (!buttonDown) sound_->playEffect(2); buttonDown = false; break;
    case WM_MBUTTONDOWN: case WM_NCMBUTTONDOWN: sound_->playEffect(4); buttonDown = true; break;
    case WM_MBUTTONUP: case WM_NCMBUTTONUP: if (!buttonDown) sound_->playEffect(4); buttonDown = false; break;
    default: break;
    }
}

void Player::runThread(Run run) {
    int64_t endedAt = run.firstFrame;
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
    i = run.firstFrame;
    // A complete run reports its end frame: one past the last frame it could show.
    auto completeAt = [&](int64_t end) {
        i = end;
        return true;
    };
    auto notThere = [&] { return stopRequest_.load() ? false : completeAt(frames_.frameCount()); };

    // The frames before the start frame count for the play range; the loader reads
    // in order, so they are there once the one before the start frame is.
    int64_t startFrame = run.startFrame;
    if (startFrame > 0 && !frames_.waitForFrame(static_cast<size_t>(startFrame - 1), stopRequest_)) return notThere();
    if (run.startTime > 0) {
        // The frame at the start time is known once the frames up to it are read.
        int64_t atStart;
        while ((atStart = frameAtTime(list, run.startTime)) < 0 && frames_.loaderRunning()) {
            if (stopRequest_.load()) return false;
            ::Sleep(1);
        }
        startFrame = std::max(startFrame, atStart);
    }
    // The end frame is the frame at the end time, found as the run walks towards
    // it, or the movie's frame count. A start at or past it completes at once.
    const int64_t endTime = run.endTime;
    const int64_t endAtTime = endTime > 0 ? frameAtTime(list, run.endTime) : -1;
    if (startFrame >= frames_.frameCount()) return completeAt(frames_.frameCount());
    if (endTime > 0 && playTimeBefore(list, startFrame) >= endTime) return completeAt(frameAtTime(list, run.endTime));
    int64_t timeBefore = playTimeBefore(list, i);

    const bool narration = run.withSound && sound_->hasNarration();
    RunClock clock(*sound_, narration);
    int64_t delayTotal = -run.alreadyShownMs, holdTotal = 0;
    pausedWithinFrameMs_.store(0);
    bool buttonDown = false;
    int lastPercent = -1;
    for (;; ++i) {
        if (i >= frames_.frameCount()) return completeAt(frames_.frameCount());
        if (!frames_.waitForFrame(static_cast<size_t>(i), stopRequest_)) return notThere();
        const int64_t count = frames_.frameCount();
        if (i >= count) return completeAt(count);
        if (endTime > 0 && timeBefore >= endTime) return completeAt(frameAtTime(list, run.endTime));
        playing_.store(true);
        if (run.progressWindow) {
            const int64_t end = endAtTime > 0 ? endAtTime : count;
            int percent = static_cast<int>(static_cast<double>(i) / static_cast<double>(end) * 100);
            if (percent != lastPercent) {
                lastPercent = percent;
                ::SendMessageA(run.progressWindow, kMessageProgress, static_cast<WPARAM>(percent), static_cast<LPARAM>(i));
            }
        }
        const MovieFrame& frame = list[static_cast<size_t>(i)];
        auto stopHere = [&] { return stopRequest_.load() || frame.stopMark != 0; };
        if (stopHere()) return false;
        if (run.withCursor) compositor_.eraseCursor();
        if (!compositor_.applyBandsToBoth(i, frame, stopHere)) return false;
        timeBefore += playTimeOf(frame);
        if (i < startFrame) continue;

        if (narration && frame.holdMs <= 0) sound_->startNarrationOnly();
        compositor_.composeOverlays(static_cast<size_t>(i), frame, run.objects, run.withSound, run.withCursor);
        if (run.withSound) cueInput(frame, buttonDown);
        if (i > 0 && i % kReleaseEveryFrames == 0) {
            // Objects whose span has passed give up their pictures. This thread is
            // the one that draws them, so it frees them itself; the window only
            // hears of it.
            if (run.objects) run.objects->invalidatePassed(i);
            ::PostMessageA(notificationWindow_, kMessageHundredFrames, 0, static_cast<LPARAM>(i));
        }

        const int64_t due = delayTotal + holdTotal;
        holdTotal += std::llabs(static_cast<int64_t>(frame.holdMs));
        delayTotal += frame.delayMs;
        const int64_t target = delayTotal + holdTotal;
        const bool onTime = static_cast<int64_t>(clock.elapsed()) < target;
        const bool goOn = onTime ? compositor_.present(run.view, static_cast<size_t>(i), run.objects)
                                 : compositor_.lateStopCheck(static_cast<size_t>(i), run.objects);
        if (!goOn) return false;
        if (onTime && presentObserver_) presentObserver_(i, clock.elapsed(), due);
        if (narration && frame.holdMs > 0) sound_->pauseNarrationOnly();

        for (int64_t left; (left = target - static_cast<int64_t>(clock.elapsed())) > 0;) {
            if (stopRequest_.load()) {
                pausedWithinFrameMs_.store(std::max<int64_t>(0, static_cast<int64_t>(clock.elapsed()) - due));
                return false;
            }
            if (left > kSpinMs) ::Sleep(1);
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
    stopRequest_.store(true);
    sound_->pauseTracks(true);
}

void Player::stop() {
    paused_ = false;
    stopRequest_.store(true);
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
