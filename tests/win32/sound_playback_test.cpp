// Playback on the narration's clock, with real DirectSound behind the ALSA file
// sink: the run keeps the pace of its frames, and holds pause the narration.

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "player/playback/track_sound.h"
#include "player/audio/win32/direct_sound.h"
#include "player/audio/win32/temporary_sound_files.h"
#include "player/audio/wav_file.h"
#include "player/bitmaps/win32/dib.h"
#include "player/playback/win32/player.h"
#include "run_recorder.h"
#include "tests/support/captured_sound.h"
#include "tests/support/tone_wav.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

class SoundPlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (testing::captureFile().empty()) GTEST_SKIP() << "no sound sink in this run";
        view = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 32, 32, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
        files.setWindow(view);
    }
    void TearDown() override {
        if (view) ::DestroyWindow(view);
    }
    // A movie of frames of delayMs with a narration, loaded as the player loads it.
    void load(int frames, int delayMs, const std::function<void(int, FrameSpec&)>& adjust = nullptr) {
        MovieWriter writer;
        writer.setScreen({32, 32, 32});
        for (int i = 0; i < frames; ++i) {
            FrameSpec spec(delayMs);
            if (adjust) adjust(i, spec);
            writer.addFrame(Picture(32, 32, 0x010101u * static_cast<uint32_t>(i)), spec);
        }
        writer.sounds().header.narrationPresent = writer.sounds().header.narrationEmbedded = 1;
        writer.sounds().narration = zlibSoundRecord(testing::toneWav(8000, 4.0, 900));
        const std::string sounds = encodeSoundSection(writer.sounds());
        MemoryMovieFile soundFile(sounds);
        BufferedReader in(soundFile, soundFile.size());
        ASSERT_TRUE(tracks.load(in, "C:\\movies\\paced.exe"));
        ASSERT_TRUE(tracks.narrationPresent());
        stream = writer.frameStream();
        MemoryMovieFile frameFile(stream);
        data.LoadFrameStream(frameFile, frameFile.size());
        data.BuildObjectTimeline({});
    }

    HWND view = nullptr;
    DirectSoundSystem system;
    TemporarySoundFiles files;
    SoundTrackSet tracks{system, files};
    TrackSound sound{tracks};
    std::string stream;
    GdiBitmapFactory bitmaps;
    FrameData data{bitmaps};
    CursorOverlay cursors;
    FrameCompositor compositor{data, cursors};
    testing::Recorder recorder;
};

TEST_F(SoundPlaybackTest, ANarratedRunKeepsThePaceOfItsFrames) {
    load(30, 50);
    Player player(data, compositor, recorder.window);
    player.setSound(&sound);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, true, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_NEAR(static_cast<double>(::GetTickCount() - start), 1500, 200);
}

TEST_F(SoundPlaybackTest, AHoldLengthensTheRunByItsTime) {
    load(30, 50, [](int i, FrameSpec& spec) { spec.holdMs = i == 10 ? 1000 : 0; });
    Player player(data, compositor, recorder.window);
    player.setSound(&sound);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(player.play(view, nullptr, nullptr, nullptr, true, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_NEAR(static_cast<double>(::GetTickCount() - start), 2500, 250);
}

}  // namespace
}  // namespace quillet
