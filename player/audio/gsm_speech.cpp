#include "player/audio/gsm_speech.h"

extern "C" {
#include <gsm.h>
}

#include <algorithm>

namespace quillet {
namespace {

// Owns a libgsm decoder.
class GsmDecoder {
public:
    GsmDecoder() : state_(gsm_create()) {}
    ~GsmDecoder() {
        if (state_) gsm_destroy(state_);
    }
    GsmDecoder(const GsmDecoder&) = delete;
    GsmDecoder& operator=(const GsmDecoder&) = delete;
    explicit operator bool() const { return state_ != nullptr; }
    // The samples are written whether or not the frame's signature was accepted.
    void decode(uint8_t* frame, gsm_signal* samples) { gsm_decode(state_, frame, samples); }

private:
    gsm state_;
};

}  // namespace

GsmDecodeResult decodeGsmTrack(uint32_t frameDataLength, uint32_t dataLimit,
                               const std::function<size_t(uint8_t* frame)>& readFrame,
                               const std::function<bool(const void* data, size_t length)>& write) {
    GsmDecodeResult result;
    GsmDecoder decoder;
    if (!decoder) return result;
    result.decoderCreated = true;

    uint8_t frame[kGsmFrameSize];
    gsm_signal samples[kGsmFrameSamples] = {};
    const uint32_t frames = frameDataLength / kGsmFrameSize;
    for (uint32_t i = 0; i < frames; ++i) {
        if (readFrame(frame) != kGsmFrameSize) {
            result.endedEarly = true;
            break;
        }
        decoder.decode(frame, samples);
        ++result.framesDecoded;
        uint64_t room = dataLimit - result.bytesWritten;
        size_t length = static_cast<size_t>(std::min<uint64_t>(kGsmFrameBytes, room));
        if (length == 0) break;  // the stored length is reached
        if (!write(samples, length)) {
            result.writeFailed = true;
            break;
        }
        result.bytesWritten += length;
    }
    return result;
}

}  // namespace quillet
