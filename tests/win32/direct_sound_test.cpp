// Sound channels over real DirectSound. With the ALSA file sink set up by the test
// run, what DirectSound mixed lands in a raw file that the tests analyse; without
// it there is no device.

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "player/audio/win32/direct_sound.h"
#include "player/audio/sound_device.h"
#include "tests/support/captured_sound.h"
#include "tests/support/tone_wav.h"

namespace quillet {
namespace {

using testing::capturedBytes;
using testing::capturedFrom;
using testing::captureFile;
using testing::leftChannel;

std::string tempPath(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// A mono tone of the given length, 16-bit or 8-bit, as a file.
std::string writeTone(const char* name, uint32_t rate, double seconds, double frequency, uint16_t bits = 16) {
    const std::string path = tempPath(name);
    std::ofstream(path, std::ios::binary) << testing::toneWav(rate, seconds, frequency, bits, 0.37);
    return path;
}

struct Sounding {
    size_t frames = 0;      // from the first to the last loud sample
    double cycles = 0;      // zero crossings / 2 within that span
    size_t loudFrames = 0;  // samples above a small threshold
};

Sounding analyse(const std::string& raw) {
    std::vector<float> samples = leftChannel(raw);
    size_t first = samples.size(), last = 0, loud = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) > 0.05f) {
            first = std::min(first, i);
            last = i;
            ++loud;
        }
    }
    Sounding result;
    if (first >= last) return result;
    result.frames = last - first + 1;
    result.loudFrames = loud;
    size_t crossings = 0;
    for (size_t i = first + 1; i <= last; ++i)
        if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
    result.cycles = crossings / 2.0;
    return result;
}

class DirectSoundTest : public ::testing::Test {
protected:
    DirectSoundSystem system;
};

TEST_F(DirectSoundTest, NoDeviceOpensNothing) {
    if (!captureFile().empty()) GTEST_SKIP() << "a sound device is set up for this run";
    SoundDevice device(system);
    EXPECT_FALSE(device.open(::GetDesktopWindow()));
    EXPECT_FALSE(device.load(ChannelKind::Narration, writeTone("quiet.wav", 22050, 0.5, 1000)));
    EXPECT_TRUE(device.play(true, true, true, true, true, false));
    EXPECT_EQ(device.elapsed(ChannelKind::Narration), 0u);
}

TEST_F(DirectSoundTest, ToneIsPlayedForItsLength) {
    const std::string capture = captureFile();
    if (capture.empty()) GTEST_SKIP() << "no sound sink in this run";
    SoundDevice device(system);
    ASSERT_TRUE(device.open(::GetDesktopWindow()));
    ASSERT_TRUE(device.load(ChannelKind::Narration, writeTone("tone.wav", 22050, 1.0, 1000)));
    EXPECT_EQ(device.channel(ChannelKind::Narration)->bufferBytes(), 44100u);
    EXPECT_EQ(device.duration(ChannelKind::Narration), 1000u);

    uint64_t before = capturedBytes(capture);
    device.play(false, true, false, false, false, false);
    ::Sleep(1800);
    uint32_t elapsed = device.elapsed(ChannelKind::Narration);
    device.close();
    ::Sleep(300);

    // The counter follows the timer: about 22 ticks of 80 ms.
    EXPECT_GE(elapsed, 1200u);
    EXPECT_LE(elapsed, 2400u);
    Sounding sound = analyse(capturedFrom(capture, before));
    ASSERT_GT(sound.frames, 0u) << "nothing was played";
    // One second at the mixer's rate (44 100 or 48 000 frames), holding 1 000 cycles.
    EXPECT_GT(sound.frames, 40000u);
    EXPECT_LT(sound.frames, 52000u);
    EXPECT_NEAR(sound.cycles, 1000, 30);
    EXPECT_GT(sound.loudFrames, sound.frames / 2);
}

TEST_F(DirectSoundTest, AfterTheEndTheOutputIsSilent) {
    const std::string capture = captureFile();
    if (capture.empty()) GTEST_SKIP() << "no sound sink in this run";
    for (uint16_t bits : {8, 16}) {
        SCOPED_TRACE(bits);
        SoundDevice device(system);
        ASSERT_TRUE(device.open(::GetDesktopWindow()));
        // A buffer of two seconds for a file of three: the ticks feed the last
        // second, then pad with silence (0x80 for 8-bit samples, 0 for 16-bit).
        ASSERT_TRUE(device.load(ChannelKind::Effect, writeTone("end.wav", 11025, 3.0, 500, bits)));
        uint64_t before = capturedBytes(capture);
        device.play(false, false, false, true, false, false);
        ::Sleep(4500);
        device.close();
        ::Sleep(300);
        std::vector<float> left = leftChannel(capturedFrom(capture, before));
        Sounding sound = analyse(capturedFrom(capture, before));
        ASSERT_GT(sound.frames, 100000u) << "the tone was not played";
        // Everything after the tone is quiet: wrong padding would sound as a
        // constant offset.
        size_t lastLoud = 0;
        for (size_t i = 0; i < left.size(); ++i)
            if (std::fabs(left[i]) > 0.05f) lastLoud = i;
        size_t after = left.size() - lastLoud;
        EXPECT_GT(after, 20000u) << "no time after the end was captured";
        float loudest = 0;
        for (size_t i = lastLoud + 100; i < left.size(); ++i) loudest = std::max(loudest, std::fabs(left[i]));
        EXPECT_LT(loudest, 0.01f);
    }
}

TEST_F(DirectSoundTest, PauseKeepsTheOffsetWhileTheCounterGrows) {
    if (captureFile().empty()) GTEST_SKIP() << "no sound sink in this run";
    SoundDevice device(system);
    ASSERT_TRUE(device.open(::GetDesktopWindow()));
    ASSERT_TRUE(device.load(ChannelKind::Background, writeTone("long.wav", 22050, 10.0, 440)));
    SoundChannel* channel = device.channel(ChannelKind::Background);
    EXPECT_EQ(channel->bufferBytes(), 88200u);
    device.play(true, false, false, false, false, true);
    ::Sleep(500);
    device.stop(true, false, false, false, false, false);
    uint32_t resume = channel->resumeCursor();
    uint32_t pausedAt = channel->elapsedMs();
    ::Sleep(400);
    EXPECT_GE(channel->elapsedMs(), pausedAt + 240) << "the counter goes on while paused";
    EXPECT_EQ(channel->resumeCursor(), resume);
    device.play(true, false, false, false, false, false);
    EXPECT_TRUE(channel->playing());
    device.close();
}

}  // namespace
}  // namespace quillet
