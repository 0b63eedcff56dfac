#include "player/audio/sound_tracks.h"

#include <algorithm>

#include "player/audio/gsm_speech.h"
#include "player/audio/wav_file.h"
#include "player/container/compressed_block.h"
#include "player/container/record_stream.h"

namespace quillet {
namespace {

constexpr int kTagReads = 100;
constexpr uint16_t kPcmTag = 1;
constexpr uint16_t kSpeechBits = 16;

}  // namespace

// One pass over the sound section: the twelve words, then each stored sound
// written to its file.
class SoundTrackSet::Loading {
public:
    Loading(SoundTrackSet& set, BufferedReader& in, const std::string& moviePath)
        : set_(set), in_(in), moviePath_(moviePath) {}

    bool run() {
        SoundSectionHeader& s = set_.section_;
        uint8_t words[SoundSectionHeader::kSize] = {};
        in_.fixed(words, sizeof words);
        if (!in_.ok()) return true;  // a cut section: no sounds, and nothing else to read
        s = SoundSectionHeader::decode(words);
        names_ = std::make_unique<SoundFileNames>(set_.host_.temporaryFolder(), moviePath_,
                                                  s.distNamingA && s.distNamingB, s.distSoundName != 0);
        set_.narrationEmbedded_ = s.narrationEmbedded || s.speechCompressed;
        set_.backgroundEmbedded_ = s.backgroundEmbedded || s.speechCompressed;
        set_.effectsEmbedded_ = s.effectsEmbedded != 0;
        set_.narrationVolume_ = s.narrationVolume;
        set_.backgroundVolume_ = s.backgroundVolume;

        if (s.narrationPresent) {
            std::string path;
            if (!track(SoundKind::Narration, set_.narrationEmbedded_, path)) return false;
            if (!path.empty()) set_.loadNarration(path, set_.narrationEmbedded_);
        }
        if (s.backgroundPresent) {
            std::string path;
            if (!track(SoundKind::Background, set_.backgroundEmbedded_, path)) return false;
            if (!path.empty() && set_.loadBackground(path)) set_.backgroundCreated_ = set_.backgroundEmbedded_;
        }
        set_.effectsPresent_ = s.effectsPresent != 0;
        if (s.effectsPresent && !effects()) return false;
        set_.applyVolumes();
        return true;
    }

private:
    // A narration or background: a speech record, a zlib record, or a file beside
    // the movie. False when the movie must be given up.
    bool track(SoundKind kind, bool embedded, std::string& path) {
        if (!embedded) {
            path = names_->besideMovie(kind, 0);
            return true;
        }
        path = names_->temporaryFile(kind, 0, [this](const std::string& p) { return set_.host_.fileExists(p); });
        const char* what = kind == SoundKind::Narration ? "narration" : "background";
        const bool written = set_.section_.speechCompressed ? speechRecord(path, what) : zlibRecord(path, false, what);
        if (!written) return false;
        (kind == SoundKind::Narration ? set_.narrationCreated_ : set_.backgroundCreated_) = true;
        return true;
    }

    bool effects() {
        const uint32_t count = in_.u32();
        // Each effect holds at least its present word.
        if (!in_.ok() || count > in_.remaining() / RecordStream::kWordSize) return true;
        for (uint32_t i = 0; i < count; ++i) {
            const bool present = in_.u32() != 0;
            if (!in_.ok()) return true;
            // Effects past the table's seven slots are read and left unused.
            const bool kept = i < static_cast<uint32_t>(kEffectSlots);
            std::string path;
            if (present && set_.effectsEmbedded_) {
                if (kept) {
                    path = names_->temporaryFile(SoundKind::Effect, static_cast<int>(i),
                                                 [this](const std::string& p) { return set_.host_.fileExists(p); });
                    if (!zlibRecord(path, true, "effect " + std::to_string(i))) {
                        set_.effectPaths_[i].clear();
                        return false;
                    }
                    set_.effectsCreated_ = true;
                } else {
                    in_.u32();
                    in_.skip(in_.u32());
                }
            } else if (present) {
                path = names_->besideMovie(SoundKind::Effect, static_cast<int>(i));
            }
            if (kept) set_.effectPaths_[i] = path;
        }
        return true;
    }

    std::unique_ptr<OutputFile> create(const std::string& path) {
        std::unique_ptr<OutputFile> file = set_.host_.createFile(path);
        if (!file) {
            set_.host_.report(kSoundFileNotCreatedText);
            return nullptr;
        }
        set_.tempFiles_.push_back(path);
        return file;
    }

    // Uncompressed length, compressed length, the compressed bytes: a whole WAV file.
    bool zlibRecord(const std::string& path, bool effect, const std::string& what) {
        std::unique_ptr<OutputFile> file = create(path);
        if (!file) return false;
        const CompressedBlock block = in_.block();
        if (!in_.ok()) return true;  // cut off: the file stays empty and fails to play
        set_.records_.push_back({what, false, block.rawSize, static_cast<uint32_t>(block.packed.size()), path});
        // An effect is unpacked into room for the larger of its two lengths.
        const uint32_t room = effect ? std::max<uint32_t>(block.rawSize, static_cast<uint32_t>(block.packed.size()))
                                     : block.rawSize;
        DataBlock bytes;
        if (!inflateToSize(block.packed.data(), block.packed.size(), room, bytes)) {
            set_.host_.report(kSoundNotUnpackedText);
            return false;
        }
        if (!file->write(bytes.data(), block.rawSize)) {
            set_.host_.report(kSoundFileNotCreatedText);
            return false;
        }
        return true;
    }

    // Finds a four-byte tag the way the speech writer's files are read: four bytes
    // at a time, one byte further on each mismatch, a hundred tries at most.
    bool findTag(const char* tag) {
        for (int i = 0; i < kTagReads; ++i) {
            uint32_t first = 0, second = 0;
            if (!in_.peekTwo(first, second)) return false;
            const char found[4] = {static_cast<char>(first), static_cast<char>(first >> 8),
                                   static_cast<char>(first >> 16), static_cast<char>(first >> 24)};
            if (std::equal(found, found + 4, tag)) {
                in_.skip(4);
                return true;
            }
            in_.skip(1);
        }
        return false;
    }

    // A WAV header as a PCM writer makes it, a word skipped, the frame data's
    // length, then GSM frames of 33 bytes, decoded to 16-bit samples and cut at the
    // header's data length.
    bool speechRecord(const std::string& path, const std::string& what) {
        std::unique_ptr<OutputFile> file = create(path);
        if (!file) return false;
        in_.skip(12);  // "RIFF", a length, "WAVE"
        if (!findTag("fmt ")) return true;
        uint8_t format[20] = {};
        in_.fixed(format, sizeof format);
        ByteReader f(format, sizeof format);
        f.u32();  // chunk length
        const uint16_t tag = f.u16(), channels = f.u16();
        const uint32_t rate = f.u32();
        f.u32();
        f.u16();
        const uint16_t bits = f.u16();
        if (!findTag("data")) return true;
        const uint32_t dataLength = in_.u32();
        in_.u32();  // not used
        const uint32_t frameBytes = in_.u32();
        if (!in_.ok()) return true;
        set_.records_.push_back({what, true, dataLength, frameBytes, path});
        if (tag != kPcmTag || bits != kSpeechBits) {
            // Not 16-bit PCM: the record is passed over and its file stays empty.
            in_.skip(std::min<uint64_t>(frameBytes - frameBytes % kGsmFrameSize, in_.remaining()));
            return true;
        }
        const std::string header = pcmWavHeader(channels, rate, kSpeechBits, dataLength);
        if (!file->write(header.data(), header.size())) return true;
        const GsmDecodeResult result = decodeGsmTrack(
            frameBytes, dataLength,
            [this](uint8_t* frame) -> size_t {
                in_.fixed(frame, kGsmFrameSize);
                return in_.ok() ? kGsmFrameSize : 0;
            },
            [&file](const void* data, size_t length) { return file->write(data, length); });
        // Frames past the stored length add nothing, but they are in the record.
        const uint64_t unread = uint64_t{frameBytes / kGsmFrameSize} - result.framesDecoded;
        if (!result.endedEarly) in_.skip(std::min<uint64_t>(unread * kGsmFrameSize, in_.remaining()));
        return true;
    }

    SoundTrackSet& set_;
    RecordStream in_;
    std::string moviePath_;
    std::unique_ptr<SoundFileNames> names_;
};

SoundTrackSet::SoundTrackSet(SoundSystem& system, SoundTrackHost& host) : system_(system), host_(host) {}

SoundTrackSet::~SoundTrackSet() { release(); }

void SoundTrackSet::openDevice() {
    device_ = std::make_unique<SoundDevice>(system_);
    for (int attempt = 0; attempt <= kDeviceRetries; ++attempt) {
        if (device_->open(host_.window())) {
            deviceOk_ = true;
            return;
        }
        if (attempt < kDeviceRetries) host_.waitBeforeRetry();
    }
    deviceOk_ = false;
    host_.report(kNoSoundDeviceText);
}

bool SoundTrackSet::load(BufferedReader& in, const std::string& moviePath) {
    release();
    openDevice();
    if (Loading(*this, in, moviePath).run()) return true;
    release();
    return false;
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
    lastTickSeenMs_ = 0;
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
    const uint32_t tick = device_->elapsed(ChannelKind::Narration);
    if (!smoothClock_) return tick;
    const uint64_t now = host_.nowMs();
    if (tick != lastTickValue_ || lastClock_ < 0) {
        lastTickValue_ = tick;
        lastTickSeenMs_ = now;
    }
    const uint64_t since = now < lastTickSeenMs_ ? 0 : std::min<uint64_t>(now - lastTickSeenMs_, kChannelTimerPeriodMs);
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
