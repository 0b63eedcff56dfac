#pragma once
// The player operations and the playback thread: one run at a time walks the
// frames from the position to the end of the play range, on one clock.

#include <windows.h>

#include <atomic>
#include <functional>
#include <cstdint>
#include <thread>

#include "common/win32/handles.h"
#include "player/container/frame_data.h"
#include "player/objects/win32/caption_list.h"
#include "player/playback/win32/frame_compositor.h"
#include "player/playback/playback_sound.h"
#include "player/playback/run_schedule.h"

namespace quillet {

constexpr UINT kMessageRunEnded = WM_USER + 11;        // sent: complete, last frame
constexpr UINT kMessageProgress = WM_USER + 14;        // sent: percent, frame
constexpr UINT kMessageHundredFrames = WM_USER + 17;   // posted: 0, frame
constexpr UINT kMessageRunEndedToMain = WM_USER + 70;  // posted: complete, 0

// Milliseconds on a steady clock with millisecond resolution.
uint32_t playbackTickCount();

class Player {
public:
    Player(FrameData& frames, FrameCompositor& compositor, HWND notificationWindow);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void setSound(PlaybackSound* sound) { sound_ = sound ? sound : &silence_; }
    PlaybackSound& sound() { return *sound_; }
    // Told of every presented frame: its index, the clock when it was shown, and
    // when it was due (both from the run's start). For pacing measurements.
    using PresentObserver = std::function<void(int64_t frame, uint32_t shownAt, int64_t dueAt)>;
    void setPresentObserver(PresentObserver observer) { presentObserver_ = std::move(observer); }
    void setPlayRange(int32_t startTime, int32_t endTime) {
        startTime_ = startTime;
        endTime_ = endTime;
    }

    // Starts a run; nothing when one is active.
    bool play(HWND view, const RECT* displayRect, HWND progressWindow, CCaptionList* objects,
              bool withSound, bool withCursor);
    void pause();
    void stop();
    void seekPercent(int percent, HWND view, CCaptionList* objects);
    void holdAtObject();
    // Takes the viewer's answer: false when it leaves nothing to play (the run's
    // end is reported), true when the caller starts the next run from frame.
    bool continueAt(int64_t frame);
    // True while a playback thread exists (until it starts reporting its end).
    bool isPlaying() const { return threadExists_.load(); }
    // True from play until the run's end report has been taken in (or the thread
    // ended without one): a new run cannot start before, and what the user asks
    // meanwhile is meant for this run.
    bool runActive() const { return threadExists_.load() || (reportPending_ && !threadFinished_.load()); }
    int busyState() const;

    // The end report of a run (WM_USER+11), on the user-interface thread.
    void onRunEnded(bool complete, int64_t lastFrame, HWND mainWindow, HWND view, CCaptionList* objects);
    // Stops a run and waits for its thread to end, taking in its reports without
    // acting on them. For closing the movie: afterwards nothing of the run is left.
    void shutdown();
    // Runs on the playback thread after it has let go of the run and before it
    // reports the run's end: lets tests hold the thread at that moment.
    void setEndReportHook(std::function<void()> hook) { endReportHook_ = std::move(hook); }

    int64_t position() const { return position_; }
    void setPosition(int64_t frame) {
        position_ = currentBufferFrame_ = frame;
        narrationInPlace_ = false;
    }
    int64_t currentBufferFrame() const { return currentBufferFrame_.load(); }
    bool paused() const { return paused_.load(); }
    bool heldAtObject() const { return heldAtObject_.load(); }
    void clearHeldAtObject() { heldAtObject_.store(false); }
    bool seekPending() const { return seekPending_.load(); }
    void clearSeekPending() { seekPending_.store(false); }
    bool insideFrameLoop() const { return playing_.load(); }

private:
    struct Run {
        HWND view = nullptr;
        RunRange range;
        CCaptionList* objects = nullptr;
        bool withSound = false;
        bool withCursor = false;
        HWND progressWindow = nullptr;
    };

    void runThread(Run run);
    // The frame loop; returns whether the run completed, with the frame it ended at.
    bool walkFrames(const Run& run, int64_t& endedAt);
    // Joins the last thread, which has reported or is about to end.
    void joinThread();
    void requestStop();
    void rebuildStill(HWND view, CCaptionList* objects);
    // Where the narration stands when a run reaches frame.
    uint32_t narrationTimeAt(int64_t frame) const;

    FrameData& frames_;
    FrameCompositor& compositor_;
    HWND notificationWindow_;
    PlaybackSound silence_;
    PlaybackSound* sound_ = &silence_;
    PresentObserver presentObserver_;
    std::function<void()> endReportHook_;
    std::thread thread_;
    int32_t startTime_ = 0;
    int32_t endTime_ = 0;
    int64_t position_ = 0;
    std::atomic<int64_t> currentBufferFrame_{0};
    // Set by the playback thread too, when a hotspot holds the run.
    std::atomic<bool> paused_{false};
    std::atomic<bool> heldAtObject_{false};
    std::atomic<bool> seekPending_{false};
    std::atomic<bool> stopRequest_{false};
    // Set with every stop request, so that the run's wait between frames ends at
    // once instead of polling.
    win32::UniqueHandle stopWake_{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> playing_{false};
    std::atomic<bool> threadExists_{false};
    std::atomic<bool> threadFinished_{true};  // set as the thread's very last step
    bool reportPending_ = false;               // user-interface thread only
    bool narrationInPlace_ = false;            // paused: the next run resumes the narration as it is
    std::atomic<int64_t> pausedWithinFrameMs_{0};  // how far into its frame the last run was paused
    bool closing_ = false;                     // reports are taken in, not acted on
};

}  // namespace quillet
