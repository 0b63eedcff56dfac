#pragma once
// What the ALSA file sink captured of Wine's mixer: stereo frames of 32-bit floats
// (or 16-bit integers where the mixer works that way), read from an offset, with
// the left channel's loud spans and the tone in each stretch of it. The sink
// starts its file afresh whenever a process opens the device.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quillet::testing {

// The sink's file as a Windows path; empty when the run has no sink.
inline std::string captureFile() {
    const char* unixPath = std::getenv("WINE_SOUND_CAPTURE");
    if (!unixPath || !*unixPath) return std::string();
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

inline uint64_t capturedBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<uint64_t>(in.tellg()) : 0;
}

inline std::string capturedFrom(const std::string& path, uint64_t offset) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The left channel scaled to -1 .. 1.
inline std::vector<float> leftChannel(const std::string& raw) {
    const size_t floats = raw.size() / 4;
    const auto* asFloat = reinterpret_cast<const float*>(raw.data());
    bool isFloat = floats > 0;
    for (size_t i = 0; i < floats && isFloat; i += 7)
        isFloat = std::isfinite(asFloat[i]) && std::fabs(asFloat[i]) <= 2.0f;
    std::vector<float> left;
    if (isFloat) {
        for (size_t i = 0; i + 1 < floats; i += 2) left.push_back(asFloat[i]);
    } else {
        const auto* asShort = reinterpret_cast<const int16_t*>(raw.data());
        for (size_t i = 0; i + 1 < raw.size() / 2; i += 2) left.push_back(asShort[i] / 32768.0f);
    }
    return left;
}

// The tone of each window of the capture: its frequency from the zero crossings,
// or 0 for a quiet window.
inline std::vector<double> tonesPerWindow(const std::vector<float>& samples, uint32_t rate, uint32_t windowMs) {
    const size_t window = static_cast<size_t>(rate) * windowMs / 1000;
    std::vector<double> tones;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        size_t loud = 0, crossings = 0;
        for (size_t i = start; i < start + window; ++i) {
            if (std::fabs(samples[i]) > 0.05f) ++loud;
            if (i > start && (samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
        }
        tones.push_back(loud > window / 2 ? crossings / 2.0 * 1000.0 / windowMs : 0.0);
    }
    return tones;
}

}  // namespace quillet::testing
