#pragma once
// One channel of sound output: a buffer of at most two seconds that an 80 ms timer
// keeps filled from a WAV file.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "player/audio/sound_output.h"
#include "player/audio/wav_file.h"

namespace quillet {

constexpr uint32_t kChannelTimerPeriodMs = 80;
constexpr uint32_t kChannelBufferSeconds = 2;
// A sound shorter than a second still gets a second's buffer, silence behind it:
// the buffer always wraps, and a mixer that reads ahead of the play cursor, or a
// timer late on a busy machine, would otherwise play a short click again before
// the first tick has written silence over it. Formats above the byte limit (none
// a recorder writes) keep the sound's own length.
constexpr uint32_t kChannelMinimumBufferSeconds = 1;
constexpr uint32_t kChannelMinimumBufferLimit = 1u << 20;

class SoundChannel {
public:
    // now, when given, is the steady clock in milliseconds that stamps each tick.
    explicit SoundChannel(SoundOutput& output, std::function<uint64_t()> now = {})
        : output_(output), now_(std::move(now)) {}
    ~SoundChannel();
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    bool load(const std::string& path);
    // Starts (or resumes) the channel; a playing channel is left as it is.
    bool play(bool loop);
    // Pauses; final also ends the feeding timer.
    bool stop(bool final);
    bool seek(uint32_t ms);
    bool setVolume(int32_t attenuation);

    // The timer's work; public for the timer and for tests.
    void tick();

    uint32_t durationMs() const { return durationMs_; }
    uint32_t elapsedMs() const { return elapsedMs_.load(); }
    // When the latest tick of the running timer came, on the clock given; 0 before
    // its first or without a clock. Read after elapsedMs, it is that tick's time or
    // a later one's.
    uint64_t lastTickAtMs() const { return lastTickAtMs_.load(); }
    uint32_t bufferBytes() const { return bufferBytes_; }
    uint32_t writeOffset() const { return writeOffset_; }
    uint32_t playedBytes() const { return playedBytes_; }
    uint32_t resumeCursor() const { return resumeCursor_; }
    uint32_t dataPosition() const { return reader_ ? reader_->position() : 0; }
    bool playing() const { return playing_.load(); }
    bool looping() const { return looping_.load(); }
    bool prefilled() const { return prefilled_; }
    bool hasTimer() const { return timer_ != nullptr; }
    uint8_t silenceByte() const { return reader_ ? reader_->silenceByte() : 0; }

private:
    // Holds the busy flag for a play, stop or seek, so that no tick fills meanwhile.
    class BusyHold;

    bool prefill(uint32_t dataOffset);
    bool fillFromFile(uint32_t bytes);
    void fillSilence(uint32_t bytes);
    uint32_t freeSpace();

    SoundOutput& output_;
    std::function<uint64_t()> now_;
    std::unique_ptr<WaveReader> reader_;
    std::unique_ptr<SoundBuffer> buffer_;
    std::unique_ptr<PeriodicTimer> timer_;
    uint32_t bufferBytes_ = 0;
    uint32_t writeOffset_ = 0;
    uint32_t dataBytes_ = 0;
    uint32_t durationMs_ = 0;
    uint32_t playedBytes_ = 0;
    uint32_t resumeCursor_ = 0;
    uint32_t bytesPerSecond_ = 0;
    bool prefilled_ = false;
    bool pausedInPlace_ = false;  // stopped with the unplayed sound still in the buffer
    std::atomic<uint32_t> elapsedMs_{0};
    std::atomic<uint64_t> lastTickAtMs_{0};
    std::atomic<bool> playing_{false};
    std::atomic<bool> looping_{false};
    std::atomic<int> busy_{0};
};

}  // namespace quillet
