#include "player/audio/sound_tracks.h"

#include <algorithm>

namespace quillet {

SoundTrackSet::SoundTrackSet(SoundSystem& system, SoundTrackHost& host) : system_(system), host_(host) {}

SoundTrackSet::~SoundTrackSet() { release(); }

void SoundTrackSet::openDevice(bool somethingToPlay) {
    device_ = std::make_unique<SoundDevice>(system_, [&host = host_] { return host.nowMs(); });
    const int retries = somethingToPlay ? kDeviceRetries : 0;
    for (int attempt = 0; attempt <= retries; ++attempt) {
        if (device_->open(host_.window())) {
            deviceOk_ = true;
            return;
        }
        if (attempt < retries) host_.waitBeforeRetry();
    }
    deviceOk_ = false;
    // A movie with nothing to play plays the same without a device; a box about
    // one would only hold up an unattended run.
    if (somethingToPlay) host_.report(kNoSoundDeviceText);
}


bool SoundTrackSet::loadNarration(const std::string& path, bool embedded) {
    narrationPath_ = path;
    if (deviceOk_ && device_->load(ChannelKind::Narration, path)) {
        narrationPresent_ = true;
        narrationDuration_ = device_->duration(ChannelKind::Narration);
        return true;
    }
    if (deviceOk_) host_.report(kSoundNotPlayableText + path);
    narrationPresent_ = false;
    if (!embedded) narrationEmbedded_ = false;
    return false;
}

bool SoundTrackSet::loadBackground(const std::string& path) {
    if (deviceOk_ && device_->load(ChannelKind::Background, path)) {
        if (path != backgroundPath_) backgroundCreated_ = false;
        backgroundPath_ = path;
        backgroundPresent_ = true;
        return true;
    }
    if (deviceOk_) host_.report(kSoundNotPlayableText + path);
    backgroundPresent_ = false;
    backgroundEmbedded_ = false;
    backgroundEnabled_ = false;
    return false;
}

void SoundTrackSet::applyVolumes() {
    if (!deviceOk_) return;
    // Attenuations are 0 or below; a louder value is never applied.
    if (narrationVolume_ <= 0) device_->setVolume(ChannelKind::Narration, narrationVolume_);
    if (backgroundVolume_ <= 0) device_->setVolume(ChannelKind::Background, backgroundVolume_);
}

void SoundTrackSet::release() {
    if (device_) {
        device_->stop(true, true, true, true, true, true);
        device_.reset();
    }
    for (const std::string& path : tempFiles_) host_.deleteFile(path);
    tempFiles_.clear();
    records_.clear();
    for (std::string& path : effectPaths_) path.clear();
    section_ = SoundSectionHeader();
    narrationPresent_ = backgroundPresent_ = effectsPresent_ = false;
    narrationEmbedded_ = backgroundEmbedded_ = effectsEmbedded_ = true;
    narrationEnabled_ = backgroundEnabled_ = true;
    narrationCreated_ = backgroundCreated_ = effectsCreated_ = false;
    narrationPath_.clear();
    backgroundPath_.clear();
    narrationDuration_ = 0;
    position_ = 0;
    lastTickValue_ = 0;
    lastTickFromMs_ = 0;
    lastClock_ = -1;
}

void SoundTrackSet::start(bool playBackground, bool playNarration) {
    if (!deviceOk_ || !device_) return;
    applyVolumes();
    if (narrationPresent_ && playNarration && position_ < narrationDuration_)
        device_->play(false, true, false, false, false, false);
    if (backgroundPresent_ && playBackground) device_->play(true, false, false, false, false, true);
}

void SoundTrackSet::stop(bool stopBackground, bool stopNarration, bool finalStop) {
    if (!deviceOk_ || !device_) return;
    if (narrationPresent_ && narrationEnabled_ && stopNarration)
        device_->stop(false, true, false, true, true, finalStop);
    if (backgroundPresent_ && backgroundEnabled_ && stopBackground)
        device_->stop(true, false, true, true, true, finalStop);
}

void SoundTrackSet::stopAttachedSounds() {
    if (deviceOk_ && device_) device_->stop(false, false, true, true, true, false);
}

void SoundTrackSet::seek(uint32_t narrationMs, int64_t backgroundMs) {
    position_ = narrationMs;
    if (!deviceOk_ || !device_) return;
    if (narrationPresent_ && narrationEnabled_) device_->seek(ChannelKind::Narration, narrationMs);
    if (backgroundPresent_ && backgroundEnabled_ && backgroundMs != -1) {
        const uint64_t duration = std::max<uint32_t>(device_->duration(ChannelKind::Background), 1);
        device_->seek(ChannelKind::Background, static_cast<uint32_t>(static_cast<uint64_t>(backgroundMs) % duration));
    }
}

int64_t SoundTrackSet::narrationClock() {
    if (!deviceOk_ || !device_ || !narrationEnabled_) return -1;
    // The counter moves only while the channel's timer runs. Without one the
    // narration either will not start (it is too short, or the position is past its
    // end) or its timer could not be made: a counter that never moves would hold
    // the frames for good, so the caller is told to keep time by itself.
    const SoundChannel* channel = device_->channel(ChannelKind::Narration);
    if (!channel) return -1;
    if (!channel->hasTimer() && (channel->playing() || position_ >= narrationDuration_)) return -1;
    const uint32_t tick = channel->elapsedMs();
    if (!smoothClock_) return tick;
    const uint64_t tickAt = channel->lastTickAtMs();
    const uint64_t now = host_.nowMs();
    if (tick != lastTickValue_ || lastClock_ < 0) {
        // A new tick counts from when it came: the run may have slept through it,
        // and the clock would fall behind by as long. The first reading counts from
        // now, since the latest tick may be from a timer that has ended since.
        lastTickValue_ = tick;
        lastTickFromMs_ = lastClock_ >= 0 && tickAt != 0 && tickAt <= now ? tickAt : now;
    }
    const uint64_t since = now < lastTickFromMs_ ? 0 : std::min<uint64_t>(now - lastTickFromMs_, kChannelTimerPeriodMs);
    lastClock_ = std::max<int64_t>(lastClock_, static_cast<int64_t>(tick) + static_cast<int64_t>(since));
    return lastClock_;
}

void SoundTrackSet::playEffect(int number) {
    if (!deviceOk_ || !device_ || !effectsPresent_ || number < 0 || number >= kEffectSlots) return;
    const std::string& path = effectPaths_[static_cast<size_t>(number)];
    if (path.empty()) return;
    const bool key = number == kKeyEffect;
    if (!device_->load(key ? ChannelKind::KeyEffect : ChannelKind::Effect, path)) return;
    device_->play(false, false, false, !key, key, false);
}

void SoundTrackSet::playObjectSound(const std::string& path, int32_t volume) {
    if (!deviceOk_ || !device_ || path.empty()) return;
    if (!device_->load(ChannelKind::ObjectSound, path)) return;
    device_->setVolume(ChannelKind::ObjectSound, volume);
    device_->play(false, false, true, false, false, false);
}

}  // namespace quillet
