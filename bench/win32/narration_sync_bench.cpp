// Narration sync under Wine with the session's sound device: a two-minute narrated
// movie at 30 frames a second, paused ten times and sought five times, played on
// the narration's clock. For every frame shown: how far its showing lies from the
// moment the narration reached the frame's time, measured on the performance
// counter. Run twice in one go: with the clock moving on between the narration
// timer's 80 ms ticks, and, as the baseline, with the ticks alone.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "player/playback/track_sound.h"
#include "player/audio/win32/direct_sound.h"
#include "player/audio/win32/temporary_sound_files.h"
#include "player/audio/wav_file.h"
#include "player/bitmaps/win32/dib.h"
#include "player/playback/win32/player.h"
#include "tests/support/tone_wav.h"
#include "tools/moviewriter/movie_writer.h"

using namespace quillet;

namespace {

constexpr int kFrames = 3600;  // two minutes at 30 frames a second
constexpr int kSide = 64;

double nowMs() {
    LARGE_INTEGER frequency{}, now{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

struct RunEnd {
    bool ended = false;
    bool complete = false;
    int64_t lastFrame = 0;
};

// Takes the run's end report.
LRESULT CALLBACK reportWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMessageRunEnded) {
        auto* end = reinterpret_cast<RunEnd*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        *end = RunEnd{true, wParam != 0, static_cast<int64_t>(lParam)};
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

struct Figures {
    std::vector<double> offsets;  // presentation against the narration, ms
    double endDrift = 0;          // clock against the counter at the last frame, ms
};

Figures measure(bool smoothing, const std::string& stream, const std::string& sounds) {
    HWND view = ::CreateWindowExA(0, "STATIC", "sync", WS_POPUP | WS_VISIBLE, 0, 0, kSide, kSide, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    HWND notify = ::CreateWindowExA(0, "QuilletSyncReports", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    RunEnd end;
    ::SetWindowLongPtrA(notify, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&end));

    DirectSoundSystem system;
    TemporarySoundFiles files;
    files.setWindow(view);
    SoundTrackSet tracks(system, files);
    tracks.setClockSmoothing(smoothing);
    MemoryMovieFile soundFile(sounds);
    BufferedReader in(soundFile, soundFile.size());
    tracks.load(in, "C:\\bench\\sync.exe");
    TrackSound sound(tracks);
    MemoryMovieFile frameFile(stream);
    GdiBitmapFactory bitmaps;
    FrameData data(bitmaps);
    data.LoadFrameStream(frameFile, frameFile.size());
    data.BuildObjectTimeline({});
    CursorOverlay cursors;
    FrameCompositor compositor(data, cursors);
    Player player(data, compositor, notify);
    player.setSound(&sound);

    // Each run's frames: the performance counter at their showing and their due
    // time. A run starts where the clock read 0, which the counter knows only as
    // the earliest showing minus the clock then.
    Figures figures;
    std::vector<std::pair<double, double>> shown;
    player.setPresentObserver([&](int64_t, uint32_t, int64_t due) { shown.push_back({nowMs(), static_cast<double>(due)}); });
    std::mt19937 random(12);
    int pauses = 10, seeks = 5;
    while (true) {
        shown.clear();
        const double runStart = nowMs();
        end = RunEnd();
        player.play(view, nullptr, nullptr, nullptr, true, false);
        const double runFor = (pauses + seeks > 0) ? 3000 + random() % 6000 : 1e9;
        while (!end.ended) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
            if (nowMs() - runStart > runFor && player.isPlaying()) {
                if (seeks > 0 && (pauses == 0 || random() % 3 == 0)) {
                    --seeks;
                    player.seekPercent(static_cast<int>(random() % 90), nullptr, nullptr);
                } else if (pauses > 0) {
                    --pauses;
                    player.pause();
                }
            }
            ::Sleep(1);
        }
        player.onRunEnded(end.complete, end.lastFrame, nullptr, nullptr, nullptr);
        if (!shown.empty()) {
            double start = 1e300;
            for (const auto& [at, due] : shown) start = std::min(start, at - due);
            for (const auto& [at, due] : shown) figures.offsets.push_back(at - start - due);
            figures.endDrift = shown.back().first - start - shown.back().second;
        }
        if (end.complete) break;
        if (player.seekPending()) player.clearSeekPending();
    }
    ::DestroyWindow(notify);
    ::DestroyWindow(view);
    return figures;
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &reportWindow;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuilletSyncReports";
    ::RegisterClassA(&windowClass);

    MovieWriter writer;
    writer.setScreen({kSide, kSide, 32});
    Picture screen(kSide, kSide, 0x303030);
    for (int i = 0; i < kFrames; ++i) {
        screen.fillRect(0, i % kSide, kSide, i % kSide + 1, 0x010203u * static_cast<uint32_t>(i % 80));
        writer.addFrame(screen, {i % 3 == 2 ? 34 : 33});
    }
    writer.sounds().header.narrationPresent = writer.sounds().header.narrationEmbedded = 1;
    writer.sounds().narration = zlibSoundRecord(testing::toneWav(8000, kFrames / 30.0 + 1, 500));
    const std::string stream = writer.frameStream();
    const std::string sounds = encodeSoundSection(writer.sounds());

    const Figures stepped = measure(false, stream, sounds);
    const Figures smooth = measure(true, stream, sounds);
    const double p95Stepped = percentile(stepped.offsets, 0.95), p95Smooth = percentile(smooth.offsets, 0.95);
    std::printf("narration sync, 2 minutes at 30 frames/s with 10 pauses and 5 seeks:\n");
    std::printf("  ticks alone:  %zu frames shown, 95th percentile %.1f ms from the narration, drift at the end %.1f ms\n",
                stepped.offsets.size(), p95Stepped, stepped.endDrift);
    std::printf("  moved on:     %zu frames shown, 95th percentile %.1f ms (target <= 5), drift at the end %.1f ms "
                "(target <= 33)\n",
                smooth.offsets.size(), p95Smooth, smooth.endDrift);
    std::printf("  ratio moved on / ticks alone: %.2f\n", p95Smooth / std::max(p95Stepped, 0.001));
    return 0;
}
