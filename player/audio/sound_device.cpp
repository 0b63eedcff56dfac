#include "player/audio/sound_device.h"

namespace quillet {

bool SoundDevice::open(void* window) {
    close();
    std::unique_ptr<SoundOutput> output = system_.open(window);
    std::lock_guard<std::mutex> lock(slots_);
    output_ = std::move(output);
    return output_ != nullptr;
}

void SoundDevice::close() {
    std::array<std::unique_ptr<SoundChannel>, kChannelKinds> ended;
    std::unique_ptr<SoundOutput> output;
    {
        std::lock_guard<std::mutex> lock(slots_);
        ended.swap(channels_);
        output = std::move(output_);
    }
    // The channels go before the output that made their buffers.
    for (auto& channel : ended) channel.reset();
}

bool SoundDevice::load(ChannelKind kind, const std::string& path) {
    std::lock_guard<std::mutex> lock(slots_);
    // The old channel ends first, its timer with it: it may be playing the file
    // the new one is about to open.
    channels_[index(kind)].reset();
    if (!output_) return false;
    auto channel = std::make_unique<SoundChannel>(*output_, now_);
    if (!channel->load(path)) return false;
    channels_[index(kind)] = std::move(channel);
    return true;
}

void SoundDevice::unload(ChannelKind kind) {
    std::lock_guard<std::mutex> lock(slots_);
    channels_[index(kind)].reset();
}

bool SoundDevice::play(bool background, bool narration, bool objectSound, bool effect,
                       bool keyEffect, bool loop) {
    const bool selected[kChannelKinds] = {narration, background, objectSound, effect, keyEffect};
    std::lock_guard<std::mutex> lock(slots_);
    for (size_t i = 0; i < kChannelKinds; ++i)
        if (selected[i] && channels_[i]) channels_[i]->play(loop);
    return true;
}

bool SoundDevice::stop(bool background, bool narration, bool objectSound, bool effect,
                       bool keyEffect, bool final) {
    const bool selected[kChannelKinds] = {narration, background, objectSound, effect, keyEffect};
    std::lock_guard<std::mutex> lock(slots_);
    for (size_t i = 0; i < kChannelKinds; ++i)
        if (selected[i] && channels_[i]) channels_[i]->stop(final);
    return true;
}

bool SoundDevice::setVolume(ChannelKind kind, int32_t attenuation) {
    std::lock_guard<std::mutex> lock(slots_);
    SoundChannel* target = channels_[index(kind)].get();
    return target && target->setVolume(attenuation);
}

void SoundDevice::seek(ChannelKind kind, uint32_t ms) {
    std::lock_guard<std::mutex> lock(slots_);
    if (SoundChannel* target = channels_[index(kind)].get()) target->seek(ms);
}

uint32_t SoundDevice::duration(ChannelKind kind) const {
    std::lock_guard<std::mutex> lock(slots_);
    SoundChannel* target = channels_[index(kind)].get();
    return target ? target->durationMs() : 0;
}

uint32_t SoundDevice::elapsed(ChannelKind kind) const {
    std::lock_guard<std::mutex> lock(slots_);
    SoundChannel* target = channels_[index(kind)].get();
    return target ? target->elapsedMs() : 0;
}

SoundChannel* SoundDevice::channel(ChannelKind kind) const {
    std::lock_guard<std::mutex> lock(slots_);
    return channels_[index(kind)].get();
}

}  // namespace quillet
