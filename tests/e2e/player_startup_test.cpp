// The player started for real: the movie it finds behind itself, its messages, and
// the protocol between player processes.

#include <gtest/gtest.h>

#include "player_fixture.h"

namespace quillet::e2e {
namespace {

using driver::Process;

const char kDamagedText[] = "Invalid or damaged files.";
const char kNewerText[] =
    "The file being opened is newer than the current program.\n"
    "Please install the latest version of  Tavrix.";
const char kLoadingWarning[] =
    "The player is being loaded.\n"
    "Please wait until the player has completely loaded, and then try again.";

std::string currentMovie() { return MovieWriter().build(); }

TEST_F(PlayerTest, ProgramWithoutMovieReportsDamagedFiles) {
    Process player;
    ASSERT_TRUE(player.start(plainPlayer("plain.exe")));
    std::string text;
    HWND box = waitForBox(player, "Tavrix", text);
    ASSERT_TRUE(box) << "no message box";
    EXPECT_EQ(text, kDamagedText);
    ASSERT_TRUE(driver::pressButton(box, "OK"));
    // The main window stays open and empty.
    closePlayer(player);
}

TEST_F(PlayerTest, NewerMovieIsRefusedOverTheMainWindow) {
    MovieWriter writer;
    writer.setVersion(3, 1);
    Process player;
    ASSERT_TRUE(player.start(packedPlayer("newer.exe", writer.build())));
    std::string text;
    HWND box = waitForBox(player, "Tavrix", text);
    ASSERT_TRUE(box);
    EXPECT_EQ(text, kNewerText);
    HWND owner = ::GetWindow(box, GW_OWNER);
    ASSERT_TRUE(owner);
    EXPECT_EQ(driver::className(owner), kDialogClass);
    ASSERT_TRUE(driver::pressButton(box, "OK"));
    closePlayer(player);
}

TEST_F(PlayerTest, CurrentMovieOpensWithoutMessages) {
    Process player;
    ASSERT_TRUE(player.start(packedPlayer("movie.exe", currentMovie())));
    HWND main = waitForMainWindow(player);
    ASSERT_TRUE(main);
    EXPECT_FALSE(driver::findWindow(player.id(), kDialogClass, "Tavrix"));
    closePlayer(player);
}

TEST_F(PlayerTest, SecondStartWhileTheFirstLoadsIsWarnedOff) {
    // The first player holds its loading mark while its damaged-movie box is up.
    Process first;
    ASSERT_TRUE(first.start(plainPlayer("first.exe")));
    std::string text;
    HWND firstBox = waitForBox(first, "Tavrix", text);
    ASSERT_TRUE(firstBox);

    Process second;
    ASSERT_TRUE(second.start(packedPlayer("second.exe", currentMovie())));
    HWND warning = waitForBox(second, "WARNINIG", text);
    ASSERT_TRUE(warning);
    EXPECT_EQ(text, kLoadingWarning);

    // Further starts while the warning is up end silently.
    Process third;
    ASSERT_TRUE(third.start(packedPlayer("third.exe", currentMovie())));
    EXPECT_TRUE(third.waitForExit());
    EXPECT_FALSE(driver::findWindow(third.id(), nullptr, nullptr));

    ASSERT_TRUE(driver::pressButton(warning, "OK"));
    EXPECT_TRUE(second.waitForExit());
    EXPECT_FALSE(driver::findWindow(0, kDialogClass, nullptr) &&
                 driver::findWindow(second.id(), kDialogClass, kMainCaption));

    ASSERT_TRUE(driver::pressButton(firstBox, "OK"));
    closePlayer(first);
}

TEST_F(PlayerTest, LaterStartReplacesTheRunningPlayer) {
    Process first;
    ASSERT_TRUE(first.start(packedPlayer("first.exe", currentMovie())));
    HWND firstMain = waitForMainWindow(first);
    ASSERT_TRUE(firstMain);

    Process second;
    ASSERT_TRUE(second.start(packedPlayer("second.exe", currentMovie())));
    EXPECT_TRUE(first.waitForExit()) << "the running player was not closed";
    EXPECT_EQ(first.exitCode(), 0u);
    HWND secondMain = waitForMainWindow(second);
    ASSERT_TRUE(secondMain);
    EXPECT_NE(secondMain, firstMain);
    EXPECT_FALSE(driver::findWindow(second.id(), kDialogClass, "WARNINIG"));
    closePlayer(second);
}

class TempFilesTest : public PlayerTest {
protected:
    std::string temp() {
        char folder[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, folder);
        return folder;
    }
    void makeFiles() {
        for (const char* name : kFiles) writeFileBytes(temp() + name, "scratch");
    }
    bool exists(const char* name) {
        return ::GetFileAttributesA((temp() + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void runPlayerOnce() {
        Process player;
        ASSERT_TRUE(player.start(packedPlayer("movie.exe", currentMovie())));
        closePlayer(player);
    }
    void TearDown() override {
        for (const char* name : kFiles) ::DeleteFileA((temp() + name).c_str());
        PlayerTest::TearDown();
    }
    static constexpr const char* kFiles[] = {"qlt1.tmp", "qltA9.tmp", "qlt.dat", "other.tmp"};
};

TEST_F(TempFilesTest, ExitDeletesThePlayersTemporaryFiles) {
    makeFiles();
    runPlayerOnce();
    EXPECT_FALSE(exists("qlt1.tmp"));
    EXPECT_FALSE(exists("qltA9.tmp"));
    EXPECT_TRUE(exists("qlt.dat"));
    EXPECT_TRUE(exists("other.tmp"));
}

TEST_F(TempFilesTest, FilesStayWhileTheRecorderRuns) {
    makeFiles();
    win32::UniqueHandle recorder(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr,
                                                      PAGE_READWRITE, 0, 16, "Tavrix_Running"));
    ASSERT_TRUE(recorder);
    runPlayerOnce();
    EXPECT_TRUE(exists("qlt1.tmp"));
    EXPECT_TRUE(exists("qltA9.tmp"));
}

}  // namespace
}  // namespace quillet::e2e
