#pragma once
// A sound output of the tests' own: buffers are plain memory whose play cursor the
// test moves, and timers tick only when the test calls the channel's tick.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "player/audio/sound_output.h"

namespace quillet::testing {

class MemoryBuffer : public SoundBuffer {
public:
    explicit MemoryBuffer(uint32_t size) : bytes(size, 0x55) {}
    bool isPlaying(bool& isOn) override {
        isOn = playing;
        return statusReadable;
    }
    bool playCursor(uint32_t& c) override {
        c = cursor;
        return true;
    }
    bool setPlayCursor(uint32_t c) override {
        cursor = c;
        return true;
    }
    bool lock(uint32_t offset, uint32_t n, Regions& regions) override {
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        regions.first = &bytes[offset];
        regions.firstBytes = std::min(n, size - offset);
        regions.secondBytes = n - regions.firstBytes;
        regions.second = regions.secondBytes ? &bytes[0] : nullptr;
        return true;
    }
    void unlock(const Regions&) override {}
    bool play() override {
        playing = true;
        return true;
    }
    bool stop() override {
        playing = false;
        return true;
    }
    bool setVolume(int32_t v) override {
        volume = v;
        return true;
    }
    // The device plays n bytes.
    void advance(uint32_t n) { cursor = (cursor + n) % static_cast<uint32_t>(bytes.size()); }

    std::vector<uint8_t> bytes;
    uint32_t cursor = 0;
    bool playing = false;
    bool statusReadable = true;
    int32_t volume = 1;  // what no call has set
};

class ManualTimer : public PeriodicTimer {};

class TestOutput : public SoundOutput {
public:
    std::unique_ptr<SoundBuffer> createBuffer(const PcmFormat& f, uint32_t n) override {
        format = f;
        auto buffer = std::make_unique<MemoryBuffer>(n);
        buffers.push_back(buffer.get());
        last = buffer.get();
        return buffer;
    }
    std::unique_ptr<PeriodicTimer> startTimer(uint32_t periodMs, std::function<void()>) override {
        period = periodMs;
        ++timersStarted;
        if (timersFail) return nullptr;
        return std::make_unique<ManualTimer>();
    }
    MovieFileOpener fileOpener() override {
        return [](const std::string& path) -> std::unique_ptr<MovieFile> { return StdioMovieFile::open(path); };
    }
    std::vector<MemoryBuffer*> buffers;
    MemoryBuffer* last = nullptr;  // the buffer made last
    PcmFormat format;              // and its format
    uint32_t period = 0;
    int timersStarted = 0;
    bool timersFail = false;
};

class TestSystem : public SoundSystem {
public:
    std::unique_ptr<SoundOutput> open(void*) override {
        ++opens;
        if (!available) return nullptr;
        auto output = std::make_unique<TestOutput>();
        last = output.get();
        return output;
    }
    bool available = true;
    int opens = 0;
    TestOutput* last = nullptr;  // the output opened last
};

}  // namespace quillet::testing
