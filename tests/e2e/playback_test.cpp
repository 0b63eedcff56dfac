// The main window driving playback, as a viewer uses it: playing to the end,
// looping, pausing, stopping, seeking on the bar, closing and Edit.

#include <gtest/gtest.h>

#include "player_fixture.h"
#include "test_movies.h"

#include <commctrl.h>

namespace quillet::e2e {
namespace {

using driver::Process;

int progress(HWND main) {
    return static_cast<int>(::SendMessageA(::GetDlgItem(main, kProgressControl), PBM_GETPOS, 0, 0));
}

// How far the main window's client reaches below its toolbar: 0 at the compact
// size, the 18-pixel strip of the progress bar at the playing size.
int stripBelowToolbar(HWND main) {
    RECT client{}, toolbar{};
    ::GetClientRect(main, &client);
    ::GetWindowRect(::GetDlgItem(main, kToolbarControl), &toolbar);
    return client.bottom - (toolbar.bottom - toolbar.top);
}
bool compactSize(HWND main) { return stripBelowToolbar(main) == 0; }
bool playingSize(HWND main) { return stripBelowToolbar(main) == 18; }

// Properties is available only while no run is active and nothing loads.
bool playerIdle(HWND main) {
    HWND toolbar = ::GetDlgItem(main, kToolbarControl);
    return ::SendMessageA(toolbar, TB_ISBUTTONENABLED, kCommandProperties, 0) != 0;
}

// Clicks the seek bar at percent of its width.
void clickBar(HWND main, int percent) {
    HWND bar = ::GetDlgItem(main, kProgressControl);
    RECT client{};
    ::GetClientRect(bar, &client);
    const int x = client.right * percent / 100 + 1;
    ::PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    ::PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
}

class PlaybackTest : public PlayerTest {
protected:
    // Starts the player on a movie and waits for its main window and view.
    void start(const TestMovieShape& shape, const std::vector<std::string>& options = {},
               const char* mainCaption = kMainCaption) {
        movie_ = makeTestMovie(shape);
        ASSERT_TRUE(player_.start(packedPlayer("movie.exe", movie_.bytes), options));
        main_ = driver::waitForWindow(player_.id(), kDialogClass, mainCaption);
        ASSERT_TRUE(main_) << "no main window";
        view_ = waitForView(player_);
        ASSERT_TRUE(view_) << "playing did not open the view";
    }
    // Pauses a run and waits until the player is idle.
    void pause() {
        ASSERT_TRUE(driver::waitUntil([&] { return !playerIdle(main_); })) << "no run started";
        driver::sendCommand(main_, kCommandPlayPause);
        ASSERT_TRUE(driver::waitUntil([&] { return playerIdle(main_); })) << "Pause did not end the run";
    }

    Process player_;
    TestMovie movie_;
    HWND main_ = nullptr;
    HWND view_ = nullptr;
};

TEST_F(PlaybackTest, PlaysToTheEndThenClosesTheViewAndReturnsToTheCompactSize) {
    start({20, 50});
    // The view appears before the main window takes the playing size.
    EXPECT_TRUE(driver::waitUntil([&] { return playingSize(main_) || !::IsWindow(view_); }));
    ASSERT_TRUE(driver::waitForWindowGone(view_)) << "the view stayed after the run";
    EXPECT_TRUE(driver::waitUntil([&] { return compactSize(main_); }))
        << "the main window kept a strip of " << stripBelowToolbar(main_) << " pixels";
    EXPECT_TRUE(player_.running()) << "without /q the player stays";
    closePlayer(player_);
}

TEST_F(PlaybackTest, QuitAfterPlayClosesTheProgram) {
    start({15, 50}, {"/q"});
    EXPECT_TRUE(player_.waitForExit()) << "the player did not quit after playing";
    EXPECT_EQ(player_.exitCode(), 0u);
}

TEST_F(PlaybackTest, LoopingPlayRepeatsUntilStop) {
    start({20, 50}, {"/l"});
    // The run lasts a second; the bar falls back to the start at every repeat.
    int repeats = 0;
    int last = 0;
    driver::waitUntil([&] {
        const int now = progress(main_);
        if (now + 30 < last) ++repeats;
        last = now;
        return repeats >= 2;
    }, 15000);
    EXPECT_GE(repeats, 2) << "looping play did not repeat";
    EXPECT_TRUE(::IsWindow(view_)) << "the view closed between repeats";
    EXPECT_TRUE(playingSize(main_));
    driver::sendCommand(main_, kCommandStop);
    EXPECT_TRUE(driver::waitForWindowGone(view_)) << "Stop left the view open";
    EXPECT_TRUE(driver::waitUntil([&] { return compactSize(main_); }));
    closePlayer(player_);
}

TEST_F(PlaybackTest, PauseKeepsThePausedFrameAndStopClosesTheView) {
    TestMovieShape shape{30, 300};
    start(shape);
    ASSERT_TRUE(driver::waitUntil([&] { return progress(main_) >= 15; }));
    driver::pressKey(main_, VK_SPACE);  // Space pauses, as Play/Pause does
    driver::Pixels first, second;
    ASSERT_TRUE(driver::waitUntil([&] {
        ::Sleep(400);
        return driver::captureClient(view_, first) && driver::captureClient(view_, second) &&
               first.values == second.values;
    }, 8000));
    ::Sleep(700);  // longer than two frames: a paused view does not move on
    driver::Pixels later;
    ASSERT_TRUE(driver::captureClient(view_, later));
    EXPECT_EQ(later.values, first.values) << "the view moved on after Pause";
    const int frame = shownFrame(later, movie_, shape.recordedArea);
    EXPECT_GE(frame, 3) << "the paused view does not show a frame of the movie";
    EXPECT_TRUE(::IsWindow(view_));

    driver::typeCharacter(view_, '.');  // the view's key for Stop
    EXPECT_TRUE(driver::waitForWindowGone(view_)) << "Stop after Pause left the view open";
    closePlayer(player_);
}

TEST_F(PlaybackTest, TwoClicksOnTheBarWithinHalfASecondSeekOnce) {
    TestMovieShape shape{40, 300};
    start(shape);
    pause();  // seeks then show stills
    clickBar(main_, 25);
    clickBar(main_, 75);
    ASSERT_TRUE(driver::waitUntil([&] { return progress(main_) == 25; })) << progress(main_);
    ::Sleep(300);
    EXPECT_EQ(progress(main_), 25) << "the second click seeked too";
    // The paused view shows the frame the seek asked for: 25 % of 39 frames.
    driver::Pixels pixels;
    ASSERT_TRUE(driver::waitUntil([&] {
        return driver::captureClient(view_, pixels) && shownFrame(pixels, movie_, shape.recordedArea) == 9;
    }, 5000)) << "the view shows frame " << shownFrame(pixels, movie_, shape.recordedArea);

    ::Sleep(600);
    clickBar(main_, 75);
    EXPECT_TRUE(driver::waitUntil([&] { return progress(main_) == 75; })) << "a later click did not seek";
    closePlayer(player_);
}

TEST_F(PlaybackTest, SeekDuringARunResumesPlayingFromTheNewPosition) {
    start({60, 200});
    ASSERT_TRUE(driver::waitUntil([&] { return progress(main_) >= 5; }));
    clickBar(main_, 70);
    // Playing goes on from 70 %: the bar moves past it while the view stays.
    EXPECT_TRUE(driver::waitUntil([&] { return progress(main_) >= 75; }, 10000)) << progress(main_);
    EXPECT_TRUE(::IsWindow(view_));
    EXPECT_TRUE(driver::waitForWindowGone(view_)) << "the resumed run did not end";
    closePlayer(player_);
}

TEST_F(PlaybackTest, ClosingTheViewStopsPlayback) {
    start({100, 100});
    ASSERT_TRUE(driver::waitUntil([&] { return progress(main_) >= 3; }));
    EXPECT_TRUE(playingSize(main_));
    ::PostMessageA(view_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver::waitForWindowGone(view_));
    EXPECT_TRUE(driver::waitUntil([&] { return playerIdle(main_) && compactSize(main_); }, 5000))
        << "the run went on after its view closed";
    const int stoppedAt = progress(main_);
    ::Sleep(300);
    EXPECT_EQ(progress(main_), stoppedAt) << "the bar moves on";
    EXPECT_TRUE(player_.running());
    closePlayer(player_);
}

TEST_F(PlaybackTest, ClosingDuringARunStopsItAndThenCloses) {
    start({100, 100});
    ASSERT_TRUE(driver::waitUntil([&] { return progress(main_) >= 3; }));
    ::PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(player_.waitForExit()) << "the player did not close after the run stopped";
    EXPECT_EQ(player_.exitCode(), 0u);
}

TEST_F(PlaybackTest, EditWithoutProducerShowsTheMessageAndTheRunnerStays) {
    start({30, 200});
    pause();  // Edit needs an idle player
    driver::sendCommand(main_, kCommandEdit);
    std::string text;
    HWND box = waitForBox(player_, "Tavrix Player", text);
    ASSERT_TRUE(box);
    EXPECT_EQ(text, "Unable to locate Tavrix Producer.");
    ASSERT_TRUE(driver::pressButton(box, "OK"));
    EXPECT_TRUE(player_.running());
    EXPECT_TRUE(::IsWindow(main_));
    closePlayer(player_);
}

TEST_F(PlaybackTest, EditStartsTheProducerWithTheMovieAndCloses) {
    ASSERT_FALSE(producerPath().empty()) << "run with --producer=PATH";
    ASSERT_TRUE(::CopyFileA(producerPath().c_str(), (folder_ + "\\tavrix.exe").c_str(), FALSE));
    start({30, 200});
    pause();
    driver::sendCommand(main_, kCommandEdit);
    ASSERT_TRUE(player_.waitForExit()) << "Edit did not close the player";
    const std::string request = folder_ + "\\tavrix-request.txt";
    ASSERT_TRUE(driver::waitUntil([&] { return !readFileBytes(request).empty(); }));
    EXPECT_EQ(readFileBytes(request), folder_ + "\\movie.exe\n");
}

}  // namespace
}  // namespace quillet::e2e

namespace quillet::e2e {
namespace {

bool enabled(HWND main, int command) {
    return ::SendMessageA(::GetDlgItem(main, kToolbarControl), TB_ISBUTTONENABLED, command, 0) != 0;
}

constexpr int kCommandOpen = 32771;
constexpr int kCommandSetup = 32775;
constexpr int kCommandInfo = 32776;

TEST_F(PlaybackTest, ToolbarFollowsThePlayerAndCaptionsCarryTheTitle) {
    // A file name on the command line is the title (the options keep it lowered).
    const std::string title = folder_ + "\\notes.txt";
    writeFileBytes(title, "title");
    std::string lowered = title;
    for (char& c : lowered) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    const std::string caption = lowered + " - Tavrix 2000 Player";
    start({60, 100}, {title}, caption.c_str());
    EXPECT_EQ(driver::windowText(view_), lowered + " (100 %) - Playing");

    ASSERT_TRUE(driver::waitUntil([&] { return !playerIdle(main_); }));
    EXPECT_TRUE(enabled(main_, kCommandPlayPause));
    EXPECT_TRUE(enabled(main_, kCommandStop));
    EXPECT_FALSE(enabled(main_, kCommandSetup));
    EXPECT_FALSE(enabled(main_, kCommandInfo));
    EXPECT_FALSE(enabled(main_, kCommandOpen));

    pause();
    EXPECT_TRUE(enabled(main_, kCommandStop)) << "a paused player can be stopped";
    EXPECT_FALSE(enabled(main_, kCommandSetup)) << "Setup waits until the player is stopped";
    EXPECT_TRUE(enabled(main_, kCommandInfo));

    driver::sendCommand(main_, kCommandStop);
    ASSERT_TRUE(driver::waitForWindowGone(view_));
    EXPECT_TRUE(driver::waitUntil([&] { return !enabled(main_, kCommandStop) && enabled(main_, kCommandSetup); }));
    EXPECT_TRUE(enabled(main_, kCommandPlayPause));
    EXPECT_FALSE(enabled(main_, kCommandOpen));
    ::PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(player_.waitForExit());
}

}  // namespace
}  // namespace quillet::e2e
