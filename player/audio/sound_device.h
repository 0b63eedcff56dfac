#pragma once
// The player's sound output: one output device and five channels, one per kind.
// The playback thread replaces the effect channels at every recorded click while
// the window's thread pauses and stops them: the slots are taken under a lock, so
// that no thread acts on a channel another has just destroyed.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "player/audio/sound_channel.h"
#include "player/audio/sound_output.h"

namespace quillet {

enum class ChannelKind { Narration = 0, Background = 1, ObjectSound = 2, Effect = 3, KeyEffect = 4 };
constexpr size_t kChannelKinds = 5;

class SoundDevice {
public:
    // now, when given, stamps the channels' ticks (see SoundChannel).
    explicit SoundDevice(SoundSystem& system, std::function<uint64_t()> now = {})
        : system_(system), now_(std::move(now)) {}
    ~SoundDevice() { close(); }
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    bool open(void* window);
    bool isOpen() const { return output_ != nullptr; }
    bool load(ChannelKind kind, const std::string& path);
    void unload(ChannelKind kind);
    // Starts the selected channels that exist (background first, as the player
    // passes them).
    bool play(bool background, bool narration, bool objectSound, bool effect, bool keyEffect, bool loop);
    bool stop(bool background, bool narration, bool objectSound, bool effect, bool keyEffect, bool final);
    bool setVolume(ChannelKind kind, int32_t attenuation);
    void seek(ChannelKind kind, uint32_t ms);
    uint32_t duration(ChannelKind kind) const;
    uint32_t elapsed(ChannelKind kind) const;
    // For the one thread that loads a kind and then uses it (the narration, loaded
    // while a movie opens), and for tests.
    SoundChannel* channel(ChannelKind kind) const;
    void close();

private:
    static size_t index(ChannelKind kind) { return static_cast<size_t>(kind); }

    SoundSystem& system_;
    std::function<uint64_t()> now_;
    std::unique_ptr<SoundOutput> output_;
    mutable std::mutex slots_;  // guards channels_ and output_
    std::array<std::unique_ptr<SoundChannel>, kChannelKinds> channels_;
};

}  // namespace quillet
