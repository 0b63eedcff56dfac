#include "tools/moviewriter/sound_records.h"

extern "C" {
#include <gsm.h>
}
#include <zlib.h>

#include <memory>

#include "common/byte_reader.h"
#include "player/audio/gsm_speech.h"
#include "player/audio/wav_file.h"

namespace quillet {
namespace {

constexpr int kStoredLevel = 9;

class GsmEncoder {
public:
    GsmEncoder() : state_(gsm_create()) {}
    ~GsmEncoder() {
        if (state_) gsm_destroy(state_);
    }
    GsmEncoder(const GsmEncoder&) = delete;
    GsmEncoder& operator=(const GsmEncoder&) = delete;
    explicit operator bool() const { return state_ != nullptr; }
    void encode(gsm_signal* samples, gsm_byte* frame) { gsm_encode(state_, samples, frame); }

private:
    gsm state_;
};

}  // namespace

std::string zlibSoundRecord(const std::string& wavFile) {
    uLongf length = compressBound(static_cast<uLong>(wavFile.size()));
    std::string packed(length, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &length, reinterpret_cast<const Bytef*>(wavFile.data()),
              static_cast<uLong>(wavFile.size()), kStoredLevel);
    packed.resize(length);
    std::string record;
    ByteWriter out(record);
    out.u32(static_cast<uint32_t>(wavFile.size()));
    out.u32(static_cast<uint32_t>(packed.size()));
    out.bytes(packed);
    return record;
}

bool speechSoundRecord(const std::string& wavFile, std::string& record, std::string& error) {
    WaveReader reader([&wavFile](const std::string&) -> std::unique_ptr<MovieFile> {
        return std::make_unique<MemoryMovieFile>(wavFile);
    });
    if (!reader.open("speech")) {
        error = "not a WAV file (error " + std::to_string(reader.lastError()) + ")";
        return false;
    }
    if (reader.channels() != 1 || reader.bitsPerSample() != 16) {
        error = "speech must be 16-bit mono";
        return false;
    }
    std::string pcm(reader.dataBytes(), '\0');
    pcm.resize(reader.read(pcm.data(), static_cast<uint32_t>(pcm.size())));
    GsmEncoder encoder;
    if (!encoder) {
        error = "no speech encoder";
        return false;
    }
    const size_t samples = pcm.size() / 2;
    const size_t frames = (samples + kGsmFrameSamples - 1) / kGsmFrameSamples;
    std::string frameData;
    frameData.reserve(frames * kGsmFrameSize);
    for (size_t f = 0; f < frames; ++f) {
        gsm_signal block[kGsmFrameSamples] = {};
        for (size_t i = 0; i < kGsmFrameSamples && f * kGsmFrameSamples + i < samples; ++i) {
            const size_t at = 2 * (f * kGsmFrameSamples + i);
            block[i] = static_cast<gsm_signal>(static_cast<uint8_t>(pcm[at]) | (static_cast<uint8_t>(pcm[at + 1]) << 8));
        }
        gsm_byte frame[kGsmFrameSize];
        encoder.encode(block, frame);
        frameData.append(reinterpret_cast<const char*>(frame), kGsmFrameSize);
    }
    record = pcmWavHeader(1, reader.samplesPerSecond(), 16, static_cast<uint32_t>(pcm.size()));
    ByteWriter out(record);
    out.u32(0);
    out.u32(static_cast<uint32_t>(frameData.size()));
    out.bytes(frameData);
    return true;
}

std::string encodeSoundSection(const StoredSounds& sounds, SoundSectionForm form) {
    std::string bytes = sounds.header.encode(form);
    ByteWriter out(bytes);
    const SoundSectionHeader& h = sounds.header;
    const bool allStored = form == SoundSectionForm::Below095;
    if (h.narrationPresent && (h.speechCompressed || h.narrationEmbedded || allStored)) out.bytes(sounds.narration);
    if (h.backgroundPresent && (h.speechCompressed || h.backgroundEmbedded || allStored)) out.bytes(sounds.background);
    if (h.effectsPresent && !allStored) {
        out.u32(static_cast<uint32_t>(sounds.effects.size()));
        for (const std::optional<std::string>& effect : sounds.effects) {
            out.u32(effect ? 1 : 0);
            if (effect && h.effectsEmbedded) out.bytes(*effect);
        }
    }
    return bytes;
}

}  // namespace quillet
