// Movies of every format version: the table that picks their readers, and each row's
// movie opened by the document, its frames, cursor, logo, objects and sounds read
// back as they were written.

#include "player/container/format_versions.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "player/movie/movie_document.h"
#include "player/bitmaps/dib_layout.h"
#include "tests/support/folder_sound_host.h"
#include "tests/support/test_sound_output.h"
#include "tests/support/version_movies.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::VersionMovie;
using testing::VersionRow;
using testing::makeVersionMovie;
using testing::versionRows;

// The version table, row by row, and the versions between and around its rows.
TEST(VersionTable, RowsBoundariesAndTheDefaultRow) {
    using O = ObjectSectionForm;
    using S = SoundSectionForm;
    using G = FrameStreamGroup;
    using L = LogoForm;
    const auto bg = FrameReading::Background, fg = FrameReading::Foreground;
    struct Case {
        int major, minor;
        O objects;
        S sounds;
        G frames;
        L logo;
        FrameReading reading;
    } cases[] = {
        {3, 0, O::Form5, S::Current, G::G8, L::Current, bg},
        {0, 94, O::Form1, S::Below095, G::G1, L::None, bg},
        {0, 5, O::Form1, S::Below095, G::G1, L::None, bg},
        {-1, 0, O::Form1, S::Below095, G::G1, L::None, bg},
        {0, 95, O::Form2, S::From095To14, G::G2, L::None, bg},
        {1, 0, O::Form2, S::From095To14, G::G3, L::None, bg},
        {1, 1, O::Form2, S::From095To14, G::G4, L::None, bg},
        {1, 2, O::Form2, S::From095To14, G::G5, L::None, bg},
        {1, 25, O::Form3, S::From095To14, G::G6, L::None, bg},
        {1, 3, O::Form3, S::From095To14, G::G7, L::L1, bg},
        {1, 4, O::Form3, S::From095To14, G::G7, L::L2, bg},
        {1, 5, O::Form3, S::From15To155, G::G7, L::L3, bg},
        {1, 50, O::Form3, S::From15To155, G::G7, L::L3, bg},  // minor 50 is 1.5 too
        {1, 55, O::Form3, S::From15To155, G::G7, L::L4, fg},
        {1, 6, O::Form3, S::From16Below30, G::G7, L::L4, fg},
        {1, 7, O::Form3, S::From16Below30, G::G7, L::L5, fg},
        {1, 8, O::Form4, S::From16Below30, G::G7, L::L5, fg},
        {1, 85, O::Form4, S::From16Below30, G::G8, L::Current, fg},
        // Versions no row names: read as 1.85.
        {0, 96, O::Form4, S::From16Below30, G::G8, L::Current, fg},
        {1, 15, O::Form4, S::From16Below30, G::G8, L::Current, fg},
        {1, 9, O::Form4, S::From16Below30, G::G8, L::Current, fg},
        {1, 10, O::Form2, S::From095To14, G::G4, L::None, bg},  // "1.10" is 1.1
        {2, 0, O::Form4, S::From16Below30, G::G8, L::Current, fg},
        {2, 99, O::Form4, S::From16Below30, G::G8, L::Current, fg},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        const FormatReaders r = readersForVersion(FormatVersion(c.major, c.minor));
        EXPECT_EQ(r.objects, c.objects);
        EXPECT_EQ(r.sounds, c.sounds);
        EXPECT_EQ(r.frames, c.frames);
        EXPECT_EQ(r.logo, c.logo);
        EXPECT_EQ(r.reading, c.reading);
    }
    EXPECT_FALSE(soundFormMayFail(SoundSectionForm::Below095));
    EXPECT_FALSE(soundFormMayFail(SoundSectionForm::From095To14));
    EXPECT_TRUE(soundFormMayFail(SoundSectionForm::From15To155));
    EXPECT_TRUE(soundFormMayFail(SoundSectionForm::From16Below30));
}

// The picture frame index shows, from its bands and those before it.
Picture pictureOfFrame(const FrameData& data, size_t index) {
    const MovieInfo& info = data.info();
    Picture picture(info.screenWidth, info.screenHeight, 0);
    for (size_t i = 0; i <= index; ++i) {
        for (const FrameBand& band : data.frames()[i].bands) {
            std::vector<uint8_t> rows(band.unpackedSize);
            uLongf length = static_cast<uLongf>(rows.size());
            if (!band.data || uncompress(rows.data(), &length, band.data, band.compressedSize) != Z_OK) continue;
            // Rows are stored bottom-up.
            for (int32_t r = 0; r < band.bandHeight; ++r) {
                const int32_t y = band.topRow + band.bandHeight - 1 - r;
                for (int32_t x = 0; x < picture.width; ++x) {
                    const uint8_t* p = &rows[(static_cast<size_t>(r) * picture.width + x) * 4];
                    picture.at(x, y) = ByteReader(p, 4).u32() & 0xFFFFFF;
                }
            }
        }
    }
    return picture;
}


// Files in a folder of the test's own: "temp" for the temporary folder, "disc"
// for the movie's. Messages and the section sweep are recorded.
class FolderHost : public MovieOpenUi, public ObjectReadHost, public testing::FolderSoundHost {
public:
    explicit FolderHost(const fs::path& root) : FolderSoundHost(root / "temp") {}

    std::string createSoundFile(const std::string& name) override {
        const std::string path = temporaryFolder() + (name.empty() ? "qltobject.tmp" : name);
        std::ofstream(path, std::ios::binary);
        return path;
    }
    bool appendFile(const std::string& path, const uint8_t* bytes, size_t length) override {
        std::ofstream(path, std::ios::binary | std::ios::app).write(reinterpret_cast<const char*>(bytes),
                                                                    static_cast<std::streamsize>(length));
        return true;
    }
    std::string attachedSoundPath(const AttachedSound&, bool) override { return std::string(); }
    using FolderSoundHost::report;
    void report(const char* text) override { reports.push_back(text); }
    void afterSection(bool) override {}

    void showMessage(Owner, const char* text, const char*, Icon) override { reports.push_back(text); }
    void showLoadingDialog() override {}
    void destroyLoadingDialog() override {}
};

class VersionMovieTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / "format_versions_test";
        fs::remove_all(root);
        fs::create_directories(root / "temp");
        fs::create_directories(root / "disc");
    }
    void TearDown() override {
        document.ResetMovie();
        fs::remove_all(root);
    }

    std::string moviePath() const { return (root / "disc" / "movie.exe").string(); }
    // Opens bytes as the movie behind a player; frames read in the background are
    // waited for.
    bool open(const std::string& movie) {
        files[moviePath()] = packMovie(kPlayer, movie);
        const bool opened = document.OpenMovie(moviePath());
        document.frameData().waitForLoader();
        return opened;
    }
    const FrameData& frames() const { return document.frameData(); }

    const std::string kPlayer = "MZ" + std::string(300, '\0');
    fs::path root = fs::temp_directory_path() / "format_versions_test";
    FolderHost host{root};
    testing::TestSystem sounds;
    std::map<std::string, std::string> files;
    PackedDibFactory bitmaps;
    MovieDocument document{host,
                           [this](const std::string& path) -> std::unique_ptr<MovieFile> {
                               auto found = files.find(path);
                               if (found == files.end()) return nullptr;
                               return std::make_unique<MemoryMovieFile>(found->second);
                           },
                           bitmaps, host, sounds, host};
};

TEST_F(VersionMovieTest, EveryRowOpensWithItsFramesCursorLogoObjectsAndSounds) {
    for (const VersionRow& row : versionRows()) {
        SCOPED_TRACE(row.text);
        fs::remove_all(root / "temp");
        fs::create_directories(root / "temp");
        const VersionMovie movie = makeVersionMovie(row);
        ASSERT_TRUE(open(movie.bytes));
        EXPECT_EQ(document.header().descriptionText(), std::string("version ") + row.text);
        const bool foreground = movie.readers.reading == FrameReading::Foreground;
        EXPECT_EQ(document.file() != nullptr, foreground) << "a foreground read keeps the file with the document";

        // Frames: every picture, its delay, hold, cursor sample and input.
        ASSERT_EQ(frames().frameCount(), static_cast<int32_t>(movie.pictures.size()));
        const MovieInfo& info = frames().info();
        EXPECT_EQ(info.screenWidth, 64);
        EXPECT_EQ(info.bitsPerPixel, 32) << "the oldest movies take it from the screen picture";
        for (size_t k = 0; k < movie.pictures.size(); ++k) {
            SCOPED_TRACE(k);
            const MovieFrame& frame = frames().frames()[k];
            EXPECT_TRUE(pictureOfFrame(frames(), k) == movie.pictures[k]);
            EXPECT_EQ(frame.delayMs, movie.specs[k].delayMs);
            EXPECT_EQ(frame.holdMs, movie.readers.frames == FrameStreamGroup::G1 ? 0 : movie.specs[k].holdMs)
                << "the oldest records have no hold";
            EXPECT_EQ(frame.cursorId, testing::kVersionCursorId);
            EXPECT_EQ(frame.cursorX, movie.specs[k].cursorX);
            EXPECT_EQ(frame.inputMessage, movie.specs[k].inputMessage);
        }

        // The cursor shape: in the oldest movies one keyed image, made into a colour
        // image and a mask on reading.
        const CursorShape* shape = frames().findCursorShape(testing::kVersionCursorId);
        ASSERT_TRUE(shape && shape->colour && shape->mask);
        EXPECT_EQ(shape->mask->height(), movie.readers.frames == FrameStreamGroup::G1 ? 32 : 64);

        // The logo, in the fields its form has.
        EXPECT_EQ(frames().hasLogo(), movie.hasLogo);
        if (movie.hasLogo) {
            const LogoForm form = movie.readers.logo;
            const LogoRecord& logo = frames().logoRecord();
            EXPECT_EQ(logo.corner, form == LogoForm::L1 ? 0u : 3u) << "the first logo form has no corner";
            const bool link = form != LogoForm::L1 && form != LogoForm::L2;
            EXPECT_EQ(logo.link(), link ? "http://example.invalid/" : "");
            EXPECT_EQ(logo.mail(), form == LogoForm::Current ? "mail@example.invalid" : "");
            EXPECT_EQ(frames().logo()->width(), 6);
        }

        // Objects, in the section form of the version.
        ASSERT_EQ(document.objects().objects.size(), movie.objects.size());
        EXPECT_EQ(document.objects().objects[1].text, "v");
        EXPECT_FALSE(document.objects().stoppedEarly);
        EXPECT_EQ(frames().timeline().at(1).visibleObjects, std::vector<int32_t>{1});

        // Sounds: written where the version's form puts them, then loaded.
        const SoundTrackSet& tracks = document.tracks();
        EXPECT_TRUE(tracks.narrationPresent());
        EXPECT_TRUE(tracks.backgroundPresent());
        const std::string temp = host.temporaryFolder();
        std::string narration, effect;
        switch (movie.readers.sounds) {
        case SoundSectionForm::Below095:
            narration = (root / "disc" / "movie_Narration.wav").string();
            break;
        case SoundSectionForm::Current:
            narration = temp + "qltmovie_Narration.wav";
            effect = temp + "qltmovie_Effect0.wav";
            break;
        default:
            narration = temp + "movie_Narration.wav";
            effect = temp + "Effect0.wav";
            break;
        }
        EXPECT_EQ(tracks.narrationPath(), narration);
        EXPECT_EQ(tracks.effectPaths()[0], effect);
        if (movie.readers.sounds == SoundSectionForm::Below095 || movie.readers.sounds == SoundSectionForm::From095To14) {
            EXPECT_EQ(testing::readWholeFile(narration), movie.narration);
        } else {
            EXPECT_EQ(testing::readWholeFile(narration).size(), movie.narration.size()) << "speech decodes to the length stored";
        }
        if (!effect.empty()) {
            EXPECT_EQ(testing::readWholeFile(effect), movie.effect);
        }
        EXPECT_TRUE(host.reports.empty()) << host.reports.front();
        document.ResetMovie();
        EXPECT_EQ(fs::exists(narration), movie.readers.sounds == SoundSectionForm::Below095)
            << "temporary files go with the movie; the oldest form's tracks stay beside it";
    }
}

TEST_F(VersionMovieTest, AVersionNoRowNamesIsReadAs185) {
    const VersionMovie unnamed = makeVersionMovie({1, 9, "1.9"});
    const VersionMovie named = makeVersionMovie({1, 85, "1.85"});
    // Behind the header and its copy, the sections are the same bytes.
    auto sections = [](const std::string& movie) {
        const uint32_t copyLength = ByteReader(movie.data() + kMovieHeaderSize, 4).u32();
        return movie.substr(kMovieHeaderSize + 4 + copyLength);
    };
    ASSERT_EQ(sections(unnamed.bytes), sections(named.bytes));
    ASSERT_TRUE(open(unnamed.bytes));
    EXPECT_NE(document.file(), nullptr) << "read in the foreground";
    EXPECT_EQ(frames().frameCount(), 6);
    EXPECT_EQ(frames().logoRecord().mail(), "mail@example.invalid") << "the current logo record";
    EXPECT_EQ(document.tracks().effectPaths()[0], host.temporaryFolder() + "Effect0.wav");
}

TEST_F(VersionMovieTest, OnlyVersionsFromOnePointFiveCarryAHeaderCopy) {
    for (const VersionRow& row : {VersionRow{1, 4, "1.4"}, VersionRow{1, 5, "1.5"}}) {
        SCOPED_TRACE(row.text);
        MovieWriter writer;
        writer.setVersion(row.major, row.minor);
        MovieHeader copy = writer.header();
        MovieHeader::setText(copy.description, "the copy");
        writer.setHeaderCopy(copy);
        writer.setScreen({16, 8, 32});
        writer.addFrame(Picture(16, 8, 0x123456));
        ASSERT_TRUE(open(writer.build()));
        EXPECT_EQ(document.header().descriptionText(), row.minor == 5 ? "the copy" : "");
        EXPECT_EQ(frames().frameCount(), 1);
    }
}

}  // namespace
}  // namespace quillet
