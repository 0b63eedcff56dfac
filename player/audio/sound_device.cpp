#include "player/audio/sound_device.h"

namespace quillet {

bool SoundDevice::open(void* window) {
    close();
    output_ = system_.open(window);
    return output_ != nullptr;
}

void SoundDevice::close() {
    for (auto& channel : channels_) channel.reset();
    output_.reset();
}

bool SoundDevice::load(ChannelKind kind, const std::string& path) {
    auto& slot = channels_[index(kind)];
    slot.reset();
    if (!output_) return false;
    auto channel = std::make_unique<SoundChannel>(*output_);
    if (!channel->load(path)) return false;
    slot = std::move(channel);
    return true;
}

void SoundDevice::unload(ChannelKind kind) { channels_[index(kind)].reset(); }

bool SoundDevice::play(bool background, bool narration, bool objectSound, bool effect,
                       bool keyEffect, bool loop) {
    const bool selected[kChannelKinds] = {narration, background, objectSound, effect, keyEffect};
    for (size_t i = 0; i < kChannelKinds; ++i)
        if (selected[i] && channels_[i]) channels_[i]->play(loop);
    return true;
}

bool SoundDevice::stop(bool background, bool narration, bool objectSound, bool effect,
                       bool keyEffect, bool final) {
    const bool selected[kChannelKinds] = {narration, background, objectSound, effect, keyEffect};
    for (size_t i = 0; i < kChannelKinds; ++i)
        if (selected[i] && channels_[i]) channels_[i]->stop(final);
    return true;
}

bool SoundDevice::setVolume(ChannelKind kind, int32_t attenuation) {
    SoundChannel* target = channel(kind);
    return target && target->setVolume(attenuation);
}

void SoundDevice::seek(ChannelKind kind, uint32_t ms) {
    if (SoundChannel* target = channel(kind)) target->seek(ms);
}

uint32_t SoundDevice::duration(ChannelKind kind) const {
    SoundChannel* target = channel(kind);
    return target ? target->durationMs() : 0;
}

uint32_t SoundDevice::elapsed(ChannelKind kind) const {
    SoundChannel* target = channel(kind);
    return target ? target->elapsedMs() : 0;
}

}  // namespace quillet
