// The channel's feeding logic against a buffer and timer of the test's own: the
// buffer is plain memory whose play cursor the test moves.

#include "player/audio/sound_channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "player/audio/sound_device.h"
#include "tests/support/test_sound_output.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

using testing::MemoryBuffer;
using testing::TestOutput;
using testing::TestSystem;

class SoundChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / "sound_channel_test";
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // A WAV of byteCount data bytes whose byte i is i % 251 + 1 (never silence).
    std::string makeWav(const char* name, uint16_t bits, uint32_t rate, uint32_t byteCount,
                        uint16_t channels = 1) {
        std::string wav = pcmWavHeader(channels, rate, bits, byteCount);
        for (uint32_t i = 0; i < byteCount; ++i) wav += static_cast<char>(i % 251 + 1);
        std::string path = (root_ / name).string();
        std::ofstream(path, std::ios::binary) << wav;
        return path;
    }
    static uint8_t dataByte(uint32_t i) { return static_cast<uint8_t>(i % 251 + 1); }

    fs::path root_;
    TestOutput output;
};

TEST_F(SoundChannelTest, BufferHoldsAtMostTwoSeconds) {
    SoundChannel oneSecond(output);
    ASSERT_TRUE(oneSecond.load(makeWav("one.wav", 16, 22050, 44100)));
    EXPECT_EQ(oneSecond.bufferBytes(), 44100u);
    EXPECT_EQ(output.format.bytesPerSecond, 44100u);
    EXPECT_EQ(output.format.blockAlign, 2);
    EXPECT_EQ(oneSecond.durationMs(), 1000u);
    EXPECT_TRUE(oneSecond.prefilled());

    SoundChannel tenSeconds(output);
    ASSERT_TRUE(tenSeconds.load(makeWav("ten.wav", 16, 22050, 441000)));
    EXPECT_EQ(tenSeconds.bufferBytes(), 88200u);
    // The prefill holds the first two seconds.
    EXPECT_EQ(output.last->bytes[0], dataByte(0));
    EXPECT_EQ(output.last->bytes[88199], dataByte(88199));
}

TEST_F(SoundChannelTest, AShortSoundIsFollowedBySilenceNotByItself) {
    // A 150 ms click: a mixer that reads up to a second ahead before the first tick
    // hears the click once, then silence, never the click again from the wrap.
    SoundChannel click(output);
    ASSERT_TRUE(click.load(makeWav("click.wav", 16, 22050, 6615)));
    EXPECT_EQ(click.bufferBytes(), 44100u);
    const std::vector<uint8_t>& bytes = output.last->bytes;
    EXPECT_EQ(bytes[6614], dataByte(6614));
    EXPECT_EQ(std::count(bytes.begin() + 6615, bytes.end(), 0), 44100 - 6615);
    ASSERT_TRUE(click.play(false));
    output.last->advance(40000);
    click.tick();
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 44100) << "the tick wrote silence over the click";
}

TEST_F(SoundChannelTest, SeekSetsTheDataPosition) {
    SoundChannel channel(output);
    ASSERT_TRUE(channel.load(makeWav("seek.wav", 16, 22050, 441000)));
    ASSERT_TRUE(channel.seek(1500));
    EXPECT_EQ(channel.playedBytes(), 66150u);
    EXPECT_EQ(output.last->bytes[0], dataByte(66150));
    EXPECT_EQ(output.last->cursor, 0u);
    EXPECT_FALSE(channel.playing()) << "seeking does not start playing";
}

TEST_F(SoundChannelTest, SizesAndPositionsDoNotWrapAtTheTopOfTheRange) {
    // 8 bytes a frame at 268 435 457 Hz: 2 147 483 656 bytes a second, so that two
    // seconds, or a position far into the track, pass 32 bits.
    SoundChannel channel(output);
    ASSERT_TRUE(channel.load(makeWav("fast.wav", 32, 0x10000001, 1000, 2)));
    EXPECT_EQ(output.format.bytesPerSecond, 2147483656u);
    EXPECT_EQ(channel.bufferBytes(), 1000u);
    // Past the end: the buffer holds silence only.
    ASSERT_TRUE(channel.seek(UINT32_MAX));
    EXPECT_EQ(channel.playedBytes(), 1000u);
    EXPECT_EQ(std::count(output.last->bytes.begin(), output.last->bytes.end(), 0), 1000);
    ASSERT_TRUE(channel.seek(0));
    EXPECT_EQ(output.last->bytes[0], dataByte(0));
}

TEST_F(SoundChannelTest, AfterTheEndComesSilenceOfTheSampleKind) {
    for (uint16_t bits : {8, 16}) {
        SCOPED_TRACE(bits);
        // Three seconds: the buffer takes two, ticks feed the rest, then silence.
        SoundChannel channel(output);
        uint32_t perSecond = 1000 * (bits / 8);
        ASSERT_TRUE(channel.load(makeWav("end.wav", bits, 1000, 3 * perSecond)));
        MemoryBuffer& buffer = *output.last;
        ASSERT_TRUE(channel.play(false));
        for (int i = 0; i < 40; ++i) {
            buffer.advance(perSecond / 4);
            channel.tick();
        }
        const uint8_t silence = bits == 8 ? 0x80 : 0;
        // Ten seconds have played through a two-second buffer: every byte is now
        // silence but none written before the data ran out.
        size_t silent = std::count(buffer.bytes.begin(), buffer.bytes.end(), silence);
        EXPECT_EQ(silent, buffer.bytes.size());
        EXPECT_EQ(channel.elapsedMs(), 40u * 80);
    }
}

TEST_F(SoundChannelTest, TicksFeedTheFreePartInOrder) {
    SoundChannel channel(output);
    ASSERT_TRUE(channel.load(makeWav("order.wav", 8, 1000, 5000)));  // buffer 2000
    MemoryBuffer& buffer = *output.last;
    ASSERT_TRUE(channel.play(false));
    buffer.advance(300);
    channel.tick();
    EXPECT_EQ(channel.writeOffset(), 300u);
    EXPECT_EQ(buffer.bytes[0], dataByte(2000));
    EXPECT_EQ(buffer.bytes[299], dataByte(2299));
    EXPECT_EQ(buffer.bytes[300], dataByte(300)) << "not yet played: untouched";
    EXPECT_EQ(channel.elapsedMs(), 80u);
    buffer.advance(1900);  // wraps
    channel.tick();
    EXPECT_EQ(channel.writeOffset(), 200u);
    EXPECT_EQ(buffer.bytes[1999], dataByte(3999));
    EXPECT_EQ(buffer.bytes[100], dataByte(4100));
}

TEST_F(SoundChannelTest, LoopingRestartsAfterAShortGap) {
    SoundChannel channel(output);
    ASSERT_TRUE(channel.load(makeWav("loop.wav", 8, 1000, 2500)));  // buffer 2000
    MemoryBuffer& buffer = *output.last;
    ASSERT_TRUE(channel.play(true));
    buffer.advance(1000);
    channel.tick();  // 500 bytes left of the data, 1000 free: data, then silence
    EXPECT_EQ(buffer.bytes[0], dataByte(2000));
    EXPECT_EQ(buffer.bytes[499], dataByte(2499));
    EXPECT_EQ(buffer.bytes[500], 0x80);
    EXPECT_EQ(buffer.bytes[999], 0x80);
    EXPECT_EQ(channel.playedBytes(), 0u);
    buffer.advance(500);
    channel.tick();
    EXPECT_EQ(buffer.bytes[1000], dataByte(0)) << "the data starts over";
}

TEST_F(SoundChannelTest, PlayingChannelIgnoresPlay) {
    SoundChannel channel(output);
    ASSERT_TRUE(channel.load(makeWav("play.wav", 16, 8000, 32000)));
    ASSERT_TRUE(channel.play(false));
    output.last->advance(100);
    ASSERT_TRUE(channel.play(true));
    EXPECT_FALSE(channel.looping());
    EXPECT_EQ(output.last->cursor, 100u);
    EXPECT_EQ(output.timersStarted, 1);
    EXPECT_EQ(output.period, 80u);
}

TEST_F(SoundChannelTest, PauseAndResumeKeepTheBufferOffset) {
    SoundChannel channel(output);
    ASSERT_TRUE(channel.load(makeWav("pause.wav", 16, 8000, 64000)));
    MemoryBuffer& buffer = *output.last;
    ASSERT_TRUE(channel.play(false));
    buffer.advance(5000);
    channel.tick();
    buffer.advance(1234);
    ASSERT_TRUE(channel.stop(false));
    EXPECT_FALSE(buffer.playing);
    EXPECT_TRUE(channel.hasTimer()) << "a pause keeps the timer counting";
    uint32_t elapsed = channel.elapsedMs();
    std::vector<uint8_t> held = buffer.bytes;
    for (int i = 0; i < 3; ++i) channel.tick();
    EXPECT_EQ(channel.elapsedMs(), elapsed + 240);
    EXPECT_EQ(buffer.bytes, held) << "nothing is fed while paused";

    buffer.cursor = 0;  // wherever the device left it
    ASSERT_TRUE(channel.play(false));
    EXPECT_EQ(buffer.cursor, 6234u);
    EXPECT_EQ(buffer.bytes, held) << "the unplayed sound is still there";

    ASSERT_TRUE(channel.stop(true));
    EXPECT_FALSE(channel.hasTimer());
    EXPECT_EQ(channel.elapsedMs(), elapsed + 240) << "the counter keeps its value";
}

TEST_F(SoundChannelTest, UnreadableStatusFailsAndChangesNothing) {
    SoundChannel channel(output);
    ASSERT_TRUE(channel.load(makeWav("status.wav", 16, 8000, 16000)));
    output.last->statusReadable = false;
    EXPECT_FALSE(channel.play(true));
    EXPECT_FALSE(channel.playing());
    EXPECT_FALSE(channel.hasTimer());
    EXPECT_FALSE(channel.stop(true));
}

TEST_F(SoundChannelTest, DeviceSlots) {
    TestSystem system;
    SoundDevice device(system);
    EXPECT_FALSE(device.load(ChannelKind::Narration, makeWav("n.wav", 16, 8000, 8000))) << "not open";
    ASSERT_TRUE(device.open(nullptr));
    ASSERT_TRUE(device.load(ChannelKind::Narration, makeWav("n.wav", 16, 8000, 8000)));
    EXPECT_FALSE(device.load(ChannelKind::Background, (root_ / "missing.wav").string()));
    EXPECT_EQ(device.channel(ChannelKind::Background), nullptr);
    EXPECT_EQ(device.duration(ChannelKind::Narration), 500u);
    EXPECT_EQ(device.duration(ChannelKind::Effect), 0u);
    EXPECT_TRUE(device.play(true, true, true, true, true, false));
    EXPECT_TRUE(device.channel(ChannelKind::Narration)->playing());
    EXPECT_TRUE(device.setVolume(ChannelKind::Narration, -300));
    EXPECT_FALSE(device.setVolume(ChannelKind::KeyEffect, -300));
    // The background flag comes first: stopping only the background leaves narration.
    EXPECT_TRUE(device.stop(true, false, false, false, false, true));
    EXPECT_TRUE(device.channel(ChannelKind::Narration)->playing());
    device.unload(ChannelKind::Narration);
    EXPECT_EQ(device.elapsed(ChannelKind::Narration), 0u);

    system.available = false;
    EXPECT_FALSE(device.open(nullptr));
}

TEST_F(SoundChannelTest, AnEffectReplacedOnOneThreadWhileAnotherStopsIt) {
    // The playback thread loads a new effect at every click while the window's
    // thread pauses the effects: neither may act on a channel the other destroyed
    // (the sanitizer build sees a use after free).
    TestSystem system;
    SoundDevice device(system);
    ASSERT_TRUE(device.open(nullptr));
    const std::string click = makeWav("click.wav", 8, 8000, 800);
    std::atomic<bool> done{false};
    std::thread clicks([&] {
        for (int i = 0; i < 2000; ++i) {
            device.load(ChannelKind::Effect, click);
            device.play(false, false, false, true, false, false);
        }
        done.store(true);
    });
    int stops = 0;
    while (!done.load()) {
        device.stop(true, true, true, true, true, false);
        device.elapsed(ChannelKind::Effect);
        ++stops;
    }
    clicks.join();
    EXPECT_GT(stops, 0);
    EXPECT_TRUE(device.channel(ChannelKind::Effect));
}

}  // namespace
}  // namespace quillet
