#include "player/audio/sound_mix.h"

#include <algorithm>
#include <cmath>

namespace quillet {

float gainOfAttenuation(int32_t attenuation) {
    if (attenuation >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, attenuation / 2000.0));
}

void SoundMix::add(const MixClip& clip, int64_t at, int64_t until, int64_t from, float gain, bool loop) {
    const int64_t length = clip.frames();
    if (length <= 0 || from < 0 || (!loop && from >= length)) return;
    if (!loop) until = std::min(until, at + (length - from));
    if (until <= at) return;
    const Voice voice{&clip, at, until, from % length, gain, loop};
    auto place = std::upper_bound(voices_.begin(), voices_.end(), at,
                                  [](int64_t t, const Voice& v) { return t < v.at; });
    voices_.insert(place, voice);
}

void SoundMix::mix(int64_t start, size_t count, float* out) const {
    std::fill(out, out + 2 * count, 0.0f);
    const int64_t end = start + static_cast<int64_t>(count);
    for (const Voice& voice : voices_) {
        if (voice.at >= end) break;
        if (voice.until <= start) continue;
        const int64_t from = std::max(start, voice.at);
        const int64_t to = std::min(end, voice.until);
        const int64_t length = voice.clip->frames();
        int64_t source = voice.from + (from - voice.at);
        if (voice.loop) source %= length;
        const float* samples = voice.clip->samples.data();
        for (int64_t t = from; t < to; ++t, ++source) {
            if (source >= length) source = 0;  // only a looping voice gets here
            float* o = out + 2 * (t - start);
            o[0] += voice.gain * samples[2 * source];
            o[1] += voice.gain * samples[2 * source + 1];
        }
    }
    for (size_t i = 0; i < 2 * count; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

}  // namespace quillet
