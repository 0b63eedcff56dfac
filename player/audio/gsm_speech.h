#pragma once
// GSM 06.10 speech tracks: 33-byte frames of 160 samples, decoded with libgsm into
// 16-bit PCM.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace quillet {

constexpr size_t kGsmFrameSize = 33;
constexpr size_t kGsmFrameSamples = 160;
constexpr size_t kGsmFrameBytes = kGsmFrameSamples * 2;

struct GsmDecodeResult {
    bool decoderCreated = false;
    size_t framesDecoded = 0;
    uint64_t bytesWritten = 0;
    bool endedEarly = false;  // a frame could not be read whole
    bool writeFailed = false;
};

// Decodes frameDataLength / 33 frames. readFrame fills 33 bytes and returns how
// many it got; write receives the samples, never more than dataLimit bytes in all.
GsmDecodeResult decodeGsmTrack(uint32_t frameDataLength, uint32_t dataLimit,
                               const std::function<size_t(uint8_t* frame)>& readFrame,
                               const std::function<bool(const void* data, size_t length)>& write);

}  // namespace quillet
