// Loading the sound section: its leading words, then every stored sound written to
// a file of its own (GSM speech decoded to PCM on the way), then the device.

#include "player/audio/sound_tracks.h"

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

// One pass over the sound section: its leading words, then each stored sound
// written to its file.
class SoundTrackSet::Loading {
public:
    Loading(SoundTrackSet& set, BufferedReader& in, const std::string& moviePath, SoundSectionForm form,
            bool objectsHaveSound)
        : set_(set),
          in_(in),
          moviePath_(moviePath),
          form_(form),
          mayFail_(soundFormMayFail(form)),
          objectsHaveSound_(objectsHaveSound) {}

    bool run() {
        SoundSectionHeader& s = set_.section_;
        uint8_t words[SoundSectionHeader::kSize] = {};
        in_.fixed(words, SoundSectionHeader::storedSize(form_));
        if (!in_.ok()) {
            // A cut section: no sounds, and nothing else to read.
            set_.openDevice(objectsHaveSound_);
            return true;
        }
        s = SoundSectionHeader::decode(form_, words);
        set_.openDevice(objectsHaveSound_ || s.narrationPresent || s.backgroundPresent || s.effectsPresent);
        const SoundNaming naming = form_ == SoundSectionForm::Current ? SoundNaming::Current : SoundNaming::Earlier;
        names_ = std::make_unique<SoundFileNames>(set_.host_.temporaryFolder(), moviePath_,
                                                  s.distNamingA && s.distNamingB, s.distSoundName != 0, naming);
        // The oldest form stores every track it has.
        const bool allStored = form_ == SoundSectionForm::Below095;
        set_.narrationEmbedded_ = s.narrationEmbedded || s.speechCompressed || allStored;
        set_.backgroundEmbedded_ = s.backgroundEmbedded || s.speechCompressed || allStored;
        set_.effectsEmbedded_ = s.effectsEmbedded != 0;
        set_.narrationVolume_ = s.narrationVolume;
        set_.backgroundVolume_ = s.backgroundVolume;

        if (s.narrationPresent) {
            std::string path;
            if (!track(SoundKind::Narration, set_.narrationEmbedded_, path)) return false;
            if (!path.empty() && !set_.loadNarration(path, set_.narrationEmbedded_) && allStored)
                set_.narrationEnabled_ = false;
        }
        if (s.backgroundPresent) {
            std::string path;
            if (!track(SoundKind::Background, set_.backgroundEmbedded_, path)) return false;
            if (!path.empty() && set_.loadBackground(path)) set_.backgroundCreated_ = created_;
        }
        set_.effectsPresent_ = s.effectsPresent != 0;
        if (s.effectsPresent && !effects()) return false;
        set_.applyVolumes();
        return true;
    }

private:
    // What a stored record is, and where its file goes.
    enum class Record { Zlib, Effect, Speech };
    enum class Place { TemporaryFolder, BesideMovie };
    // Finished: the record is in its file, as far as it could be read.
    enum class Extraction { Finished, NotUnpacked, NotWritten };

    // A narration or background: a speech record, a zlib record, or a file beside
    // the movie. False when the movie must be given up; an empty path when the
    // sound is left out.
    bool track(SoundKind kind, bool embedded, std::string& path) {
        created_ = false;
        if (!embedded) {
            path = names_->besideMovie(kind, 0);
            return true;
        }
        // The oldest movies write their tracks beside themselves, for good.
        const bool beside = form_ == SoundSectionForm::Below095;
        path = beside ? names_->besideMovie(kind, 0) : temporaryFile(kind, 0);
        const char* what = kind == SoundKind::Narration ? "narration" : "background";
        const Record record = set_.section_.speechCompressed ? Record::Speech : Record::Zlib;
        if (!storedSound(path, record, beside ? Place::BesideMovie : Place::TemporaryFolder, what)) return false;
        if (created_) (kind == SoundKind::Narration ? set_.narrationCreated_ : set_.backgroundCreated_) = true;
        return true;
    }

    std::string temporaryFile(SoundKind kind, int effect) {
        return names_->temporaryFile(kind, effect, [this](const std::string& p) { return set_.host_.fileExists(p); });
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
                    path = temporaryFile(SoundKind::Effect, static_cast<int>(i));
                    if (!storedSound(path, Record::Effect, Place::TemporaryFolder, "effect " + std::to_string(i))) {
                        set_.effectPaths_[i].clear();
                        return false;
                    }
                    set_.effectsCreated_ = set_.effectsCreated_ || created_;
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

    // Writes the next stored record to path. Forms before 3.0 take a temporary file
    // that exists as it is and pass its record over. A file that cannot be made or a
    // sound that does not unpack is reported; then the forms that may fail give the
    // movie up (false), and the older ones go on without the sound (path emptied).
    bool storedSound(std::string& path, Record record, Place place, const std::string& what) {
        created_ = false;
        const bool temporary = place == Place::TemporaryFolder;
        if (temporary && form_ != SoundSectionForm::Current && set_.host_.fileExists(path)) {
            skipRecord(record, path, what);
            return true;
        }
        std::unique_ptr<OutputFile> file = set_.host_.createFile(path);
        if (!file) {
            set_.host_.report(kSoundFileNotCreatedText);
            if (mayFail_) return false;
            skipRecord(record, std::string(), what);
            path.clear();
            return true;
        }
        if (temporary) set_.tempFiles_.push_back(path);
        const Extraction result = record == Record::Speech ? speechRecord(*file, path, what)
                                                           : zlibRecord(*file, path, record == Record::Effect, what);
        if (result == Extraction::Finished) {
            created_ = true;
            return true;
        }
        set_.host_.report(result == Extraction::NotUnpacked ? kSoundNotUnpackedText : kSoundFileNotCreatedText);
        if (mayFail_) return false;
        // What was written is no sound, and a later run must not take it up.
        file.reset();
        set_.host_.deleteFile(path);
        if (temporary) set_.tempFiles_.pop_back();
        path.clear();
        return true;
    }

    // Uncompressed length, compressed length, the compressed bytes: a whole WAV file.
    Extraction zlibRecord(OutputFile& file, const std::string& path, bool effect, const std::string& what) {
        const CompressedBlock block = in_.block();
        if (!in_.ok()) return Extraction::Finished;  // cut off: the file stays empty and fails to play
        set_.records_.push_back({what, false, block.rawSize, static_cast<uint32_t>(block.packed.size()), path});
        // An effect is unpacked into room for the larger of its two lengths.
        const uint32_t room = effect ? std::max<uint32_t>(block.rawSize, static_cast<uint32_t>(block.packed.size()))
                                     : block.rawSize;
        if (room == 0 || !plausibleInflatedSize(room, block.packed.size())) return Extraction::NotUnpacked;
        // Written as it inflates, and only what the stream holds: the lengths are
        // claims, and a sound is never held whole.
        uint64_t written = 0;
        const InflateResult result =
            inflateInPieces(block.packed.data(), block.packed.size(), room, [&](const uint8_t* piece, size_t length) {
                const size_t kept = static_cast<size_t>(std::min<uint64_t>(length, block.rawSize - written));
                written += kept;
                return kept == 0 || file.write(piece, kept);
            });
        if (result == InflateResult::Damaged) return Extraction::NotUnpacked;
        if (result == InflateResult::NotWritten) return Extraction::NotWritten;
        return Extraction::Finished;
    }

    void skipRecord(Record record, const std::string& path, const std::string& what) {
        if (record == Record::Speech)
            skipSpeechRecord(path, what);
        else
            skipZlibRecord(path, what);
    }

    void skipZlibRecord(const std::string& path, const std::string& what) {
        const uint32_t rawSize = in_.u32();
        const uint32_t packedSize = in_.u32();
        in_.skip(packedSize);
        if (in_.ok()) set_.records_.push_back({what, false, rawSize, packedSize, path});
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

    struct SpeechHeader {
        uint16_t formatTag = 0;
        uint16_t channels = 0;
        uint32_t rate = 0;
        uint16_t bits = 0;
        uint32_t dataLength = 0;
        uint32_t frameBytes = 0;
    };

    // A WAV header as a PCM writer makes it, a word skipped, the frame data's
    // length. False when the tags are not found or the record is cut.
    bool speechHeader(SpeechHeader& h) {
        in_.skip(12);  // "RIFF", a length, "WAVE"
        if (!findTag("fmt ")) return false;
        uint8_t format[20] = {};
        in_.fixed(format, sizeof format);
        ByteReader f(format, sizeof format);
        f.u32();  // chunk length
        h.formatTag = f.u16();
        h.channels = f.u16();
        h.rate = f.u32();
        f.u32();
        f.u16();
        h.bits = f.u16();
        if (!findTag("data")) return false;
        h.dataLength = in_.u32();
        in_.u32();  // not used
        h.frameBytes = in_.u32();
        return in_.ok();
    }

    void skipFrames(uint64_t frames) { in_.skip(std::min<uint64_t>(frames * kGsmFrameSize, in_.remaining())); }

    void skipSpeechRecord(const std::string& path, const std::string& what) {
        SpeechHeader h;
        if (!speechHeader(h)) return;
        set_.records_.push_back({what, true, h.dataLength, h.frameBytes, path});
        skipFrames(h.frameBytes / kGsmFrameSize);
    }

    // GSM frames of 33 bytes behind the header, decoded to 16-bit samples and cut
    // at the header's data length.
    Extraction speechRecord(OutputFile& file, const std::string& path, const std::string& what) {
        SpeechHeader h;
        if (!speechHeader(h)) return Extraction::Finished;
        set_.records_.push_back({what, true, h.dataLength, h.frameBytes, path});
        if (h.formatTag != kPcmTag || h.bits != kSpeechBits) {
            // Not 16-bit PCM: the record is passed over and its file stays empty.
            skipFrames(h.frameBytes / kGsmFrameSize);
            return Extraction::Finished;
        }
        const std::string header = pcmWavHeader(h.channels, h.rate, kSpeechBits, h.dataLength);
        if (!file.write(header.data(), header.size())) return Extraction::Finished;
        const GsmDecodeResult result = decodeGsmTrack(
            h.frameBytes, h.dataLength,
            [this](uint8_t* frame) -> size_t {
                in_.fixed(frame, kGsmFrameSize);
                return in_.ok() ? kGsmFrameSize : 0;
            },
            [&file](const void* data, size_t length) { return file.write(data, length); });
        // Frames past the stored length add nothing, but they are in the record.
        if (!result.endedEarly) skipFrames(uint64_t{h.frameBytes / kGsmFrameSize} - result.framesDecoded);
        return Extraction::Finished;
    }

    SoundTrackSet& set_;
    RecordStream in_;
    std::string moviePath_;
    SoundSectionForm form_;
    bool mayFail_;
    bool objectsHaveSound_;
    std::unique_ptr<SoundFileNames> names_;
    bool created_ = false;  // the last stored sound was written to a file of its own
};

bool SoundTrackSet::load(BufferedReader& in, const std::string& moviePath, SoundSectionForm form,
                         bool objectsHaveSound) {
    release();
    if (Loading(*this, in, moviePath, form, objectsHaveSound).run()) return true;
    release();
    return false;
}

}  // namespace quillet
