// Playback runs with real GDI and a real thread; a hidden window records the
// messages a run sends and posts.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "player/playback/dib.h"
#include "player/playback/player.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

struct Recorded {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A hidden window that keeps every message of the run.
class Recorder {
public:
    Recorder() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Recorder::procedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QuilletRunRecorder";
        ::RegisterClassA(&windowClass);
        window = ::CreateWindowExA(0, "QuilletRunRecorder", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Recorder() { ::DestroyWindow(window); }

    // Pumps messages until the run's end report arrives.
    bool waitForEnd(DWORD timeoutMs = 20000) {
        DWORD start = ::GetTickCount();
        while (!ended()) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
            if (::GetTickCount() - start > timeoutMs) return false;
            ::Sleep(1);
        }
        return true;
    }
    bool ended() const {
        for (const Recorded& r : messages)
            if (r.message == kMessageRunEnded) return true;
        return false;
    }
    Recorded end() const {
        for (const Recorded& r : messages)
            if (r.message == kMessageRunEnded) return r;
        return {};
    }
    std::vector<Recorded> of(UINT message) const {
        std::vector<Recorded> found;
        for (const Recorded& r : messages)
            if (r.message == message) found.push_back(r);
        return found;
    }

    HWND window;
    std::vector<Recorded> messages;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Recorder*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message >= WM_USER) {
            self->messages.push_back({message, wParam, lParam});
            return 0;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
};

class CountingSound : public PlaybackSound {
public:
    bool hasNarration() const override { return narration; }
    int64_t narrationElapsed() const override { return -1; }  // a narration that cannot say
    void playEffect(int number) override { effects.push_back(number); }
    bool narration = false;
    std::vector<int> effects;
};

class PlaybackTest : public ::testing::Test {
protected:
    static constexpr int kSide = 32;

    void makeMovie(int frames, int delayMs, const std::function<void(int, FrameSpec&)>& adjust = nullptr) {
        MovieWriter writer;
        writer.setScreen({kSide, kSide, 32});
        Picture screen(kSide, kSide, 0x101010);
        for (int i = 0; i < frames; ++i) {
            screen.fillRect(0, (i * 4) % kSide, kSide, (i * 4) % kSide + 4, 0x000100u * static_cast<uint32_t>(i + 1));
            pictures.push_back(screen);
            FrameSpec spec;
            spec.delayMs = delayMs;
            spec.standardCursor = 1;
            spec.cursorId = 1;
            if (adjust) adjust(i, spec);
            writer.addFrame(screen, spec);
        }
        stream = writer.frameStream();
        MemoryMovieFile file(stream);
        data.LoadFrameStream(file, file.size());
        data.BuildObjectTimeline({});
    }

    void SetUp() override {
        view = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, kSide, kSide, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override { ::DestroyWindow(view); }

    std::string stream;
    std::vector<Picture> pictures;
    GdiBitmapFactory bitmaps;
    FrameData data{bitmaps};
    CursorOverlay cursors;
    FrameCompositor compositor{data, cursors};
    Recorder recorder;
    HWND view = nullptr;
};

TEST_F(PlaybackTest, WholeRunEndsCompleteWithTheFrameCountAndReturnsToTheStart) {
    makeMovie(200, 1);
    CPlayer player(data, compositor, recorder.window);
    ASSERT_TRUE(player.play(view, nullptr, recorder.window, nullptr, false, true));
    EXPECT_TRUE(player.isPlaying());
    EXPECT_FALSE(player.play(view, nullptr, recorder.window, nullptr, false, true)) << "one run at a time";
    ASSERT_TRUE(recorder.waitForEnd());
    Recorded end = recorder.end();
    EXPECT_EQ(end.wParam, 1u);
    EXPECT_EQ(end.lParam, 200);
    player.onRunEnded(true, end.lParam, nullptr, view, nullptr);
    EXPECT_EQ(player.position(), 0);
    EXPECT_FALSE(player.isPlaying());

    // Progress 0, 1, ... 99, each once; the hundredth frame is announced.
    std::vector<Recorded> progress = recorder.of(kMessageProgress);
    ASSERT_EQ(progress.size(), 100u);
    for (size_t p = 0; p < progress.size(); ++p) EXPECT_EQ(progress[p].wParam, p);
    std::vector<Recorded> hundreds = recorder.of(kMessageHundredFrames);
    ASSERT_EQ(hundreds.size(), 1u);
    EXPECT_EQ(hundreds[0].lParam, 100);

    // The buffers hold the last frame.
    for (int y = 0; y < kSide; y += 5)
        EXPECT_EQ(::GetPixel(compositor.cleanDc(), kSide - 1, y) & 0xFFFFFF,
                  RGB((pictures[199].at(kSide - 1, y) >> 16) & 0xFF, (pictures[199].at(kSide - 1, y) >> 8) & 0xFF,
                      pictures[199].at(kSide - 1, y) & 0xFF));
}

TEST_F(PlaybackTest, FrameWithoutBandsIsStillPresented) {
    MovieWriter writer;
    writer.setScreen({kSide, kSide, 32});
    Picture screen(kSide, kSide, 0x202020);
    FrameSpec spec;
    spec.delayMs = 15;
    for (int i = 0; i < 5; ++i) {
        if (i != 2) screen.fillRect(0, i * 4, kSide, i * 4 + 4, 0x00FF00);
        writer.addFrame(screen, spec);  // frame 2 repeats frame 1: no bands
    }
    stream = writer.frameStream();
    MemoryMovieFile file(stream);
    data.LoadFrameStream(file, file.size());
    ASSERT_TRUE(data.frames()[2].bands.empty());
    CPlayer player(data, compositor, recorder.window);
    std::vector<int64_t> presented;
    player.setPresentObserver([&](int64_t frame, uint32_t, int64_t) { presented.push_back(frame); });
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, true));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(presented, (std::vector<int64_t>{0, 1, 2, 3, 4}));
}

TEST_F(PlaybackTest, LateFramesAreAppliedButNotPresented) {
    // Frames of no duration are always late: they keep the buffers current only.
    makeMovie(30, 0, [](int i, FrameSpec& spec) { spec.delayMs = i == 29 ? 50 : 0; });
    CPlayer player(data, compositor, recorder.window);
    std::vector<int64_t> presented;
    player.setPresentObserver([&](int64_t frame, uint32_t, int64_t) { presented.push_back(frame); });
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().wParam, 1u);
    EXPECT_EQ(presented, std::vector<int64_t>{29});
    uint32_t expected = pictures[28].at(1, (28 * 4) % kSide + 1);
    EXPECT_EQ(::GetPixel(compositor.cleanDc(), 1, (28 * 4) % kSide + 1) & 0xFFFFFF,
              RGB((expected >> 16) & 0xFF, (expected >> 8) & 0xFF, expected & 0xFF));
}

TEST_F(PlaybackTest, StopMarkEndsTheRunBeforeItsBands) {
    makeMovie(10, 1, [](int i, FrameSpec& spec) { spec.stopMark = i == 6; });
    CPlayer player(data, compositor, recorder.window);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().wParam, 0u);
    EXPECT_EQ(recorder.end().lParam, 6);
    // Frame 6 changed rows 24..27: they still show frame 5.
    COLORREF pixel = ::GetPixel(compositor.cleanDc(), 3, 25) & 0xFFFFFF;
    uint32_t expected = pictures[5].at(3, 25);
    EXPECT_EQ(pixel, RGB((expected >> 16) & 0xFF, (expected >> 8) & 0xFF, expected & 0xFF));
}

TEST_F(PlaybackTest, StartAtOrPastTheEndIsCompleteAtOnce) {
    makeMovie(10, 10);
    CPlayer player(data, compositor, recorder.window);
    player.setPosition(8);
    player.setPlayRange(0, 25);  // the frame at 25 ms is frame 3
    ASSERT_TRUE(player.play(view, nullptr, recorder.window, nullptr, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().wParam, 1u);
    EXPECT_TRUE(recorder.of(kMessageProgress).empty()) << "no frame was shown";
}

TEST_F(PlaybackTest, RangeEndingBeyondTheMoviePlaysToTheLastFrame) {
    makeMovie(12, 1);
    CPlayer player(data, compositor, recorder.window);
    player.setPlayRange(0, 1000000);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().wParam, 1u);
    EXPECT_EQ(recorder.end().lParam, 12);
}

TEST_F(PlaybackTest, TwoDownsAndOneUpCueTwice) {
    makeMovie(6, 1, [](int i, FrameSpec& spec) {
        if (i == 1 || i == 2) spec.inputMessage = WM_LBUTTONDOWN;
        if (i == 3) spec.inputMessage = WM_LBUTTONUP;
        if (i == 4) spec.inputMessage = WM_KEYDOWN;
    });
    CountingSound sound;
    sound.narration = true;  // its clock cannot be read: the run must still end
    CPlayer player(data, compositor, recorder.window);
    player.setSound(&sound);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, true, false));
    ASSERT_TRUE(recorder.waitForEnd(5000));
    EXPECT_EQ(sound.effects, (std::vector<int>{0, 0, 6}));
}

TEST_F(PlaybackTest, PauseKeepsThePositionAndStopReturnsToZero) {
    makeMovie(100, 20);
    CPlayer player(data, compositor, recorder.window);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ::Sleep(300);
    player.pause();
    ASSERT_TRUE(recorder.waitForEnd());
    Recorded end = recorder.end();
    EXPECT_EQ(end.wParam, 0u);
    EXPECT_GT(end.lParam, 5);
    EXPECT_LT(end.lParam, 40);
    player.onRunEnded(false, end.lParam, nullptr, view, nullptr);
    EXPECT_EQ(player.position(), end.lParam);
    EXPECT_TRUE(player.paused());
    player.stop();
    EXPECT_EQ(player.position(), 0);
    EXPECT_FALSE(player.paused());
}

TEST_F(PlaybackTest, SeekDuringARunEndsItWithTheStillRebuilt) {
    makeMovie(100, 20);
    CPlayer player(data, compositor, recorder.window);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ::Sleep(100);
    player.seekPercent(50, view, nullptr);
    EXPECT_TRUE(player.seekPending());
    ASSERT_TRUE(recorder.waitForEnd());
    player.onRunEnded(recorder.end().wParam != 0, recorder.end().lParam, nullptr, view, nullptr);
    EXPECT_EQ(player.position(), 49);
    EXPECT_EQ(player.currentBufferFrame(), 49);
    uint32_t expected = pictures[49].at(5, 5);
    EXPECT_EQ(::GetPixel(compositor.cleanDc(), 5, 5) & 0xFFFFFF,
              RGB((expected >> 16) & 0xFF, (expected >> 8) & 0xFF, expected & 0xFF));
}

}  // namespace
}  // namespace quillet
