// Playback runs with real GDI and a real thread; a hidden window records the
// messages a run sends and posts.

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include "player/bitmaps/win32/dib.h"
#include "player/playback/win32/player.h"
#include "run_recorder.h"
#include "tests/support/gated_movie_file.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

using testing::Recorded;
using testing::Recorder;

class CountingSound : public PlaybackSound {
public:
    bool hasNarration() const override { return narration; }
    int64_t narrationElapsed() const override { return -1; }  // a narration that cannot say
    void playEffect(int number) override { effects.push_back(number); }
    void positionNarration(uint32_t ms) override { narrationAt.push_back(ms); }
    bool narration = false;
    std::vector<int> effects;
    std::vector<uint32_t> narrationAt;
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
    Player player(data, compositor, recorder.window);
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
    Player player(data, compositor, recorder.window);
    std::vector<int64_t> presented;
    player.setPresentObserver([&](int64_t frame, uint32_t, int64_t) { presented.push_back(frame); });
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, true));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(presented, (std::vector<int64_t>{0, 1, 2, 3, 4}));
}

TEST_F(PlaybackTest, LateFramesAreAppliedButNotPresented) {
    // Frames of no duration are always late: they keep the buffers current only.
    makeMovie(30, 0, [](int i, FrameSpec& spec) { spec.delayMs = i == 29 ? 50 : 0; });
    Player player(data, compositor, recorder.window);
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
    Player player(data, compositor, recorder.window);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().wParam, 0u);
    EXPECT_EQ(recorder.end().lParam, 6);
    // Frame 6 changed rows 24..27: they still show frame 5.
    COLORREF pixel = ::GetPixel(compositor.cleanDc(), 3, 25) & 0xFFFFFF;
    uint32_t expected = pictures[5].at(3, 25);
    EXPECT_EQ(pixel, RGB((expected >> 16) & 0xFF, (expected >> 8) & 0xFF, expected & 0xFF));
}

TEST_F(PlaybackTest, PauseKeepsThePositionAndStopReturnsToZero) {
    makeMovie(100, 20);
    Player player(data, compositor, recorder.window);
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

TEST_F(PlaybackTest, TheNarrationGoesWhereTheViewerWouldHaveHeardItAndResumesInPlace) {
    // 20 ms frames; frame 2 holds 500 ms with the narration paused for the whole
    // frame, frame 4 holds 100 ms with it playing on. By frame 5 the narration has
    // played 180 ms.
    makeMovie(10, 20, [](int i, FrameSpec& spec) {
        if (i == 2) spec.holdMs = 500;
        if (i == 4) spec.holdMs = -100;
    });
    CountingSound sound;
    sound.narration = true;
    Player player(data, compositor, recorder.window);
    player.setSound(&sound);
    player.seekPercent(60, nullptr, nullptr);
    ASSERT_EQ(player.position(), 5);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, true, false));
    EXPECT_EQ(sound.narrationAt, (std::vector<uint32_t>{180, 180}));
    ASSERT_TRUE(recorder.waitForEnd());
    player.onRunEnded(recorder.end().wParam != 0, recorder.end().lParam, nullptr, view, nullptr);

    // Paused in a run, inside frame 2's 520 ms, Play goes on where the narration
    // stopped (no seek), and the frame shows only for what was left of its time.
    recorder.messages.clear();
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, true, false));
    ::Sleep(250);
    player.pause();
    ASSERT_TRUE(recorder.waitForEnd());
    ASSERT_EQ(recorder.end().wParam, 0u) << "paused, not ended";
    const int64_t pausedAt = recorder.end().lParam;
    ASSERT_EQ(pausedAt, 2);
    player.onRunEnded(false, pausedAt, nullptr, view, nullptr);
    sound.narrationAt.clear();
    std::vector<std::pair<int64_t, int64_t>> due;
    player.setPresentObserver([&](int64_t frame, uint32_t, int64_t dueAt) { due.push_back({frame, dueAt}); });
    recorder.messages.clear();
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, true, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_TRUE(sound.narrationAt.empty());
    ASSERT_GE(due.size(), 2u);
    EXPECT_EQ(due[0].first, 2);
    EXPECT_LT(due[1].second, 520) << "frame 3 is due when frame 2's time is up, counted from before the pause";
    EXPECT_GT(due[1].second, 0);
}

TEST_F(PlaybackTest, SeekDuringARunEndsItWithTheStillRebuilt) {
    makeMovie(100, 20);
    Player player(data, compositor, recorder.window);
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

COLORREF colourOf(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// True when the buffer shows picture, checked on a grid of pixels.
bool bufferShows(HDC buffer, const Picture& picture) {
    for (int y = 0; y < picture.height; y += 7)
        for (int x = 0; x < picture.width; x += 5)
            if ((::GetPixel(buffer, x, y) & 0xFFFFFF) != colourOf(picture.at(x, y))) return false;
    return true;
}

// The screen DIB's rows (bottom-up, 32-bit) of a picture, as the still cache keeps them.
std::vector<uint8_t> dibRows(const Picture& picture) {
    std::vector<uint8_t> rows;
    for (int32_t y = picture.height - 1; y >= 0; --y)
        for (int32_t x = 0; x < picture.width; ++x)
            for (int b = 0; b < 4; ++b) rows.push_back(static_cast<uint8_t>(picture.at(x, y) >> (8 * b)));
    return rows;
}

// A movie of noise pictures, several megabytes long, read by the loader thread
// through a gate that a second thread opens a megabyte at a time: the run starts
// after four frames and overtakes the loader, as on a slow disc.
class SlowLoadingTest : public PlaybackTest {
protected:
    static constexpr int kNoiseSide = 256;
    static constexpr int kFrames = 40;

    void SetUp() override {
        PlaybackTest::SetUp();
        ::SetWindowPos(view, nullptr, 0, 0, kNoiseSide, kNoiseSide, SWP_NOMOVE | SWP_NOZORDER);
        MovieWriter writer;
        writer.setScreen({kNoiseSide, kNoiseSide, 32});
        std::mt19937 random(11);
        Picture picture(kNoiseSide, kNoiseSide);
        for (int i = 0; i < kFrames; ++i) {
            // Noise over a block of rows of its own height in each frame, so that
            // bands of many heights pass through the screen header; the last frame
            // stays longer.
            const int top = i * 37 % 128, rows = 64 + i * 13 % 64;
            for (int y = top; y < top + rows; ++y)
                for (int x = 0; x < kNoiseSide; ++x) picture.at(x, y) = random() & 0xFFFFFF;
            pictures.push_back(picture);
            writer.setBandHeight(1 + i % 7 * 9);
            writer.addFrame(picture, {i == kFrames - 1 ? 400 : 20});
        }
        stream = writer.frameStream();
        auto gated = std::make_unique<testing::GatedMovieFile>(stream);
        gate = gated->gate();
        gate->at = kMegabyte;
        data.loadFrameStreamInBackground(std::move(gated), stream.size());
        data.BuildObjectTimeline({});
    }
    void TearDown() override {
        if (opener.joinable()) opener.join();
        gate->open = true;  // a failed test must not leave the loader at the gate
        PlaybackTest::TearDown();
    }

    // Opens the gate a megabyte every interval, from another thread.
    void openSlowly(int intervalMs) {
        opener = std::thread([this, intervalMs] {
            while (gate->at.load() < stream.size()) {
                ::Sleep(static_cast<DWORD>(intervalMs));
                gate->at += kMegabyte / 2;
            }
            gate->open = true;
        });
    }

    static constexpr uint64_t kMegabyte = 1 << 20;
    // The loader owns the file and destroys it when it ends; the gate outlives it.
    std::shared_ptr<testing::MovieGate> gate;
    std::thread opener;
};

TEST_F(SlowLoadingTest, RunStartedWhileTheLoaderReadsPlaysToTheLastFrame) {
    ASSERT_TRUE(data.loaderRunning());
    openSlowly(40);
    Player player(data, compositor, recorder.window);
    std::vector<int64_t> presented;
    player.setPresentObserver([&](int64_t frame, uint32_t, int64_t) { presented.push_back(frame); });
    compositor.prepareSeeking();
    ASSERT_TRUE(player.play(view, nullptr, recorder.window, nullptr, false, false));
    EXPECT_LT(data.frames().filled(), static_cast<size_t>(kFrames)) << "the run starts before the loader ends";
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().wParam, 1u);
    EXPECT_EQ(recorder.end().lParam, kFrames) << "the run ends at the movie's end, not where the loader was";
    ASSERT_FALSE(presented.empty());
    EXPECT_EQ(presented.back(), kFrames - 1) << "the last frame is shown";
    EXPECT_TRUE(bufferShows(compositor.cleanDc(), pictures.back()));
    std::vector<Recorded> progress = recorder.of(kMessageProgress);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().lParam, kFrames - 1);
    EXPECT_EQ(progress.back().wParam, static_cast<WPARAM>((kFrames - 1) * 100 / kFrames));

    // The still cache was built while the run rewrote the screen header band by
    // band: its pictures are whole screens all the same.
    compositor.stillCache().waitUntilReady();
    ASSERT_GT(compositor.stillCache().pictureCount(), 0u);
    std::vector<uint8_t> pixels(kNoiseSide * kNoiseSide * 4);
    int64_t at = -1;
    ASSERT_TRUE(compositor.stillCache().nearest(kFrames - 1, -1, at, pixels));
    EXPECT_EQ(pixels, dibRows(pictures[static_cast<size_t>(at)])) << "picture at " << at;
}

TEST_F(SlowLoadingTest, SeekToAFrameNotReadYetPlaysFromThatFrame) {
    // The loader waits at its gate; the seek asks for a frame behind it.
    for (int wait = 0; wait < 5000 && !gate->waiting.load(); ++wait) ::Sleep(1);
    ASSERT_LT(data.frames().filled(), 30u);
    Player player(data, compositor, recorder.window);
    player.seekPercent(90, nullptr, nullptr);
    const int64_t target = 90 * (kFrames - 1) / 100;
    ASSERT_EQ(player.position(), target);

    std::vector<int64_t> presented;
    bool firstShowsTarget = false;
    player.setPresentObserver([&](int64_t frame, uint32_t, int64_t) {
        if (presented.empty()) firstShowsTarget = bufferShows(compositor.cleanDc(), pictures[static_cast<size_t>(frame)]);
        presented.push_back(frame);
    });
    openSlowly(10);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().wParam, 1u);
    ASSERT_FALSE(presented.empty());
    // Frames the loader brought too late are skipped, as late frames are.
    EXPECT_GE(presented.front(), target);
    EXPECT_TRUE(firstShowsTarget) << "the frames before the seek's target were applied first";
    EXPECT_TRUE(bufferShows(compositor.cleanDc(), pictures.back()));
}

TEST_F(PlaybackTest, SeekWithoutAViewKeepsTheBuffersForTheNextRun) {
    makeMovie(100, 10);
    Player player(data, compositor, recorder.window);
    player.seekPercent(50, nullptr, nullptr);
    ASSERT_EQ(player.position(), 49);
    ASSERT_TRUE(compositor.composedDc()) << "the composed buffer survives the seek";
    EXPECT_TRUE(bufferShows(compositor.cleanDc(), pictures[49]));

    // The run goes on from there: the first frame it shows is whole (each frame
    // changes one stripe, so one applied over empty buffers would not be).
    std::vector<int64_t> presented;
    bool firstIsWhole = false;
    player.setPresentObserver([&](int64_t frame, uint32_t, int64_t) {
        if (presented.empty()) firstIsWhole = bufferShows(compositor.cleanDc(), pictures[static_cast<size_t>(frame)]);
        presented.push_back(frame);
    });
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    ASSERT_FALSE(presented.empty());
    EXPECT_GE(presented.front(), 49);
    EXPECT_TRUE(firstIsWhole);
}

TEST_F(PlaybackTest, BandsWhoseRowsRunPastThePixelAreaAreSkipped) {
    MovieWriter writer;
    writer.setScreen({kSide, kSide, 32});
    Picture screen(kSide, kSide, 0x336699);
    writer.addFrame(screen, {5});
    Picture changed = screen;
    changed.fillRect(0, 0, kSide, 4, 0xFF0000);
    for (int32_t height : {32767, -32768, 4000, -4000}) {
        StoredBand band = MovieWriter::makeBand(changed, 0, 4);
        band.header.bandHeight = height;  // four rows of data, claiming many more
        FrameRecord record;
        record.delayMs = 5;
        writer.addStoredFrame(record, {band});
    }
    stream = writer.frameStream();
    MemoryMovieFile file(stream);
    data.LoadFrameStream(file, file.size());
    data.BuildObjectTimeline({});
    Player player(data, compositor, recorder.window);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().lParam, 5);
    EXPECT_TRUE(bufferShows(compositor.cleanDc(), screen)) << "no hostile band was drawn";
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(compositor.cleanDc(), kSide, kSide));
    win32::ScopedSelect select(dc.get(), bitmap.get());
    EXPECT_TRUE(compositor.renderStill(dc.get(), 4, -1, nullptr, false, false));
    EXPECT_TRUE(bufferShows(compositor.cleanDc(), screen));
}

}  // namespace
}  // namespace quillet
