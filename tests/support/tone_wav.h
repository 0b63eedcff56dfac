#pragma once
// WAV files of sine tones for the sound tests: one tone, or tones one after another.

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "player/audio/wav_file.h"

namespace quillet::testing {

// Mono tones in sequence, each (frequency, milliseconds); a frequency of 0 is
// silence. 16-bit samples at amplitude (0 to 1), or 8-bit ones.
inline std::string toneSequenceWav(const std::vector<std::pair<double, uint32_t>>& tones, uint32_t rate,
                                   uint16_t bits = 16, double amplitude = 0.3) {
    std::string samples;
    for (const auto& [frequency, ms] : tones) {
        const uint32_t count = static_cast<uint32_t>(uint64_t{rate} * ms / 1000);
        for (uint32_t i = 0; i < count; ++i) {
            const double wave = frequency > 0 ? amplitude * std::sin(2 * 3.14159265358979 * frequency * i / rate) : 0;
            if (bits == 8) {
                samples += static_cast<char>(128 + static_cast<int>(127 * wave));
                continue;
            }
            const auto value = static_cast<int16_t>(32767 * wave);
            samples += static_cast<char>(value & 0xFF);
            samples += static_cast<char>((value >> 8) & 0xFF);
        }
    }
    return pcmWavHeader(1, rate, bits, static_cast<uint32_t>(samples.size())) + samples;
}

inline std::string toneWav(uint32_t rate, double seconds, double frequency, uint16_t bits = 16,
                           double amplitude = 0.3) {
    return toneSequenceWav({{frequency, static_cast<uint32_t>(seconds * 1000)}}, rate, bits, amplitude);
}

}  // namespace quillet::testing
