#include "player/movie/movie_document.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/support/test_sound_output.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

// Records what opening shows, in order, and keeps the files object and sound
// reading write.
class RecordingUi : public MovieOpenUi, public ObjectReadHost, public SoundTrackHost {
public:
    std::string temporaryFolder() override { return "T:\\"; }
    bool fileExists(const std::string& path) override { return written.count(path) != 0; }
    std::unique_ptr<OutputFile> createFile(const std::string& path) override {
        written[path];
        return std::make_unique<MemoryFile>(written[path]);
    }
    void deleteFile(const std::string& path) override { written.erase(path); }
    void report(const std::string& text) override { events.push_back("report " + text); }
    void waitBeforeRetry() override {}
    uint64_t nowMs() override { return 0; }
    void* window() override { return nullptr; }

    std::string createSoundFile(const std::string& name) override {
        const std::string path = "T:\\" + (name.empty() ? "qlt" + std::to_string(written.size()) + ".tmp" : name);
        written[path];
        return path;
    }
    bool appendFile(const std::string& path, const uint8_t* bytes, size_t length) override {
        written[path].append(reinterpret_cast<const char*>(bytes), length);
        return true;
    }
    std::string attachedSoundPath(const AttachedSound& sound, bool separate) override {
        return separate ? "C:\\disc\\" + sound.name : "T:\\attached.tmp";
    }
    void report(const char* text) override { events.push_back(std::string("report ") + text); }
    void afterSection(bool sweep) override { events.push_back(sweep ? "section swept" : "section read"); }
    std::map<std::string, std::string> written;

private:
    class MemoryFile : public OutputFile {
    public:
        explicit MemoryFile(std::string& bytes) : bytes_(bytes) {}
        bool write(const void* data, size_t length) override {
            bytes_.append(static_cast<const char*>(data), length);
            return true;
        }

    private:
        std::string& bytes_;
    };

public:
    void showMessage(Owner owner, const char* text, const char* caption, Icon icon) override {
        events.push_back(std::string("message ") + (owner == Owner::Document ? "document " : "main ") +
                         (icon == Icon::Error ? "error " : "warning ") + caption + ": " + text);
    }
    void showLoadingDialog() override { events.push_back("loading shown"); }
    void destroyLoadingDialog() override { events.push_back("loading destroyed"); }
    std::vector<std::string> events;
};

class OpenMovieTest : public ::testing::Test {
protected:
    const std::string kPath = "C:\\disc\\movie.exe";
    const std::string kPlayer = "MZ" + std::string(2000, '\0');

    RecordingUi ui;
    testing::TestSystem sounds;
    std::map<std::string, std::string> files;
    PackedDibFactory bitmaps;
    MovieDocument document{ui, [this](const std::string& path) -> std::unique_ptr<MovieFile> {
                               auto found = files.find(path);
                               if (found == files.end()) return nullptr;
                               return std::make_unique<MemoryMovieFile>(found->second);
                           },
                           bitmaps, ui, sounds, ui};
};

TEST_F(OpenMovieTest, CurrentMovieOpensAndItsFramesLoadInTheBackground) {
    MovieWriter writer;
    writer.setScreen({64, 40, 32});
    MovieHeader::setText(writer.header().description, "demo");
    Picture picture(64, 40, 0x102030);
    for (int i = 0; i < 6; ++i) {
        picture.fillRect(0, i * 5, 64, i * 5 + 5, 0x00FF00u + i);
        writer.addFrame(picture);
    }
    files[kPath] = packMovie(kPlayer, writer.build());

    ASSERT_TRUE(document.OpenMovie(kPath));
    EXPECT_EQ(ui.events, (std::vector<std::string>{"loading shown", "section swept", "loading destroyed"}));
    EXPECT_EQ(document.filePath(), kPath);
    EXPECT_EQ(document.header().descriptionText(), "demo");
    EXPECT_EQ(document.fileVersion(), 3.0);
    EXPECT_EQ(document.file(), nullptr) << "the loader owns the file";
    document.frameData().waitForLoader();
    EXPECT_EQ(document.frameData().frameCount(), 6);
    EXPECT_EQ(document.frameData().frames().filled(), 6u);
    EXPECT_EQ(document.frameData().busyState(), 0);
}

TEST_F(OpenMovieTest, UnopenableFileFailsSilently) {
    EXPECT_FALSE(document.OpenMovie(kPath));
    EXPECT_TRUE(ui.events.empty());
    EXPECT_EQ(document.filePath(), "");
}

TEST_F(OpenMovieTest, ProgramWithoutMovieIsDamaged) {
    const char* cases[] = {"", "short", nullptr};
    files[kPath] = kPlayer;  // arbitrary last 20 bytes
    EXPECT_FALSE(document.OpenMovie(kPath));
    for (const char* body : cases) {
        if (!body) break;
        files[kPath] = body;
        EXPECT_FALSE(document.OpenMovie(kPath));
    }
    ASSERT_EQ(ui.events.size(), 3u);
    for (const std::string& event : ui.events)
        EXPECT_EQ(event, "message document error Tavrix: Invalid or damaged files.");
    EXPECT_EQ(document.file(), nullptr);
    EXPECT_EQ(document.filePath(), "");
}

TEST_F(OpenMovieTest, NewerMovieIsRefusedAfterTheLoadingNotice) {
    MovieWriter writer;
    writer.setVersion(3, 1);
    files[kPath] = packMovie(kPlayer, writer.build());

    EXPECT_FALSE(document.OpenMovie(kPath));
    EXPECT_EQ(ui.events,
              (std::vector<std::string>{
                  "loading shown",
                  "message main warning Tavrix: The file being opened is newer than the current "
                  "program.\nPlease install the latest version of  Tavrix.",
                  "loading destroyed"}));
    EXPECT_EQ(document.file(), nullptr);
}

TEST_F(OpenMovieTest, AnObjectOfUnknownKindMakesTheMovieDamaged) {
    // Nothing after such a record can be found: the movie is refused rather than
    // opened without its sounds and frames.
    MovieWriter writer;
    writer.setScreen({64, 40, 32});
    writer.addFrame(Picture(64, 40));
    CaptionRecord unknown;
    unknown.header.kind = caption_kind::kLast + 1;
    writer.objects().objects.push_back(unknown);
    files[kPath] = packMovie(kPlayer, writer.build());

    EXPECT_FALSE(document.OpenMovie(kPath));
    EXPECT_EQ(ui.events, (std::vector<std::string>{"loading shown", "section swept",
                                                   "message document error Tavrix: Invalid or damaged files.",
                                                   "loading destroyed"}));
    EXPECT_EQ(document.frameData().frameCount(), 0);
    EXPECT_TRUE(document.objects().objects.empty());
}

TEST_F(OpenMovieTest, VersionIsDecidedBeforeTheCopyReplacesTheHeader) {
    // A 3.0 movie whose copy claims 3.1 opens; a 3.1 movie whose copy claims 3.0 does not.
    MovieWriter current;
    MovieHeader newer = current.header();
    newer.versionMinor = 1;
    current.setHeaderCopy(newer);
    files[kPath] = packMovie(kPlayer, current.build());
    EXPECT_TRUE(document.OpenMovie(kPath));
    EXPECT_EQ(document.header().versionMinor, 1);

    MovieWriter refused;
    refused.setVersion(3, 1);
    MovieHeader older = refused.header();
    older.versionMinor = 0;
    refused.setHeaderCopy(older);
    files[kPath] = packMovie(kPlayer, refused.build());
    EXPECT_FALSE(document.OpenMovie(kPath));
}

TEST_F(OpenMovieTest, ResetEmptiesTheDocument) {
    MovieWriter writer;
    files[kPath] = packMovie(kPlayer, writer.build());
    ASSERT_TRUE(document.OpenMovie(kPath));
    document.setPosition(12);
    document.ResetMovie();
    EXPECT_EQ(document.position(), 0);
    EXPECT_EQ(document.header(), MovieHeader());
}

}  // namespace
}  // namespace quillet
