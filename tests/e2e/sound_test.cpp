// Sound in the real player, heard through the ALSA file sink of the test run: the
// narration in step with the pictures and after a seek, a hold that pauses it, a
// recorded click, the temporary files, and a machine without sound.

#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "player/audio/sound_tracks.h"
#include "player/audio/wav_file.h"
#include "player_fixture.h"
#include "test_movies.h"
#include "tests/support/captured_sound.h"
#include "tests/support/tone_wav.h"

namespace quillet::e2e {
namespace {

using namespace quillet::testing;

// Tones a half apart in pitch, so that a mixer at 44.1 or 48 kHz tells them apart.
double segmentTone(int segment) { return 400.0 * std::pow(1.5, segment); }

// A 16-bit mono WAV of tones one after another.
std::string toneSequence(const std::vector<std::pair<double, uint32_t>>& tones, uint32_t rate = 8000) {
    return toneSequenceWav(tones, rate);
}

// The segment each 50 ms window of the capture sounds, -1 where it is quiet. The
// mixer's rate is taken as whichever of the two fits the known tones better.
std::vector<int> segmentsHeard(const std::string& raw, int segments) {
    const std::vector<float> left = leftChannel(raw);
    std::vector<int> best;
    double bestError = 1e9;
    for (uint32_t rate : {44100u, 48000u}) {
        std::vector<int> heard;
        double error = 0;
        for (double tone : tonesPerWindow(left, rate, 50)) {
            if (tone <= 0) {
                heard.push_back(-1);
                continue;
            }
            int nearest = 0;
            for (int k = 1; k < segments; ++k)
                if (std::fabs(std::log(tone / segmentTone(k))) < std::fabs(std::log(tone / segmentTone(nearest))))
                    nearest = k;
            error += std::fabs(std::log(tone / segmentTone(nearest)));
            heard.push_back(nearest);
        }
        if (error < bestError) {
            bestError = error;
            best = heard;
        }
    }
    return best;
}

// What was heard as runs of one segment. A lone window is where two tones, or a
// tone and silence, meet: it is left out. The sink's device keeps no time, so
// Wine mixes into it faster than real time: what was played, and in which order,
// can be told from the capture, but not when.
struct HeardRun {
    int segment;
    int windows;
};
std::vector<HeardRun> runsHeard(const std::vector<int>& windows) {
    std::vector<HeardRun> runs;
    for (size_t i = 0; i < windows.size();) {
        size_t end = i;
        while (end < windows.size() && windows[end] == windows[i]) ++end;
        if (windows[i] >= 0 && end - i >= 2) {
            if (!runs.empty() && runs.back().segment == windows[i])
                runs.back().windows += static_cast<int>(end - i);
            else
                runs.push_back({windows[i], static_cast<int>(end - i)});
        }
        i = end;
    }
    return runs;
}

class SoundTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        capture = captureFile();
        if (capture.empty()) GTEST_SKIP() << "no sound sink in this run";
        // The sink starts its file afresh each time a player opens the device; it is
        // emptied here as well, so that nothing of an earlier test is heard.
        std::ofstream(capture, std::ios::binary | std::ios::trunc);
    }
    // Waits a little for the mixer to write what it has, then reads it.
    std::string heard() {
        ::Sleep(400);
        const std::string raw = capturedFrom(capture, 0);
        std::string trace;
        for (int s : segmentsHeard(raw, 6)) trace += s < 0 ? '.' : static_cast<char>('0' + s);
        RecordProperty("heard", trace);
        return raw;
    }
    TestMovie narratedMovie(const std::string& narrationWav, int frames, int delayMs) {
        TestMovieShape shape{frames, delayMs};
        shape.narration = narrationWav;
        return makeTestMovie(shape);
    }

    std::string capture;
    driver::Process player;
};

TEST_F(SoundTest, NarrationPlaysWithThePicturesAndFollowsASeek) {
    // Six half-second tones over a three-second movie; the bar is clicked at 60 %,
    // that is frame 35 of 60, 1 750 ms into the narration: in the fourth tone.
    std::vector<std::pair<double, uint32_t>> tones;
    for (int k = 0; k < 6; ++k) tones.push_back({segmentTone(k), 500});
    TestMovie movie = narratedMovie(toneSequence(tones), 60, 50);
    ASSERT_TRUE(player.start(packedPlayer("narrated.exe", movie.bytes)));
    HWND main = waitForMainWindow(player);
    HWND view = waitForView(player);
    ASSERT_TRUE(main && view);
    HWND bar = ::GetDlgItem(main, kProgressControl);
    ASSERT_TRUE(driver::waitUntil([&] { return ::SendMessageA(bar, PBM_GETPOS, 0, 0) >= 8; }));
    RECT client{};
    ::GetClientRect(bar, &client);
    const int x = client.right * 60 / 100 + 1;
    ::PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    ::PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
    ASSERT_TRUE(driver::waitForWindowGone(view, 15000)) << "the run did not end";

    const std::vector<HeardRun> runs = runsHeard(segmentsHeard(heard(), 6));
    ASSERT_GE(runs.size(), 3u) << "too little was heard";
    EXPECT_EQ(runs.front().segment, 0) << "the narration starts with the movie";
    // Nothing goes back, and the narration plays to its end.
    for (size_t i = 1; i < runs.size(); ++i) EXPECT_GT(runs[i].segment, runs[i - 1].segment);
    EXPECT_EQ(runs.back().segment, 5) << "to the end";
    EXPECT_NEAR(runs[runs.size() - 2].windows, 10, 3) << "the fifth tone whole: 500 ms";
    // How far the narration got before the click took effect depends on the
    // machine; where it went does not: the fourth tone is heard from 1 750 ms, its
    // last 250 ms only, never whole.
    const auto fourth = std::find_if(runs.begin(), runs.end(), [](const HeardRun& r) { return r.segment == 3; });
    ASSERT_NE(fourth, runs.end()) << "the fourth tone was not heard";
    EXPECT_NEAR(fourth->windows, 5, 2) << "the narration after the seek starts at 1 750 ms";
    closePlayer(player);
}

TEST_F(SoundTest, AHoldPausesTheNarration) {
    // Six half-second tones; frame 15 of 30 (750 ms, in the middle of the second
    // tone) is held for two seconds with the narration paused: the narration stops
    // there and goes on from where it stood. A run that reaches the frame late
    // makes up the time from the hold, so the hold is long enough to be heard on
    // a busy machine too.
    std::vector<std::pair<double, uint32_t>> tones;
    for (int k = 0; k < 6; ++k) tones.push_back({segmentTone(k), 500});
    TestMovieShape shape{30, 50};
    shape.narration = toneSequence(tones);
    shape.holdAt = 15;
    shape.holdMs = 2000;
    TestMovie movie = makeTestMovie(shape);
    ASSERT_TRUE(player.start(packedPlayer("held.exe", movie.bytes), {"/q"}));
    ASSERT_TRUE(player.waitForExit());
    const std::vector<int> windows = segmentsHeard(heard(), 6);
    size_t first = 0, last = windows.size();
    while (first < last && windows[first] < 0) ++first;
    while (last > first && windows[last - 1] < 0) --last;
    ASSERT_LT(first, last) << "nothing was heard";
    // The longest quiet stretch within the narration, and the tones either side.
    size_t gapStart = 0, gapLength = 0;
    for (size_t i = first; i < last;) {
        size_t end = i;
        while (end < last && windows[end] < 0) ++end;
        if (end - i > gapLength) {
            gapStart = i;
            gapLength = end - i;
        }
        i = std::max(end, i + 1);
    }
    ASSERT_GE(gapLength, 4u) << "the narration did not stop for the hold";
    // The sink's device keeps no time: Wine mixes the narration ahead of its play
    // cursor, and on the pause it either keeps its mixing point or goes back to
    // the cursor (750 ms, the second tone). Either way the narration neither
    // starts again from the top nor skips ahead after the hold.
    const int before = windows[gapStart - 1], after = windows[gapStart + gapLength];
    EXPECT_GE(after, 1) << "the narration started again after the hold";
    EXPECT_LE(after, before + 1) << "tone " << before << " before the hold, " << after << " after it";
    EXPECT_EQ(windows[first], 0) << "from the start";
}

TEST_F(SoundTest, ARecordedClickPlaysItsEffectOnce) {
    // A button goes down at frame 5 and up at frame 15: one click, not two.
    TestMovieShape shape{30, 50};
    shape.clickAt = 5;
    shape.releaseAt = 15;
    shape.effect0 = toneSequence({{segmentTone(4), 150}}, 22050);
    TestMovie movie = makeTestMovie(shape);
    ASSERT_TRUE(player.start(packedPlayer("click.exe", movie.bytes), {"/q"}));
    ASSERT_TRUE(player.waitForExit());
    const std::vector<HeardRun> runs = runsHeard(segmentsHeard(heard(), 6));
    ASSERT_EQ(runs.size(), 1u) << "heard " << runs.size() << " clicks";
    EXPECT_EQ(runs[0].segment, 4);
    // The effect's buffer is its own length; a device that mixes faster than real
    // time may hear it round once more before the silence behind it is written.
    EXPECT_GE(runs[0].windows * 50, 100);
    EXPECT_LE(runs[0].windows * 50, 400);
}

TEST_F(SoundTest, TemporaryFilesGoWhenThePlayerCloses) {
    TestMovie movie = narratedMovie(toneSequence({{segmentTone(1), 4000}}), 40, 100);
    ASSERT_TRUE(player.start(packedPlayer("cleanup.exe", movie.bytes)));
    ASSERT_TRUE(waitForView(player));
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string narration = std::string(folder) + "qltcleanup_Narration.wav";
    EXPECT_NE(::GetFileAttributesA(narration.c_str()), INVALID_FILE_ATTRIBUTES) << narration;
    closePlayer(player);
    EXPECT_EQ(::GetFileAttributesA(narration.c_str()), INVALID_FILE_ATTRIBUTES) << "left behind: " << narration;
}

// Run on their own by the test run, without a sound device (no ALSA device, and
// Wine's sound drivers not loaded), so that DirectSound cannot open.
TEST_F(PlayerTest, WithoutASoundDeviceTheMoviePlaysSilentlyToItsEnd) {
    ASSERT_TRUE(captureFile().empty()) << "this run has a sound sink: run it without one";
    TestMovieShape shape{10, 100};
    shape.narration = toneSequence({{segmentTone(1), 1000}});
    TestMovie movie = makeTestMovie(shape);
    driver::Process player;
    ASSERT_TRUE(player.start(packedPlayer("silent.exe", movie.bytes), {"/q"}));
    std::string text;
    HWND box = waitForBox(player, "Tavrix", text);
    ASSERT_TRUE(box) << "no report after the retries";
    EXPECT_EQ(text, kNoSoundDeviceText);
    ASSERT_TRUE(driver::pressButton(box, "OK"));
    EXPECT_TRUE(player.waitForExit()) << "the movie did not play to its end";
    EXPECT_EQ(player.exitCode(), 0u);
}

TEST_F(PlayerTest, WithoutASoundDeviceAMovieWithNoSoundPlaysUnattendedWithoutAReport) {
    ASSERT_TRUE(captureFile().empty()) << "this run has a sound sink: run it without one";
    TestMovie movie = makeTestMovie({10, 100});
    driver::Process player;
    ASSERT_TRUE(player.start(packedPlayer("mute.exe", movie.bytes), {"/q"}));
    bool sawBox = false;
    driver::waitUntil([&] {
        sawBox = sawBox || driver::findWindow(player.id(), kDialogClass, "Tavrix") != nullptr;
        return sawBox || !player.running();
    }, 20000);
    EXPECT_FALSE(sawBox) << "a report held up the run";
    EXPECT_TRUE(player.waitForExit()) << "the movie did not play to its end";
    EXPECT_EQ(player.exitCode(), 0u);
}

}  // namespace
}  // namespace quillet::e2e
