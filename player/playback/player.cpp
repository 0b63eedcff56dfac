#include "player/playback/player.h"

#include <algorithm>
#include <cstdlib>

#include "player/container/frame_time.h"

namespace quillet {
namespace {

// The frame loop waits in short sleeps while more than this remains, then spins.
constexpr uint32_t kSpinMs = 2;

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

CPlayer::CPlayer(FrameData& frames, FrameCompositor& compositor, HWND notificationWindow)
    : frames_(frames), compositor_(compositor), notificationWindow_(notificationWindow) {}

CPlayer::~CPlayer() {
    stopRequest_.store(true);
    joinFinishedThread();
}

void CPlayer::joinFinishedThread() {
    // The thread may be sending its end report to a window of this thread: let
    // sent messages through until it is done.
    while (!threadFinished_.load()) {
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        ::Sleep(1);
    }
    if (thread_.joinable()) thread_.join();
}

int CPlayer::busyState() const {
    if (threadExists_.load()) return 1;
    return frames_.busyState();
}

void CPlayer::waitForThread() {
    while (threadExists_.load()) ::Sleep(1);
}

bool CPlayer::play(HWND view, const RECT* displayRect, HWND progressWindow, const CCaptionList* objects,
                   bool withSound, bool withCursor) {
    if (threadExists_.load()) return false;
    joinFinishedThread();

    paused_ = false;
    RECT display{};
    if (displayRect)
        display = *displayRect;
    else
        ::GetClientRect(view, &display);
    compositor_.setStopAtObjectMode(objects && objects->hasKind(kStopObjectKind));

    if (withSound) {
        sound_->positionNarration(static_cast<uint32_t>(lengthUpTo(frames_.frames(), position_)));
        sound_->positionBackground(position_ == 0 ? 0 : -1);
        sound_->startTracks();
    }
    while (!frames_.framesReady()) ::Sleep(1);

    const FrameList& list = frames_.frames();
    const int64_t loaded = static_cast<int64_t>(list.filled());
    Run run;
    run.view = view;
    run.objects = objects;
    run.withSound = withSound;
    run.withCursor = withCursor;
    run.progressWindow = progressWindow;
    run.startFrame = std::clamp<int64_t>(std::max<int64_t>(position_, frameAtTime(list, static_cast<uint32_t>(startTime_))),
                                         0, std::max<int64_t>(loaded - 1, 0));
    run.endFrame = frameAtTime(list, static_cast<uint32_t>(endTime_));
    if (!compositor_.beginRun(view, display)) return false;

    threadExists_.store(true);
    threadFinished_.store(false);
    thread_ = std::thread(&CPlayer::runThread, this, run);
    return true;
}

void CPlayer::cueInput(const MovieFrame& frame, bool& buttonDown) {
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

void CPlayer::runThread(Run run) {
    stopRequest_.store(false);
    bool buttonDown = false;
    int lastPercent = -1;
    const FrameList& list = frames_.frames();
    const int64_t loaded = std::min<int64_t>(static_cast<int64_t>(list.filled()), frames_.frameCount());
    const int64_t end = run.endFrame <= 0 ? loaded : std::min(run.endFrame, loaded);
    const bool narration = run.withSound && sound_->hasNarration();
    RunClock clock(*sound_, narration);
    int64_t delayTotal = 0, holdTotal = 0;
    bool complete = false;
    int64_t i = currentBufferFrame_.load();
    for (; i < end; ++i) {
        playing_.store(true);
        if (run.progressWindow) {
            int percent = static_cast<int>(static_cast<double>(i) / static_cast<double>(end) * 100);
            if (percent != lastPercent) {
                lastPercent = percent;
                ::SendMessageA(run.progressWindow, kMessageProgress, static_cast<WPARAM>(percent), static_cast<LPARAM>(i));
            }
        }
        const MovieFrame& frame = list[static_cast<size_t>(i)];
        auto stopHere = [&] { return stopRequest_.load() || frame.stopMark != 0; };
        if (stopHere()) break;
        if (run.withCursor) compositor_.eraseCursor();
        if (!compositor_.applyBandsToBoth(frame, stopHere)) break;
        if (i < run.startFrame) continue;

        if (narration && frame.holdMs <= 0) sound_->startNarrationOnly();
        compositor_.composeOverlays(static_cast<size_t>(i), frame, run.objects, run.withSound, run.withCursor);
        if (run.withSound) cueInput(frame, buttonDown);
        if (i > 0 && i % 100 == 0) ::PostMessageA(notificationWindow_, kMessageHundredFrames, 0, static_cast<LPARAM>(i));

        const int64_t due = delayTotal + holdTotal;
        holdTotal += std::llabs(static_cast<int64_t>(frame.holdMs));
        delayTotal += frame.delayMs;
        const int64_t target = delayTotal + holdTotal;
        const bool onTime = static_cast<int64_t>(clock.elapsed()) < target;
        const bool goOn = onTime ? compositor_.present(run.view, static_cast<size_t>(i), run.objects)
                                 : compositor_.lateStopCheck(static_cast<size_t>(i), run.objects);
        if (!goOn) break;
        if (onTime && presentObserver_) presentObserver_(i, clock.elapsed(), due);
        if (narration && frame.holdMs > 0) sound_->pauseNarrationOnly();

        bool stopped = false;
        for (int64_t left; (left = target - static_cast<int64_t>(clock.elapsed())) > 0;) {
            if (stopRequest_.load()) {
                stopped = true;
                break;
            }
            if (left > kSpinMs) ::Sleep(1);
        }
        if (stopped) break;
        if (i + 1 >= end) {
            complete = true;
            i = end;
            break;
        }
    }
    if (i >= end) {
        complete = true;
        i = end;
    }

    playing_.store(false);
    if (run.withCursor) compositor_.endRun();
    if (run.withSound) sound_->stopTracks(!compositor_.stopAtObjectMode());
    threadExists_.store(false);
    if (::IsWindow(notificationWindow_))
        ::SendMessageA(notificationWindow_, kMessageRunEnded, complete ? 1 : 0, static_cast<LPARAM>(i));
    threadFinished_.store(true);
}

void CPlayer::pause() {
    paused_ = true;
    stopRequest_.store(true);
    sound_->pauseTracks(true);
}

void CPlayer::stop() {
    paused_ = false;
    stopRequest_.store(true);
    sound_->pauseTracks(true);
    setPosition(0);
    sound_->positionNarration(0);
    sound_->positionBackground(0);
}

void CPlayer::holdAtObject() {
    paused_ = true;
    heldAtObject_ = true;
    sound_->pauseNarrationOnly();
}

void CPlayer::continueAt(int64_t frame, HWND mainWindow) {
    position_ = frame;
    ::PostMessageA(mainWindow, WM_COMMAND, kCommandPlayPause, 0);
}

void CPlayer::rebuildStill(HWND view, const CCaptionList* objects) {
    if (view) {
        win32::WindowDc dc(view);
        compositor_.renderStill(dc.get(), position_, -1, objects, true, true);
    } else if (compositor_.composedDc()) {
        RECT nothing{0, 0, 0, 0};
        compositor_.renderStillInto(compositor_.composedDc(), position_, -1, nothing, objects, true, true);
    }
}

void CPlayer::seekPercent(int percent, HWND view, const CCaptionList* objects) {
    const int64_t count = frames_.frameCount();
    setPosition(std::max<int64_t>(0, static_cast<int64_t>(percent) * (count - 1) / 100));
    if (threadExists_.load()) {
        seekPending_.store(true);
        pause();
        return;
    }
    rebuildStill(view, objects);
    const uint32_t at = static_cast<uint32_t>(lengthUpTo(frames_.frames(), position_));
    sound_->positionNarration(at);
    sound_->positionBackground(compositor_.stopAtObjectMode() ? -1 : at);
}

void CPlayer::onRunEnded(bool complete, int64_t lastFrame, HWND mainWindow, HWND view,
                         const CCaptionList* objects) {
    if (seekPending_.load()) {
        rebuildStill(view, objects);
    } else if (complete) {
        position_ = 0;
        paused_ = false;
        compositor_.setStopAtObjectMode(false);
        sound_->pauseTracks(true);
    } else {
        position_ = paused_ ? lastFrame : 0;
    }
    sound_->pauseNarrationOnly();
    if (!compositor_.stopAtObjectMode()) sound_->pauseTracks(true);
    currentBufferFrame_.store(position_);
    if (mainWindow) ::PostMessageA(mainWindow, kMessageRunEndedToMain, complete ? 1 : 0, 0);
}

}  // namespace quillet
