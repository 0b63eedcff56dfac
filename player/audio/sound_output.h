#pragma once
// What a sound channel needs of the platform: a looping secondary buffer it can lock
// and fill, and a periodic timer. DirectSound and the multimedia timer provide them
// on Windows; tests provide their own.

#include <cstdint>
#include <functional>
#include <memory>

#include "player/container/movie_file.h"

namespace quillet {

struct PcmFormat {
    uint16_t channels = 0;
    uint16_t bitsPerSample = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t bytesPerSecond = 0;
    uint16_t blockAlign = 0;
};

class SoundBuffer {
public:
    struct Regions {
        uint8_t* first = nullptr;
        uint32_t firstBytes = 0;
        uint8_t* second = nullptr;
        uint32_t secondBytes = 0;
    };

    virtual ~SoundBuffer() = default;
    // False when the status cannot be read.
    virtual bool isPlaying(bool& playing) = 0;
    virtual bool playCursor(uint32_t& cursor) = 0;
    virtual bool setPlayCursor(uint32_t cursor) = 0;
    // Locks bytes from offset; the range wraps into a second region at the end.
    virtual bool lock(uint32_t offset, uint32_t bytes, Regions& regions) = 0;
    virtual void unlock(const Regions& regions) = 0;
    // Plays in the buffer's own looping mode.
    virtual bool play() = 0;
    virtual bool stop() = 0;
    virtual bool setVolume(int32_t attenuation) = 0;
};

// A periodic callback. Destroying the timer ends it and waits for a tick that is
// running, so that no tick outlives it.
class PeriodicTimer {
public:
    virtual ~PeriodicTimer() = default;
};

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual std::unique_ptr<SoundBuffer> createBuffer(const PcmFormat& format, uint32_t bytes) = 0;
    virtual std::unique_ptr<PeriodicTimer> startTimer(uint32_t periodMs, std::function<void()> tick) = 0;
    virtual MovieFileOpener fileOpener() = 0;
};

// Opens the output device for a window; none when there is no device.
class SoundSystem {
public:
    virtual ~SoundSystem() = default;
    virtual std::unique_ptr<SoundOutput> open(void* window) = 0;
};

}  // namespace quillet
