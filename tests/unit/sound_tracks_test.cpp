// The sound tracks of a movie: the section read into WAV files under the names a
// second copy of the movie would not collide with, and the device driven over a
// sound output of the test's own.

#include "player/audio/sound_tracks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "common/byte_reader.h"
#include "player/audio/sound_channel.h"
#include "player/audio/wav_file.h"
#include "tests/support/folder_sound_host.h"
#include "tests/support/test_sound_output.h"
#include "tests/support/tone_wav.h"
#include "tools/moviewriter/sound_records.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

using FileHost = testing::FolderSoundHost;

std::string tone(uint32_t rate, double seconds, double frequency) { return testing::toneWav(rate, seconds, frequency); }


class SoundTracksTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / "sound_tracks_test";
        fs::remove_all(folder);
        fs::create_directories(folder / "temp");
        fs::create_directories(folder / "disc");
    }
    void TearDown() override { fs::remove_all(folder); }

    // Loads a section; the reader's position is left in `at`.
    bool load(const StoredSounds& sounds, const std::string& movieName = "demo.exe", uint64_t* at = nullptr,
              SoundSectionForm form = SoundSectionForm::Current, bool objectsHaveSound = false) {
        section = encodeSoundSection(sounds, form) + "FRAMES";
        MemoryMovieFile file(section);
        BufferedReader in(file, file.size());
        const bool loaded = tracks.load(in, (folder / "disc" / movieName).string(), form, objectsHaveSound);
        if (at) *at = in.position();
        return loaded;
    }
    StoredSounds narrated(const std::string& wav) {
        StoredSounds sounds;
        sounds.header.narrationPresent = 1;
        sounds.header.narrationEmbedded = 1;
        sounds.narration = zlibSoundRecord(wav);
        return sounds;
    }
    std::string temp(const std::string& name) const { return (folder / "temp" / name).string(); }

    fs::path folder;
    FileHost host{fs::temp_directory_path() / "sound_tracks_test" / "temp"};
    testing::TestSystem system;
    SoundTrackSet tracks{system, host};
    std::string section;
};

TEST(SoundFileNames, MovieNamesAndNumberedCopies) {
    std::vector<std::string> existing;
    auto exists = [&](const std::string& p) { return std::find(existing.begin(), existing.end(), p) != existing.end(); };
    const SoundFileNames plain("T/", "C:\\disc\\demo.exe", false, false);
    EXPECT_EQ(plain.temporaryFile(SoundKind::Narration, 0, exists), "T/qltdemo_Narration.wav");
    EXPECT_EQ(SoundFileNames("T/", "C:\\disc\\qltdemo.exe", false, false).temporaryFile(SoundKind::Narration, 0, exists),
              "T/qltdemo_Narration.wav")
        << "the prefix is not doubled";
    // A second and a third copy of the movie playing at once.
    existing = {"T/qltdemo_Narration.wav"};
    EXPECT_EQ(plain.temporaryFile(SoundKind::Narration, 0, exists), "T/qltdemo_000_Narration.wav");
    existing.push_back("T/qltdemo_000_Narration.wav");
    EXPECT_EQ(plain.temporaryFile(SoundKind::Narration, 0, exists), "T/qltdemo_001_Narration.wav");
    existing.clear();
    EXPECT_EQ(plain.temporaryFile(SoundKind::Background, 0, exists), "T/qltdemo_Background.wav");
    EXPECT_EQ(plain.temporaryFile(SoundKind::Effect, 3, exists), "T/qltdemo_Effect3.wav");
    existing = {"T/qltdemo_Effect3.wav"};
    EXPECT_EQ(plain.temporaryFile(SoundKind::Effect, 3, exists), "T/qltdemo_000_Effect3.wav");
    EXPECT_EQ(plain.besideMovie(SoundKind::Narration, 0), "C:\\disc\\demo_Narration.wav");
    EXPECT_EQ(plain.besideMovie(SoundKind::Effect, 1), "C:\\disc\\demo_Effect1.wav");

    existing.clear();
    const SoundFileNames dist("T/", "movie.v2.exe", true, false);
    EXPECT_EQ(dist.temporaryFile(SoundKind::Narration, 0, exists), "T/qltmovie.v2_DistNarration.wav");
    EXPECT_EQ(dist.temporaryFile(SoundKind::Background, 0, exists), "T/qltmovie.v2_DistBackground.wav");
    EXPECT_EQ(dist.temporaryFile(SoundKind::Effect, 0, exists), "T/qltmovie.v2_DistEffect0.wav");
    EXPECT_EQ(SoundFileNames("T/", "movie.exe", true, true).temporaryFile(SoundKind::Narration, 0, exists),
              "T/qltmovie_DistSound.wav");
}

TEST_F(SoundTracksTest, NarrationIsWrittenLoadedAndDeletedOnRelease) {
    const std::string wav = tone(8000, 1.0, 440);
    StoredSounds sounds = narrated(wav);
    sounds.header.backgroundPresent = 1;
    sounds.header.backgroundEmbedded = 1;
    sounds.background = zlibSoundRecord(tone(8000, 30.0, 220));
    uint64_t at = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at));
    EXPECT_EQ(section.substr(at), "FRAMES") << "the frame stream follows the section";
    EXPECT_TRUE(tracks.deviceOk());
    EXPECT_TRUE(tracks.narrationPresent());
    EXPECT_EQ(tracks.narrationPath(), temp("qltdemo_Narration.wav"));
    EXPECT_EQ(testing::readWholeFile(tracks.narrationPath()), wav);
    EXPECT_EQ(tracks.narrationDuration(), 1000u);
    EXPECT_TRUE(tracks.backgroundPresent());

    // The background is sought modulo its length: 75 s into a 30 s track is 15 s.
    tracks.seek(500, 75000);
    SoundChannel* background = tracks.device()->channel(ChannelKind::Background);
    ASSERT_TRUE(background);
    EXPECT_EQ(background->dataPosition(), 15u * 16000 + background->bufferBytes()) << "read on by a bufferful";

    const std::vector<std::string> files = tracks.tempFiles();
    ASSERT_EQ(files.size(), 2u);
    tracks.release();
    EXPECT_EQ(host.deleted, files) << "every file, in the order written";
    EXPECT_FALSE(fs::exists(files[0]));
    EXPECT_FALSE(tracks.narrationPresent());
}

TEST_F(SoundTracksTest, SpeechRecordIsCutAtItsStoredLength) {
    // Frames for two seconds of speech, but a data length of 1 000 bytes: the file
    // holds exactly that many bytes of samples behind its header.
    std::string record;
    std::string error;
    ASSERT_TRUE(speechSoundRecord(tone(8000, 2.0, 300), record, error)) << error;
    record.replace(40, 4, std::string("\xE8\x03\0\0", 4));  // the data length: 1000
    StoredSounds sounds;
    sounds.header.narrationPresent = 1;
    sounds.header.speechCompressed = 1;
    sounds.narration = record;
    uint64_t at = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at));
    EXPECT_EQ(section.substr(at), "FRAMES");
    const std::string written = testing::readWholeFile(temp("qltdemo_Narration.wav"));
    ASSERT_EQ(written.size(), kWavHeaderSize + 1000);
    EXPECT_EQ(written.substr(0, kWavHeaderSize), pcmWavHeader(1, 8000, 16, 1000));

    // A whole record decodes to the samples it was made from, near enough.
    ASSERT_TRUE(speechSoundRecord(tone(8000, 2.0, 300), record, error));
    sounds.narration = record;
    ASSERT_TRUE(load(sounds));
    EXPECT_EQ(testing::readWholeFile(temp("qltdemo_Narration.wav")).size(), kWavHeaderSize + 32000);
    EXPECT_EQ(tracks.narrationDuration(), 2000u);
}

TEST_F(SoundTracksTest, SpeechThatIsNotSixteenBitPcmLeavesAnEmptyTrackAndReadingGoesOn) {
    std::string record;
    std::string error;
    ASSERT_TRUE(speechSoundRecord(tone(8000, 0.5, 300), record, error));
    record[34] = 8;  // bits per sample
    StoredSounds sounds;
    sounds.header.narrationPresent = 1;
    sounds.header.speechCompressed = 1;
    sounds.header.effectsPresent = 1;
    sounds.header.effectsEmbedded = 1;
    sounds.narration = record;
    sounds.effects = {zlibSoundRecord(tone(8000, 0.1, 900))};
    uint64_t at = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at));
    EXPECT_EQ(section.substr(at), "FRAMES");
    EXPECT_FALSE(tracks.narrationPresent()) << "the empty file does not play";
    EXPECT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(tracks.effectPaths()[0], temp("qltdemo_Effect0.wav"));
}

TEST_F(SoundTracksTest, EffectTable) {
    StoredSounds sounds;
    sounds.header.effectsPresent = 1;
    sounds.header.effectsEmbedded = 1;
    // A count of 0 reads only the count.
    uint64_t at = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at));
    EXPECT_EQ(at, SoundSectionHeader::kSize + 4);
    EXPECT_TRUE(tracks.tempFiles().empty());

    // More effects than the table's seven: the first seven are kept, the rest read
    // past, and the frame stream is found behind them.
    const std::string click = zlibSoundRecord(tone(8000, 0.05, 1000));
    sounds.effects = {click, std::nullopt, click, std::nullopt, click, std::nullopt, click, click, click};
    ASSERT_TRUE(load(sounds, "demo.exe", &at));
    EXPECT_EQ(section.substr(at), "FRAMES");
    EXPECT_EQ(tracks.effectPaths()[0], temp("qltdemo_Effect0.wav"));
    EXPECT_TRUE(tracks.effectPaths()[1].empty());
    EXPECT_EQ(tracks.effectPaths()[6], temp("qltdemo_Effect6.wav"));
    EXPECT_EQ(tracks.tempFiles().size(), 4u);

    // Playing: effect 6 goes to the key-effect channel, the others to the effect one.
    tracks.playEffect(6);
    EXPECT_TRUE(tracks.device()->channel(ChannelKind::KeyEffect));
    EXPECT_FALSE(tracks.device()->channel(ChannelKind::Effect));
    tracks.playEffect(1);  // no such effect
    EXPECT_FALSE(tracks.device()->channel(ChannelKind::Effect));
    tracks.playEffect(2);
    EXPECT_TRUE(tracks.device()->channel(ChannelKind::Effect));

    // Effects kept beside the movie are named there, and nothing is read for them.
    sounds.header.effectsEmbedded = 0;
    sounds.effects = {std::nullopt, std::string()};
    ASSERT_TRUE(load(sounds, "demo.exe", &at));
    EXPECT_EQ(section.substr(at), "FRAMES");
    EXPECT_EQ(tracks.effectPaths()[1], (folder / "disc" / "demo_Effect1.wav").string());
}

TEST_F(SoundTracksTest, VolumesAboveZeroAreNeverApplied) {
    StoredSounds sounds = narrated(tone(8000, 0.5, 440));
    sounds.header.narrationVolume = 100;
    ASSERT_TRUE(load(sounds));
    tracks.start(true, true);
    testing::MemoryBuffer* buffer = nullptr;
    ASSERT_TRUE(tracks.device()->channel(ChannelKind::Narration));
    for (auto* b : system.last->buffers) buffer = b;
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->volume, 1) << "the channel keeps its volume";
    sounds.header.narrationVolume = -600;
    ASSERT_TRUE(load(sounds));
    tracks.start(true, true);
    EXPECT_EQ(system.last->buffers.back()->volume, -600);
}

TEST_F(SoundTracksTest, WithoutADeviceOnlyAMovieWithSomethingToPlayRetriesAndReports) {
    StoredSounds silent;
    StoredSounds effects;
    effects.header.effectsPresent = 1;
    effects.header.effectsEmbedded = 1;
    effects.effects = {zlibSoundRecord(tone(8000, 0.1, 880))};
    const struct {
        const char* movie;
        StoredSounds sounds;
        bool objectsHaveSound;
        int opens;
    } cases[] = {
        {"narration", narrated(tone(8000, 0.5, 440)), false, 11},
        {"effects only", effects, false, 11},
        {"sound objects only", silent, true, 11},
        // Nothing to play: one try, no wait, and no box holding up an unattended run.
        {"nothing", silent, false, 1},
    };
    for (const auto& c : cases) {
        host = FileHost(folder / "temp");
        system.available = false;
        system.opens = 0;
        ASSERT_TRUE(load(c.sounds, "demo.exe", nullptr, SoundSectionForm::Current, c.objectsHaveSound)) << c.movie;
        EXPECT_EQ(system.opens, c.opens) << c.movie;
        EXPECT_EQ(host.waits, c.opens - 1) << c.movie;
        const std::vector<std::string> report =
            c.opens > 1 ? std::vector<std::string>{kNoSoundDeviceText} : std::vector<std::string>{};
        EXPECT_EQ(host.reports, report) << c.movie;
        EXPECT_FALSE(tracks.deviceOk()) << c.movie;
        EXPECT_EQ(tracks.narrationClock(), -1) << c.movie;
        tracks.start(true, true);  // nothing happens, and nothing fails
        tracks.playEffect(0);
    }
    // A section cut before its first integers still reports for the objects' sounds.
    host = FileHost(folder / "temp");
    MemoryMovieFile cut(std::string("\x01\x00", 2));
    BufferedReader in(cut, cut.size());
    EXPECT_TRUE(tracks.load(in, (folder / "disc" / "demo.exe").string(), SoundSectionForm::Current, true));
    EXPECT_EQ(host.reports, std::vector<std::string>{kNoSoundDeviceText});
}

TEST_F(SoundTracksTest, AFolderThatCannotBeWrittenGivesUpTheMovieAndLeavesNothing) {
    host.writable = false;
    EXPECT_FALSE(load(narrated(tone(8000, 0.5, 440))));
    EXPECT_EQ(host.reports, std::vector<std::string>{kSoundFileNotCreatedText});
    EXPECT_TRUE(tracks.tempFiles().empty());

    // A sound that does not unpack: the same, after its file was made.
    host = FileHost(folder / "temp");
    StoredSounds sounds = narrated(tone(8000, 0.5, 440));
    sounds.narration[12] ^= 0x55;  // inside the zlib stream
    EXPECT_FALSE(load(sounds));
    EXPECT_EQ(host.reports, std::vector<std::string>{kSoundNotUnpackedText});
    EXPECT_EQ(host.deleted, host.created) << "the file made for it is gone";
    EXPECT_FALSE(fs::exists(temp("qltdemo_Narration.wav")));
}

TEST_F(SoundTracksTest, LengthsBeyondTheFileReserveNothing) {
    // An uncompressed length twenty times what the stream holds: the file gets what
    // the stream holds, and the track plays.
    const std::string wav = tone(8000, 0.5, 440);
    StoredSounds claiming = narrated(wav);
    std::string claim;
    ByteWriter(claim).u32(static_cast<uint32_t>(wav.size() * 20));
    claiming.narration.replace(0, 4, claim);
    ASSERT_TRUE(load(claiming));
    EXPECT_EQ(testing::readWholeFile(tracks.narrationPath()), wav);
    tracks.release();

    StoredSounds sounds = narrated(wav);
    sounds.narration.replace(0, 8, std::string("\xFF\xFF\xFF\x7F\xFF\xFF\xFF\x7F", 8));
    EXPECT_TRUE(load(sounds)) << "a cut record leaves its sound out";
    EXPECT_FALSE(tracks.narrationPresent());
    sounds = StoredSounds();
    sounds.header.effectsPresent = 1;
    sounds.header.effectsEmbedded = 1;
    std::string bytes = encodeSoundSection(sounds);
    bytes.replace(SoundSectionHeader::kSize, 4, std::string("\xFF\xFF\xFF\xFF", 4));  // the effect count
    MemoryMovieFile file(bytes);
    BufferedReader in(file, file.size());
    EXPECT_TRUE(tracks.load(in, "demo.exe"));
    EXPECT_TRUE(tracks.tempFiles().empty());
}

TEST_F(SoundTracksTest, NarrationClockMovesOnBetweenTicksButNeverPastTheNextOrBack) {
    ASSERT_TRUE(load(narrated(tone(8000, 5.0, 440))));
    tracks.start(false, true);
    SoundChannel* narration = tracks.device()->channel(ChannelKind::Narration);
    ASSERT_TRUE(narration);
    const int64_t first = tracks.narrationClock();
    host.now += 30;
    EXPECT_EQ(tracks.narrationClock(), first + 30);
    host.now += 200;  // the tick is late: the clock waits at the next tick's value
    EXPECT_EQ(tracks.narrationClock(), first + 80);
    narration->tick();  // the tick comes: the counter is where the clock waited
    EXPECT_EQ(tracks.narrationClock(), first + 80);
    host.now += 10;
    EXPECT_EQ(tracks.narrationClock(), first + 90);
    const int64_t before = tracks.narrationClock();
    host.now -= 5;  // a steady clock never goes back, and neither does this one
    EXPECT_GE(tracks.narrationClock(), before);
}

// A tick counts from when it came, though the run may read the clock long after;
// after the narration's timer has ended and another began, from the reading.
TEST_F(SoundTracksTest, ATickSeenLateCountsFromWhenItCame) {
    ASSERT_TRUE(load(narrated(tone(8000, 5.0, 440))));
    tracks.start(false, true);
    SoundChannel* narration = tracks.device()->channel(ChannelKind::Narration);
    ASSERT_TRUE(narration);
    const int64_t first = tracks.narrationClock();
    host.now += 20;
    narration->tick();  // while the run sleeps until its next frame
    host.now += 30;
    EXPECT_EQ(tracks.narrationClock(), first + 110);
    host.now += 10;
    EXPECT_EQ(tracks.narrationClock(), first + 120);

    host.now += 10;
    narration->tick();  // the last tick of this timer, unread
    tracks.stop(false, true, true);
    host.now += 500;
    tracks.start(false, true);
    EXPECT_EQ(tracks.narrationClock(), first + 160);
    host.now += 30;
    EXPECT_EQ(tracks.narrationClock(), first + 190);
}

TEST_F(SoundTracksTest, ANarrationThatDoesNotRunLeavesTheClockToThePlayer) {
    // Ten bytes: under a millisecond, so it is never started and its timer never
    // made. A counter standing still would hold the frames for good.
    ASSERT_TRUE(load(narrated(tone(8000, 5.0 / 8000, 440))));
    ASSERT_EQ(tracks.narrationDuration(), 0u);
    tracks.start(false, true);
    EXPECT_EQ(tracks.narrationClock(), -1);

    // A narration whose timer cannot be made.
    ASSERT_TRUE(load(narrated(tone(8000, 2.0, 440))));
    EXPECT_GE(tracks.narrationClock(), 0) << "about to start: it will keep the time";
    system.last->timersFail = true;
    tracks.start(false, true);
    EXPECT_EQ(tracks.narrationClock(), -1);

    // A position past the narration's end, before it ever played.
    ASSERT_TRUE(load(narrated(tone(8000, 2.0, 440))));
    tracks.seek(2500, -1);
    tracks.start(false, true);
    EXPECT_EQ(tracks.narrationClock(), -1);
}

TEST(SoundFileNames, EarlierFormsUseTheMovieNameAsItIsAndNumberEffectsAlone) {
    auto exists = [](const std::string&) { return true; };  // no numbered alternatives
    const SoundFileNames plain("T/", "C:\\disc\\qltdemo.v2.exe", false, false, SoundNaming::Earlier);
    EXPECT_EQ(plain.temporaryFile(SoundKind::Narration, 0, exists), "T/qltdemo.v2_Narration.wav");
    EXPECT_EQ(SoundFileNames("T/", "demo.exe", false, false, SoundNaming::Earlier)
                  .temporaryFile(SoundKind::Background, 0, exists),
              "T/demo_Background.wav")
        << "no prefix";
    EXPECT_EQ(plain.temporaryFile(SoundKind::Effect, 3, exists), "T/Effect3.wav");
    EXPECT_EQ(plain.besideMovie(SoundKind::Narration, 0), "C:\\disc\\qltdemo.v2_Narration.wav");
    EXPECT_EQ(plain.besideMovie(SoundKind::Effect, 1), "C:\\disc\\qltdemo.v2Effect1.wav");
    const SoundFileNames dist("T/", "demo.exe", true, true, SoundNaming::Earlier);
    EXPECT_EQ(dist.temporaryFile(SoundKind::Narration, 0, exists), "T/demo_DistSound.wav");
    EXPECT_EQ(dist.temporaryFile(SoundKind::Effect, 2, exists), "T/_DistEffect2.wav");
    EXPECT_EQ(dist.besideMovie(SoundKind::Effect, 2), "demo_DistEffect2.wav");
}

TEST(SoundSectionForms, LeadingWordsOfEachForm) {
    // The words in file order: the older forms store the current form's last nine,
    // or the first two or six of them.
    std::string words;
    ByteWriter out(words);
    for (int32_t w = 1; w <= 12; ++w) out.i32(w);
    const auto* bytes = reinterpret_cast<const uint8_t*>(words.data());
    const SoundSectionHeader oldest = SoundSectionHeader::decode(SoundSectionForm::Below095, bytes);
    EXPECT_EQ(SoundSectionHeader::storedSize(SoundSectionForm::Below095), 8u);
    EXPECT_EQ(oldest.narrationPresent, 1);
    EXPECT_EQ(oldest.backgroundPresent, 2);
    EXPECT_EQ(oldest.effectsPresent, 0);
    const SoundSectionHeader early = SoundSectionHeader::decode(SoundSectionForm::From095To14, bytes);
    EXPECT_EQ(early.effectsEmbedded, 6);
    EXPECT_EQ(early.speechCompressed, 0);
    const SoundSectionHeader speech = SoundSectionHeader::decode(SoundSectionForm::From15To155, bytes);
    EXPECT_EQ(speech.distNamingA, 0);
    EXPECT_EQ(speech.speechCompressed, 7);
    EXPECT_EQ(speech.backgroundVolume, 9);
    const SoundSectionHeader late = SoundSectionHeader::decode(SoundSectionForm::From16Below30, bytes);
    EXPECT_EQ(late.distNamingA, 1);
    EXPECT_EQ(late.backgroundVolume, 12);
    for (SoundSectionForm form : {SoundSectionForm::Below095, SoundSectionForm::From095To14,
                                  SoundSectionForm::From15To155, SoundSectionForm::Current})
        EXPECT_EQ(SoundSectionHeader::decode(form, bytes).encode(form), words.substr(0, SoundSectionHeader::storedSize(form)));
}

TEST_F(SoundTracksTest, TheOldestFormWritesItsTracksBesideTheMovieForGood) {
    const std::string wav = tone(8000, 0.5, 440);
    StoredSounds sounds = narrated(wav);
    sounds.header.narrationEmbedded = 0;  // not stored in this form: every track is
    sounds.header.backgroundPresent = 1;
    sounds.background = zlibSoundRecord(tone(8000, 0.5, 220));
    // A file there already is written over.
    std::ofstream((folder / "disc" / "demo_Narration.wav").string()) << "old";
    uint64_t at = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at, SoundSectionForm::Below095));
    EXPECT_EQ(section.substr(at), "FRAMES");
    EXPECT_EQ(tracks.narrationPath(), (folder / "disc" / "demo_Narration.wav").string());
    EXPECT_EQ(testing::readWholeFile(tracks.narrationPath()), wav);
    EXPECT_EQ(tracks.backgroundPath(), (folder / "disc" / "demo_Background.wav").string());
    EXPECT_TRUE(tracks.tempFiles().empty());
    tracks.release();
    EXPECT_TRUE(fs::exists(folder / "disc" / "demo_Narration.wav")) << "not a temporary file";
}

TEST_F(SoundTracksTest, EarlierFormsTakeUpAnExistingTemporaryFileAndPassItsRecordOver) {
    StoredSounds sounds = narrated(tone(8000, 0.5, 440));
    sounds.header.effectsPresent = sounds.header.effectsEmbedded = 1;
    const std::string click = tone(8000, 0.05, 900);
    sounds.effects = {zlibSoundRecord(click), zlibSoundRecord(click)};
    const std::string earlier = tone(8000, 0.25, 300);
    std::ofstream(temp("demo_Narration.wav"), std::ios::binary) << earlier;
    std::ofstream(temp("Effect1.wav"), std::ios::binary) << "left by another run";
    for (SoundSectionForm form : {SoundSectionForm::From095To14, SoundSectionForm::From15To155,
                                  SoundSectionForm::From16Below30}) {
        SCOPED_TRACE(static_cast<int>(form));
        uint64_t at = 0;
        ASSERT_TRUE(load(sounds, "demo.exe", &at, form));
        EXPECT_EQ(section.substr(at), "FRAMES");
        EXPECT_EQ(tracks.narrationPath(), temp("demo_Narration.wav"));
        EXPECT_EQ(tracks.narrationDuration(), 250u) << "the file that was there";
        EXPECT_EQ(testing::readWholeFile(temp("Effect0.wav")), click);
        EXPECT_EQ(testing::readWholeFile(temp("Effect1.wav")), "left by another run");
        EXPECT_EQ(tracks.tempFiles(), std::vector<std::string>{temp("Effect0.wav")});
        tracks.release();
        EXPECT_TRUE(fs::exists(temp("demo_Narration.wav")));
        EXPECT_FALSE(fs::exists(temp("Effect0.wav")));
    }
    // A speech record is passed over as well.
    std::string record, error;
    ASSERT_TRUE(speechSoundRecord(tone(8000, 0.5, 440), record, error));
    sounds.narration = record;
    sounds.header.speechCompressed = 1;
    uint64_t at = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at, SoundSectionForm::From15To155));
    EXPECT_EQ(section.substr(at), "FRAMES");
    EXPECT_EQ(testing::readWholeFile(temp("demo_Narration.wav")), earlier);
}

TEST_F(SoundTracksTest, OlderFormsGoOnWithoutASoundThatDoesNotUnpack) {
    // The forms up to 1.4 report it and leave the sound out, its file gone; from
    // 1.5 on the movie is given up.
    StoredSounds sounds = narrated(tone(8000, 0.5, 440));
    sounds.narration[12] ^= 0x55;  // inside the zlib stream
    sounds.header.backgroundPresent = sounds.header.backgroundEmbedded = 1;
    sounds.background = zlibSoundRecord(tone(8000, 0.5, 220));
    sounds.header.effectsPresent = sounds.header.effectsEmbedded = 1;
    sounds.effects = {zlibSoundRecord(tone(8000, 0.05, 900))};
    sounds.effects[0]->at(12) ^= 0x55;
    uint64_t at = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at, SoundSectionForm::From095To14));
    EXPECT_EQ(section.substr(at), "FRAMES");
    EXPECT_EQ(host.reports, (std::vector<std::string>{kSoundNotUnpackedText, kSoundNotUnpackedText}));
    EXPECT_FALSE(tracks.narrationPresent());
    EXPECT_TRUE(tracks.backgroundPresent()) << "the next track is read";
    EXPECT_TRUE(tracks.effectPaths()[0].empty());
    EXPECT_FALSE(fs::exists(temp("demo_Narration.wav"))) << "a later run must not take it up";
    EXPECT_FALSE(fs::exists(temp("Effect0.wav")));
    EXPECT_EQ(tracks.tempFiles(), std::vector<std::string>{temp("demo_Background.wav")});

    host.reports.clear();
    sounds.header.effectsPresent = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at, SoundSectionForm::Below095));
    EXPECT_EQ(section.substr(at), "FRAMES");
    EXPECT_EQ(host.reports, std::vector<std::string>{kSoundNotUnpackedText});
    EXPECT_FALSE(tracks.narrationPresent());
    EXPECT_TRUE(tracks.backgroundPresent());
    EXPECT_FALSE(fs::exists(folder / "disc" / "demo_Narration.wav"));

    for (SoundSectionForm form : {SoundSectionForm::From15To155, SoundSectionForm::From16Below30}) {
        host.reports.clear();
        EXPECT_FALSE(load(sounds, "demo.exe", nullptr, form));
        EXPECT_EQ(host.reports, std::vector<std::string>{kSoundNotUnpackedText});
        EXPECT_TRUE(tracks.tempFiles().empty());
    }
}

TEST_F(SoundTracksTest, OlderFormsGoOnWhenAFileCannotBeMade) {
    host.writable = false;
    StoredSounds sounds = narrated(tone(8000, 0.5, 440));
    sounds.header.effectsPresent = sounds.header.effectsEmbedded = 1;
    sounds.effects = {zlibSoundRecord(tone(8000, 0.05, 900))};
    uint64_t at = 0;
    ASSERT_TRUE(load(sounds, "demo.exe", &at, SoundSectionForm::From095To14));
    EXPECT_EQ(section.substr(at), "FRAMES") << "the records are passed over";
    EXPECT_EQ(host.reports, (std::vector<std::string>{kSoundFileNotCreatedText, kSoundFileNotCreatedText}));
    EXPECT_FALSE(tracks.narrationPresent());
    EXPECT_TRUE(tracks.effectPaths()[0].empty());
    host.reports.clear();
    EXPECT_FALSE(load(sounds, "demo.exe", nullptr, SoundSectionForm::From16Below30));
    EXPECT_EQ(host.reports, std::vector<std::string>{kSoundFileNotCreatedText});
}

}  // namespace
}  // namespace quillet
