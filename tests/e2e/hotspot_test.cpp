// Exercise movies in the real player: hotspots hold playback at their first frame
// and the test answers them as a viewer would, with the mouse and the keyboard.

#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>

#include "player_fixture.h"
#include "test_movies.h"
#include "tests/support/captured_sound.h"
#include "tests/support/tone_wav.h"
#include "tools/moviewriter/object_description.h"

namespace quillet::e2e {
namespace {

using driver::Mouse;

class HotspotTest : public PlayerTest {
protected:
    // Starts a movie of 24 frames of 100 ms with the hotspots described, and a
    // beep beside it for the hotspots that name "beep.wav".
    void start(const std::string& hotspots, const std::string& background = std::string()) {
        TestMovieShape shape{24, 100};
        shape.background = background;
        std::string error;
        ASSERT_TRUE(parseObjectDescription(hotspots, shape.objects, error)) << error;
        movie_ = makeTestMovie(shape);
        shape_ = shape;
        std::ofstream(folder_ + "\\beep.wav", std::ios::binary) << testing::toneWav(22050, 0.2, 1200);
        ASSERT_TRUE(player_.start(packedPlayer("exercise.exe", movie_.bytes)));
        main_ = waitForMainWindow(player_);
        view_ = waitForView(player_);
        ASSERT_TRUE(main_ && view_);
    }
    // The frame the view shows now, -1 when it shows none (or is gone).
    int frameShown() {
        driver::Pixels pixels;
        if (!::IsWindow(view_) || !driver::captureClient(view_, pixels)) return -1;
        return shownFrame(pixels, movie_, shape_.recordedArea);
    }
    bool idle() {
        return ::SendMessageA(::GetDlgItem(main_, kToolbarControl), TB_ISBUTTONENABLED, kCommandProperties, 0) != 0;
    }
    // Held at frame: no run, and the view showing that frame.
    bool waitHeldAt(int frame, int timeoutMs = 10000) {
        return driver::waitUntil([&] { return ::IsWindow(view_) && idle() && frameShown() == frame; }, timeoutMs);
    }
    // Still held a while later: nothing the test did resumed playback.
    bool stillHeldAt(int frame) {
        ::Sleep(600);
        return ::IsWindow(view_) && idle() && frameShown() == frame;
    }
    // Playing on from frame or later.
    bool resumedFrom(int frame) {
        return driver::waitUntil([&] {
            const int shown = frameShown();
            return !::IsWindow(view_) || shown >= frame;
        });
    }

    driver::Process player_;
    TestMovie movie_;
    TestMovieShape shape_;
    HWND main_ = nullptr;
    HWND view_ = nullptr;
};

TEST_F(HotspotTest, AClickHoldsThenAnswersAndPlayingGoesOnAfterTheSpan) {
    start("hotspot id=1 first=8 frames=3 body=100,100,200,160 events=100030\n");
    ASSERT_TRUE(waitHeldAt(8)) << "the view shows " << frameShown();
    EXPECT_TRUE(stillHeldAt(8));
    driver::click(view_, 150, 130);
    EXPECT_TRUE(resumedFrom(11)) << "playing goes on at the frame after the span";
    EXPECT_TRUE(driver::waitForWindowGone(view_)) << "and plays to the end";
    closePlayer(player_);
}

TEST_F(HotspotTest, ARightAnswerOnTheLastFrameEndsTheRun) {
    // Nothing follows the span: the answer completes the run rather than holding
    // at the last frame again.
    start("hotspot id=1 first=23 frames=1 body=100,100,200,160 events=100030\n");
    ASSERT_TRUE(waitHeldAt(23)) << "the view shows " << frameShown();
    driver::click(view_, 150, 130);
    EXPECT_TRUE(driver::waitForWindowGone(view_)) << "the run did not end";
    closePlayer(player_);
}

TEST_F(HotspotTest, ACtrlClickWhereNoneIsExpectedIsAWrongAnswerThatSoundsAgain) {
    start("hotspot id=1 first=6 frames=2 body=100,100,200,160 events=100030 sound-name=beep.wav\n");
    ASSERT_TRUE(waitHeldAt(6));
    // The sound that starts with the hold has ended before the wrong answer.
    ASSERT_TRUE(stillHeldAt(6));
    const std::string capture = testing::captureFile();
    const uint64_t before = capture.empty() ? 0 : testing::capturedBytes(capture);
    ::SetForegroundWindow(view_);
    driver::holdKey(VK_CONTROL, true);
    ::Sleep(100);
    driver::click(view_, 150, 130);
    ::Sleep(300);
    driver::holdKey(VK_CONTROL, false);
    EXPECT_TRUE(stillHeldAt(6)) << "a wrong answer keeps the hold";
    if (!capture.empty()) {
        const std::vector<float> left = testing::leftChannel(testing::capturedFrom(capture, before));
        const auto loud = std::count_if(left.begin(), left.end(), [](float v) { return std::fabs(v) > 0.05f; });
        EXPECT_GT(loud, 2000) << "the hotspot's sound played again";
    }
    driver::click(view_, 150, 130);
    EXPECT_TRUE(resumedFrom(8)) << "without Ctrl the click answers";
    closePlayer(player_);
}

TEST_F(HotspotTest, ADropAnswersOnlyAfterAPressOnItsSource) {
    start("hotspot id=1 first=5 frames=2 body=20,60,80,100 events=200020 partner=2 label=file\n"
          "hotspot id=2 first=5 frames=2 body=200,60,280,100 events=100010 partner=1 label=trash\n");
    ASSERT_TRUE(waitHeldAt(5));
    driver::click(view_, 240, 80);  // a drop with no drag before it
    EXPECT_TRUE(stillHeldAt(5));
    driver::postMouse(view_, Mouse::LeftDown, 50, 80);
    driver::postMouse(view_, Mouse::Move, 150, 80);
    driver::postMouse(view_, Mouse::LeftUp, 240, 80);
    EXPECT_TRUE(resumedFrom(7));
    closePlayer(player_);
}

TEST_F(HotspotTest, DoubleClickAndRightButtonHotspotsAnswerOnlyToTheirEvent) {
    // Three holds in turn: a double click, a right-button press, a right-button release.
    start("hotspot id=1 first=4 frames=2 body=100,100,200,160 events=80008\n"
          "hotspot id=2 first=9 frames=2 body=100,100,200,160 events=40004\n"
          "hotspot id=3 first=14 frames=2 body=100,100,200,160 events=20002\n");
    ASSERT_TRUE(waitHeldAt(4));
    driver::click(view_, 150, 130);
    driver::postMouse(view_, Mouse::RightDown, 150, 130);
    EXPECT_TRUE(stillHeldAt(4)) << "a click or a right press does not answer a double-click hotspot";
    driver::postMouse(view_, Mouse::LeftDoubleClick, 150, 130);
    ASSERT_TRUE(waitHeldAt(9)) << "the double click answered; the next hold";
    driver::click(view_, 150, 130);
    driver::postMouse(view_, Mouse::RightUp, 150, 130);
    EXPECT_TRUE(stillHeldAt(9));
    driver::postMouse(view_, Mouse::RightDown, 150, 130);
    ASSERT_TRUE(waitHeldAt(14)) << "the right press answered";
    driver::postMouse(view_, Mouse::RightDown, 150, 130);
    EXPECT_TRUE(stillHeldAt(14)) << "a right press does not answer a right-release hotspot";
    driver::postMouse(view_, Mouse::RightUp, 150, 130);
    EXPECT_TRUE(resumedFrom(16));
    closePlayer(player_);
}

TEST_F(HotspotTest, KeyboardHotspotsAnswerTheirKeyWithTheirModifiers) {
    // 'N' with Ctrl; the first hotspot hears nothing else and sounds again on any
    // other key, the second listens to clicks and ignores wrong keys.
    start("hotspot id=1 first=4 frames=2 body=100,100,200,160 events=0 key=78 modifiers=2 sound-name=beep.wav\n"
          "hotspot id=2 first=9 frames=2 body=100,100,200,160 events=100030 key=78\n"
          "hotspot id=3 first=14 frames=2 body=100,100,200,160 events=0 key=78 modifiers=1\n"
          "hotspot id=4 first=18 frames=2 body=100,100,200,160 events=0 key=121\n");
    ASSERT_TRUE(waitHeldAt(4));
    driver::pressKey(view_, 'N');  // without Ctrl: wrong
    EXPECT_TRUE(stillHeldAt(4));
    ::SetForegroundWindow(view_);
    driver::holdKey(VK_CONTROL, true);
    ::Sleep(100);
    driver::pressKey(view_, 'N');
    ::Sleep(200);
    driver::holdKey(VK_CONTROL, false);
    ASSERT_TRUE(waitHeldAt(9)) << "Ctrl+N answered; the next hold";
    driver::pressKey(view_, 'X');
    EXPECT_TRUE(stillHeldAt(9));
    driver::pressKey(view_, 'N');
    EXPECT_TRUE(resumedFrom(11));
    // Alt+N and F10 reach a window as system keys; typed for real, in order, and
    // the view is not left in menu mode between them.
    ASSERT_TRUE(waitHeldAt(14));
    ::SetForegroundWindow(view_);
    for (int key : {int{VK_MENU}, int{'N'}}) driver::holdKey(key, true);
    for (int key : {int{'N'}, int{VK_MENU}}) driver::holdKey(key, false);
    ASSERT_TRUE(waitHeldAt(18)) << "Alt+N answered; the next hold";
    driver::holdKey(VK_F10, true);
    driver::holdKey(VK_F10, false);
    EXPECT_TRUE(resumedFrom(20)) << "F10 answered";
    closePlayer(player_);
}

TEST_F(HotspotTest, OfTwoOverlappingHotspotsTheLaterInTheFileTakesTheClick) {
    // The earlier one would resume at frame 16, the later one at 10.
    start("hotspot id=1 first=8 frames=8 body=100,100,200,160 events=100030\n"
          "hotspot id=2 first=8 frames=2 body=120,110,180,150 events=100030\n");
    ASSERT_TRUE(waitHeldAt(8));
    driver::click(view_, 150, 130);
    ASSERT_TRUE(driver::waitUntil([&] { return frameShown() >= 10 || !::IsWindow(view_); }));
    EXPECT_LT(frameShown(), 16) << "playing went on after the later hotspot's span";
    closePlayer(player_);
}

TEST_F(HotspotTest, ThePointerChangesOverTheHotspot) {
    start("hotspot id=1 first=6 frames=2 body=100,100,200,160 events=100030 cursor=2\n");
    ASSERT_TRUE(waitHeldAt(6));
    // Cursor handles belong to the process that loaded them, so the test tells the
    // player's pointers apart without naming them: the one beside the hotspot, the
    // one over it (cursor 2, the cross), and the first again once the pointer leaves.
    auto pointerAt = [&](int x, int y) {
        POINT at{x, y};
        ::ClientToScreen(view_, &at);
        // The pointer the player settles on: the same for half a second.
        HCURSOR shown = nullptr;
        int sameFor = 0;
        for (int poll = 0; poll < 100 && sameFor < 10; ++poll) {
            ::SetCursorPos(at.x, at.y);
            driver::postMouse(view_, Mouse::Move, x, y);
            ::Sleep(50);
            CURSORINFO info{};
            info.cbSize = sizeof info;
            const HCURSOR now = ::GetCursorInfo(&info) ? info.hCursor : nullptr;
            sameFor = now == shown ? sameFor + 1 : 0;
            shown = now;
        }
        return shown;
    };
    const HCURSOR beside = pointerAt(40, 40);
    const HCURSOR over = pointerAt(150, 130);
    EXPECT_NE(beside, over);
    EXPECT_EQ(pointerAt(40, 40), beside);
    closePlayer(player_);
}

// The loud share of what the sound device got during the next half second.
double loudShareOfTheNextHalfSecond(const std::string& capture) {
    const uint64_t from = testing::capturedBytes(capture);
    ::Sleep(500);
    const std::vector<float> left = testing::leftChannel(testing::capturedFrom(capture, from));
    if (left.empty()) return 0;
    const auto loud = std::count_if(left.begin(), left.end(), [](float v) { return std::fabs(v) > 0.05f; });
    return static_cast<double>(loud) / static_cast<double>(left.size());
}

TEST_F(HotspotTest, WhileHeldSpaceKeepsTheHoldWithItsMusicAndDotStops) {
    // Space runs Play/Pause: with no run, playing starts at the held frame, which
    // holds again at once. The background music plays on through all of it.
    const std::string capture = testing::captureFile();
    start("hotspot id=1 first=6 frames=2 body=100,100,200,160 events=100030\n"
          "hotspot id=2 first=12 frames=2 body=100,100,200,160 events=100030\n",
          testing::toneWav(22050, 20.0, 500));
    ASSERT_TRUE(waitHeldAt(6));
    driver::pressKey(view_, VK_SPACE);
    EXPECT_TRUE(stillHeldAt(6));
    if (!capture.empty()) {
        EXPECT_GT(loudShareOfTheNextHalfSecond(capture), 0.3) << "the music plays on";
    }
    driver::click(view_, 150, 130);
    ASSERT_TRUE(waitHeldAt(12)) << "the click still answers";
    driver::typeCharacter(view_, '.');
    EXPECT_TRUE(driver::waitForWindowGone(view_)) << "'.' stops and the view closes";
    if (!capture.empty()) {
        ::Sleep(300);
        EXPECT_LT(loudShareOfTheNextHalfSecond(capture), 0.01) << "and the music with it";
    }
    closePlayer(player_);
}

}  // namespace
}  // namespace quillet::e2e
