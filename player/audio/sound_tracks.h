#pragma once
// The sounds of the open movie: narration, background and the effect table, read
// from the sound section into WAV files, and played, paused, sought and triggered
// for the playback clock. Every file it writes is deleted on release.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/audio/sound_device.h"
#include "player/audio/sound_file_names.h"
#include "player/audio/sound_section.h"
#include "player/container/buffered_reader.h"

namespace quillet {

// A file being written; false from write once the disc refuses.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual bool write(const void* data, size_t length) = 0;
};

// What the tracks need of the machine they run on.
class SoundTrackHost {
public:
    virtual ~SoundTrackHost() = default;
    // The system's temporary folder, ending with its separator.
    virtual std::string temporaryFolder() = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Creates (or truncates) a file; none when it cannot be made.
    virtual std::unique_ptr<OutputFile> createFile(const std::string& path) = 0;
    virtual void deleteFile(const std::string& path) = 0;
    // A message to the viewer, captioned with the product name, with an error icon.
    virtual void report(const std::string& text) = 0;
    // The pause between two attempts to open the sound device.
    virtual void waitBeforeRetry() = 0;
    // Milliseconds on a steady clock.
    virtual uint64_t nowMs() = 0;
    // The window the device is opened for.
    virtual void* window() = 0;
};

// A stored sound as the section held it, and where it went.
struct SoundRecordListing {
    std::string what;          // "narration", "background", "effect 3"
    bool speech = false;       // GSM frames rather than a zlib stream
    uint32_t rawSize = 0;      // the unpacked or decoded length the record gives
    uint32_t storedSize = 0;   // the compressed bytes or frame data it holds
    std::string path;
};

constexpr int kEffectSlots = 7;
constexpr int kKeyEffect = 6;
constexpr int kDeviceRetries = 10;

constexpr char kNoSoundDeviceText[] =
    "Unable to locate Directx Sound devices.\n"
    "To enable sound, please install Directx Sound device drivers and try again.";
constexpr char kSoundFileNotCreatedText[] = "Fail to Create Temporary File";
constexpr char kSoundNotUnpackedText[] = "Zlib Uncompression Error";
constexpr char kSoundNotPlayableText[] = "Unable to play the sound file\n";

class SoundTrackSet {
public:
    SoundTrackSet(SoundSystem& system, SoundTrackHost& host);
    ~SoundTrackSet();
    SoundTrackSet(const SoundTrackSet&) = delete;
    SoundTrackSet& operator=(const SoundTrackSet&) = delete;

    // Reads the sound section of the given form at the reader's position, writes
    // every stored sound to its file and hands the files to the device. False
    // when a file cannot be written or a stored sound cannot be unpacked in a form
    // that may fail: the movie is then given up, and the files made so far are
    // gone. The older forms report such a sound and go on without it.
    // objectsHaveSound says whether the movie's objects carry sounds of their own:
    // a movie with nothing at all to play does not tell the viewer that the
    // machine has no sound device, nor wait for one.
    bool load(BufferedReader& in, const std::string& moviePath, SoundSectionForm form = SoundSectionForm::Current,
              bool objectsHaveSound = false);
    // Stops everything, closes the device and deletes the files, in the order they
    // were made.
    void release();

    void start(bool playBackground, bool playNarration);
    void stop(bool stopBackground, bool stopNarration, bool finalStop);
    void stopAttachedSounds();
    // backgroundMs -1 leaves the background where it is.
    void seek(uint32_t narrationMs, int64_t backgroundMs);
    // The narration's elapsed-time counter, moved on between its timer's ticks by
    // the steady clock (never past the next tick, never backwards); -1 without a
    // device or with the narration off.
    int64_t narrationClock();
    // Off, the clock is the counter as its ticks leave it (for measuring what the
    // moving on between ticks gains).
    void setClockSmoothing(bool on) { smoothClock_ = on; }
    void playEffect(int number);
    void playObjectSound(const std::string& path, int32_t volume);
    bool loadBackground(const std::string& path);

    const SoundSectionHeader& section() const { return section_; }
    bool deviceOk() const { return deviceOk_; }
    bool narrationPresent() const { return narrationPresent_; }
    bool backgroundPresent() const { return backgroundPresent_; }
    bool effectsPresent() const { return effectsPresent_; }
    const std::string& narrationPath() const { return narrationPath_; }
    const std::string& backgroundPath() const { return backgroundPath_; }
    const std::array<std::string, kEffectSlots>& effectPaths() const { return effectPaths_; }
    uint32_t narrationDuration() const { return narrationDuration_; }
    uint32_t position() const { return position_; }
    const std::vector<std::string>& tempFiles() const { return tempFiles_; }
    const std::vector<SoundRecordListing>& records() const { return records_; }
    SoundDevice* device() const { return device_.get(); }

private:
    class Loading;

    // Tries once, or, when the movie has something to play, retries and reports.
    void openDevice(bool somethingToPlay);
    bool loadNarration(const std::string& path, bool embedded);
    void applyVolumes();

    SoundSystem& system_;
    SoundTrackHost& host_;
    std::unique_ptr<SoundDevice> device_;
    SoundSectionHeader section_;
    bool deviceOk_ = true;
    bool narrationPresent_ = false, backgroundPresent_ = false, effectsPresent_ = false;
    bool narrationEmbedded_ = true, backgroundEmbedded_ = true, effectsEmbedded_ = true;
    bool narrationEnabled_ = true, backgroundEnabled_ = true;
    bool narrationCreated_ = false, backgroundCreated_ = false, effectsCreated_ = false;
    int32_t narrationVolume_ = 0, backgroundVolume_ = 0;
    std::string narrationPath_, backgroundPath_;
    std::array<std::string, kEffectSlots> effectPaths_;
    uint32_t narrationDuration_ = 0;
    uint32_t position_ = 0;
    std::vector<std::string> tempFiles_;
    std::vector<SoundRecordListing> records_;

    // The narration clock between ticks: the latest count seen, and the moment it
    // counts from.
    uint32_t lastTickValue_ = 0;
    uint64_t lastTickFromMs_ = 0;
    int64_t lastClock_ = -1;
    bool smoothClock_ = true;
};

}  // namespace quillet
