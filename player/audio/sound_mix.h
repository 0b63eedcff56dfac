#pragma once
// Sounds placed on one clock and mixed into one stream: the narration in pieces, a
// looping background, effects and object sounds, each a clip at the mix's rate in
// interleaved stereo. Mixing a stretch of the clock costs only the sounds that
// sound in it, so a long movie is mixed piece by piece as it is encoded.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {

struct MixClip {
    std::vector<float> samples;  // interleaved left, right
    int64_t frames() const { return static_cast<int64_t>(samples.size() / 2); }
};

// The player's volumes are attenuations in hundredths of a decibel, 0 the full
// level; one above 0 is never applied.
float gainOfAttenuation(int32_t attenuation);

class SoundMix {
public:
    explicit SoundMix(uint32_t rate) : rate_(rate) {}

    uint32_t rate() const { return rate_; }
    int64_t samplesAt(int64_t ms) const { return ms * rate_ / 1000; }

    // Plays clip from its sample from, starting at sample at of the mix and ending
    // at until (exclusive) or at the clip's end; a looping clip starts over instead.
    // The clip must outlive the mix.
    void add(const MixClip& clip, int64_t at, int64_t until, int64_t from, float gain, bool loop);

    // The mix of samples [start, start + count) into out (2 x count floats),
    // clamped to the range a sample can hold.
    void mix(int64_t start, size_t count, float* out) const;

private:
    struct Voice {
        const MixClip* clip;
        int64_t at;
        int64_t until;
        int64_t from;
        float gain;
        bool loop;
    };
    uint32_t rate_;
    std::vector<Voice> voices_;  // in order of their start
};

}  // namespace quillet
