// The Setup dialog in the real player: its controls and their states, the checks
// on the number of runs, and its choices taking effect at the next Play.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "dialog_fixture.h"
#include "tests/support/captured_sound.h"
#include "tests/support/tone_wav.h"
#include "tools/moviewriter/object_description.h"

namespace quillet::e2e {
namespace {

constexpr char kSetupCaption[] = "Properties";
constexpr int kTimesSpin = 1001, kObjects = 1002, kCursor = 1003, kSound = 1004, kPlayOnce = 1005;
constexpr int kLooping = 1101, kTimes = 1102, kFullScreen = 1103, kZoom = 1104;

bool checked(HWND dialog, int id) {
    return ::SendMessageA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool enabledItem(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

// The focused window of the thread that runs window.
HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

BOOL CALLBACK markSetupDialog(HWND candidate, LPARAM found) {
    if (driver::className(candidate) != kDialogClass || driver::windowText(candidate) != kSetupCaption) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Whether the thread that runs window has a Setup dialog, shown or not yet shown.
bool hasSetupDialog(HWND window) {
    bool found = false;
    ::EnumThreadWindows(::GetWindowThreadProcessId(window, nullptr), &markSetupDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

int progress(HWND main) {
    return static_cast<int>(::SendMessageA(::GetDlgItem(main, kProgressControl), PBM_GETPOS, 0, 0));
}

class SetupDialogTest : public IdlePlayerTest {
protected:
    HWND openSetup() {
        HWND dialog = openFromToolbar(kCommandSetup, kSetupCaption);
        EXPECT_TRUE(dialog) << "Setup did not open its dialog";
        return dialog;
    }
    // Presses a button of the dialog and waits for it to close.
    void closeWith(HWND dialog, const char* button) {
        ASSERT_TRUE(driver::pressButton(dialog, button));
        ASSERT_TRUE(driver::waitForWindowGone(dialog)) << button << " left the dialog open";
    }
    // Counts the runs shown while view is open (stops at enough; 0: when the view
    // closes). Each run takes the bar from its lower half to its upper half; a run
    // counts when the bar enters the lower half after having been in the upper
    // one. Until the new run's first report the bar keeps the value it had before
    // Play (before): a first reading in the upper half that differs from it is a
    // run already past its middle, one equal to it is that old value.
    int runsWhileOpen(HWND view, int before, int enough, int timeoutMs) {
        int runs = 0, last = -1;
        bool upperHalfSeen = true, moved = false;
        barTrace_.clear();
        driver::waitUntil([&] {
            const int now = progress(main_);
            if (now != last) barTrace_ += std::to_string(last = now) + ' ';
            if (!moved && now != before) {
                moved = true;
                if (now >= 50) ++runs;
            }
            if (now >= 50) {
                upperHalfSeen = true;
            } else if (upperHalfSeen) {
                upperHalfSeen = false;
                ++runs;
            }
            return (enough > 0 && runs >= enough) || !::IsWindow(view);
        }, timeoutMs);
        return runs;
    }
    // Plays, and counts the runs until the view closes.
    int runsUntilTheViewCloses() {
        const int before = progress(main_);
        driver::sendCommand(main_, kCommandPlayPause);
        HWND view = waitForView(player_);
        EXPECT_TRUE(view) << "Play did not open the view";
        return view ? runsWhileOpen(view, before, 0, 30000) : 0;
    }
    // The bar's values as the last count saw them, for a failure message.
    std::string barTrace_;
};

TEST_F(SetupDialogTest, OpensFromTheToolbarWithEveryControlAndTheSettings) {
    startIdle({10, 50});
    HWND dialog = openSetup();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(checked(dialog, kPlayOnce));
    EXPECT_FALSE(checked(dialog, kLooping));
    EXPECT_EQ(itemText(dialog, kTimes), "1");
    EXPECT_TRUE(enabledItem(dialog, kTimes) && enabledItem(dialog, kTimesSpin));
    EXPECT_FALSE(enabledItem(dialog, kZoom));
    EXPECT_FALSE(enabledItem(dialog, kFullScreen));
    EXPECT_FALSE(checked(dialog, kFullScreen));
    EXPECT_TRUE(checked(dialog, kObjects) && checked(dialog, kSound) && checked(dialog, kCursor));

    HWND zoom = ::GetDlgItem(dialog, kZoom);
    ASSERT_EQ(::SendMessageA(zoom, CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(::SendMessageA(zoom, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(driver::windowText(zoom), "100 %");
    const char* items[] = {"200 %", "150 %", "100 %", "75 %", "50 %"};
    for (int i = 0; i < 5; ++i) {
        // Across processes the item comes back in UTF-16 whichever way it is asked for.
        wchar_t text[32] = {};
        ::SendMessageW(zoom, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(std::string(text, text + std::wcslen(text)), items[i]) << "item " << i;
    }
    const std::vector<std::string> texts = driver::childTexts(dialog);
    for (const char* text : {"Play Type", "&Play", "&Looping Play", "Times", "Screen Size", "Resize", "%",
                             "Set to current Screen Size",
                             "Screen size adjustment feature will be available in the next version.",
                             "Include Object", "&Image/Draw Object", "&Sound", "&Cursor", "OK", "Cancel"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << "no \"" << text << "\"";

    // Looping play disables the number of runs, and keeps it.
    ::SendMessageA(::GetDlgItem(dialog, kLooping), BM_CLICK, 0, 0);
    EXPECT_TRUE(checked(dialog, kLooping));
    EXPECT_FALSE(checked(dialog, kPlayOnce));
    EXPECT_FALSE(enabledItem(dialog, kTimes) || enabledItem(dialog, kTimesSpin));
    EXPECT_EQ(itemText(dialog, kTimes), "1");
    ::SendMessageA(::GetDlgItem(dialog, kPlayOnce), BM_CLICK, 0, 0);
    EXPECT_TRUE(enabledItem(dialog, kTimes) && enabledItem(dialog, kTimesSpin));

    // Cancel keeps the settings as they were; OK without changes stores the same.
    ::SendMessageA(::GetDlgItem(dialog, kLooping), BM_CLICK, 0, 0);
    ::SendMessageA(::GetDlgItem(dialog, kSound), BM_CLICK, 0, 0);
    closeWith(dialog, "Cancel");
    dialog = openSetup();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(checked(dialog, kPlayOnce));
    EXPECT_TRUE(checked(dialog, kSound));
    closeWith(dialog, "OK");
    dialog = openSetup();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(checked(dialog, kPlayOnce));
    EXPECT_EQ(itemText(dialog, kTimes), "1");
    EXPECT_EQ(::SendMessageA(::GetDlgItem(dialog, kZoom), CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(checked(dialog, kObjects) && checked(dialog, kSound) && checked(dialog, kCursor));
    EXPECT_FALSE(checked(dialog, kFullScreen));
    closeWith(dialog, "Cancel");
}

TEST_F(SetupDialogTest, RefusesANumberOfRunsOutsideOneToTen) {
    startIdle({10, 50});
    HWND dialog = openSetup();
    ASSERT_TRUE(dialog);
    HWND times = ::GetDlgItem(dialog, kTimes);
    const std::string range = "Please enter an integer between 1 and 10.";
    struct Case {
        const char* typed;
        bool looping;
        std::string message;
    };
    const Case cases[] = {
        {"0", false, range},
        {"11", false, range},
        {"", false, "Please enter an integer."},
        {"0", true, range},  // disabled by looping play, and still checked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.typed + "\"" + (c.looping ? ", looping" : ""));
        ::SendMessageA(::GetDlgItem(dialog, kPlayOnce), BM_CLICK, 0, 0);
        ::SendMessageA(times, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed));
        if (c.looping) ::SendMessageA(::GetDlgItem(dialog, kLooping), BM_CLICK, 0, 0);
        ASSERT_TRUE(driver::pressButton(dialog, "OK"));
        std::string text;
        HWND box = waitForBox(player_, "Tavrix", text);
        ASSERT_TRUE(box) << "no message";
        EXPECT_EQ(text, c.message);
        ASSERT_TRUE(driver::pressButton(box, "OK"));
        ASSERT_TRUE(driver::waitForWindowGone(box));
        EXPECT_TRUE(::IsWindowVisible(dialog)) << "the dialog closed on a refused number";
        if (!c.looping) {
            EXPECT_TRUE(driver::waitUntil([&] { return focusOf(dialog) == times; }, 2000))
                << "the Times box does not have the focus";
        }
    }
    ::SendMessageA(::GetDlgItem(dialog, kPlayOnce), BM_CLICK, 0, 0);
    ::SendMessageA(times, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("10"));
    closeWith(dialog, "OK");
}

TEST_F(SetupDialogTest, IgnoredWhilePlayingAndWhilePaused) {
    movie_ = makeTestMovie({60, 200});
    ASSERT_TRUE(player_.start(packedPlayer("movie.exe", movie_.bytes)));
    main_ = waitForMainWindow(player_);
    ASSERT_TRUE(main_);
    // Posted commands are handled in order: once the About box that the system
    // menu opens in any state is up, Setup has been handled, and had it opened its
    // dialog the About box would have come up inside it.
    auto setupOpensNothing = [&] {
        driver::sendCommand(main_, kCommandSetup);
        ::PostMessageA(main_, WM_SYSCOMMAND, 16, 0);
        HWND about = driver::waitForWindow(player_.id(), kDialogClass, "Tavrix Player Properties");
        EXPECT_TRUE(about) << "no About box";
        EXPECT_FALSE(hasSetupDialog(main_)) << "Setup opened its dialog";
        if (about) {
            EXPECT_TRUE(driver::pressButton(about, "OK"));
            EXPECT_TRUE(driver::waitForWindowGone(about));
        }
    };
    // The run that starts by itself.
    HWND view = waitForView(player_);
    ASSERT_TRUE(view);
    ASSERT_TRUE(driver::waitUntil([&] { return !enabled(kCommandSetup); })) << "Setup offered during the run";
    {
        SCOPED_TRACE("playing");
        setupOpensNothing();
    }
    driver::sendCommand(main_, kCommandPlayPause);
    ASSERT_TRUE(driver::waitUntil([&] { return enabled(kCommandProperties); })) << "the run did not pause";
    ASSERT_FALSE(enabled(kCommandSetup));
    {
        SCOPED_TRACE("paused");
        setupOpensNothing();
    }
    driver::sendCommand(main_, kCommandStop);
    ASSERT_TRUE(driver::waitForWindowGone(view));
    waitUntilIdle();
    EXPECT_TRUE(openSetup()) << "Setup after Stop";
}

TEST_F(SetupDialogTest, ThreeTimesRunsTheMovieThreeTimesThenClosesTheView) {
    startIdle({20, 50});
    HWND dialog = openSetup();
    ASSERT_TRUE(dialog);
    ::SendMessageA(::GetDlgItem(dialog, kTimes), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3"));
    closeWith(dialog, "OK");
    EXPECT_EQ(runsUntilTheViewCloses(), 3) << "the bar went " << barTrace_;
    // The count starts again for the next Play.
    waitUntilIdle();
    EXPECT_EQ(runsUntilTheViewCloses(), 3) << "the bar went " << barTrace_;
}

TEST_F(SetupDialogTest, LoopingChosenInSetupRepeatsUntilStop) {
    startIdle({20, 50});
    HWND dialog = openSetup();
    ASSERT_TRUE(dialog);
    ::SendMessageA(::GetDlgItem(dialog, kLooping), BM_CLICK, 0, 0);
    closeWith(dialog, "OK");
    const int before = progress(main_);
    driver::sendCommand(main_, kCommandPlayPause);
    HWND view = waitForView(player_);
    ASSERT_TRUE(view);
    const int runs = runsWhileOpen(view, before, 4, 15000);
    EXPECT_GE(runs, 4) << "looping play did not go on";
    EXPECT_TRUE(::IsWindow(view));
    driver::sendCommand(main_, kCommandStop);
    EXPECT_TRUE(driver::waitForWindowGone(view)) << "Stop left the view open";
}

TEST_F(SetupDialogTest, ViewSizeSettingsSizeTheNextView) {
    // The list and the check box are disabled for the viewer; set through their
    // messages, they are read back like the rest.
    struct Case {
        int zoomIndex;
        bool fullScreen;
        int width, height;
        const char* captionSuffix;
    };
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const Case cases[] = {
        {0, false, 640, 480, " (200 %) - Playing"},
        {4, false, 160, 120, " (50 %) - Playing"},
        {2, true, screenWidth, screenHeight, " (Full Screen) - Playing"},
    };
    startIdle({40, 200});
    for (const Case& c : cases) {
        SCOPED_TRACE("zoom " + std::to_string(c.zoomIndex) + (c.fullScreen ? ", full screen" : ""));
        HWND dialog = openSetup();
        ASSERT_TRUE(dialog);
        ::SendMessageA(::GetDlgItem(dialog, kZoom), CB_SETCURSEL, static_cast<WPARAM>(c.zoomIndex), 0);
        ::SendMessageA(::GetDlgItem(dialog, kFullScreen), BM_SETCHECK, c.fullScreen ? BST_CHECKED : BST_UNCHECKED, 0);
        closeWith(dialog, "OK");
        driver::sendCommand(main_, kCommandPlayPause);
        HWND view = waitForView(player_);
        ASSERT_TRUE(view);
        RECT client{};
        ::GetClientRect(view, &client);
        EXPECT_EQ(client.right, c.width);
        EXPECT_EQ(client.bottom, c.height);
        if (!c.fullScreen) {
            EXPECT_EQ(driver::windowText(view), c.captionSuffix);
        }
        driver::sendCommand(main_, kCommandStop);
        ASSERT_TRUE(driver::waitForWindowGone(view));
        waitUntilIdle();
    }
}

// The frame on screen, told by the background's colour in a corner that bars,
// cursor and objects never reach.
int frameOf(const driver::Pixels& pixels, const TestMovie& movie) {
    for (size_t k = 0; k < movie.pictures.size(); ++k)
        if (pixels.at(310, 235) == movie.pictures[k].at(310, 235)) return static_cast<int>(k);
    return -1;
}

struct LayersSeen {
    bool object = false;
    bool cursor = false;
    int frames = 0;
};

// Looks at the view until it closes: whether the outline's edge and the recorded
// cursor were ever on screen over the frames it showed.
LayersSeen layersDuringTheRun(HWND view, const TestMovie& movie) {
    LayersSeen seen;
    driver::waitUntil([&] {
        driver::Pixels pixels;
        if (!driver::captureClient(view, pixels) || pixels.width != 320) return !::IsWindow(view);
        const int k = frameOf(pixels, movie);
        if (k < 0) return false;
        ++seen.frames;
        const Picture& picture = movie.pictures[static_cast<size_t>(k)];
        const FrameSpec& spec = movie.specs[static_cast<size_t>(k)];
        if (pixels.at(41, 110) == 0xFF0000) seen.object = true;
        for (int y = spec.cursorY; y < spec.cursorY + 16; ++y)
            for (int x = spec.cursorX; x < spec.cursorX + 16; ++x)
                if (pixels.at(x, y) != picture.at(x, y)) seen.cursor = true;
        return false;
    }, 20000);
    return seen;
}

float loudest(const std::string& captured) {
    float peak = 0;
    for (float sample : testing::leftChannel(captured)) peak = std::max(peak, std::fabs(sample));
    return peak;
}

TEST_F(SetupDialogTest, LayersTurnedOffAreLeftOutOfTheNextRun) {
    TestMovieShape shape{12, 250};
    std::string error;
    ASSERT_TRUE(parseObjectDescription("rect id=1 first=0 frames=12 body=40,60,200,160 line=ff0000 width=4\n",
                                       shape.objects, error))
        << error;
    shape.narration = testing::toneWav(8000, 3.0, 660);
    const std::string capture = testing::captureFile();

    movie_ = makeTestMovie(shape);
    ASSERT_TRUE(player_.start(packedPlayer("movie.exe", movie_.bytes)));
    main_ = waitForMainWindow(player_);
    ASSERT_TRUE(main_);
    HWND view = waitForView(player_);
    ASSERT_TRUE(view);
    const LayersSeen before = layersDuringTheRun(view, movie_);
    ASSERT_GT(before.frames, 0) << "no frame of the movie seen";
    EXPECT_TRUE(before.object && before.cursor) << "the first run shows objects and cursor";
    waitUntilIdle();
    const uint64_t heardBefore = capture.empty() ? 0 : testing::capturedBytes(capture);
    if (!capture.empty()) {
        EXPECT_GT(loudest(testing::capturedFrom(capture, 0)), 0.05f) << "the first run was silent";
    }

    HWND dialog = openSetup();
    ASSERT_TRUE(dialog);
    for (int box : {kObjects, kSound, kCursor}) ::SendMessageA(::GetDlgItem(dialog, box), BM_CLICK, 0, 0);
    closeWith(dialog, "OK");
    driver::sendCommand(main_, kCommandPlayPause);
    view = waitForView(player_);
    ASSERT_TRUE(view);
    const LayersSeen after = layersDuringTheRun(view, movie_);
    ASSERT_GT(after.frames, 0) << "no frame of the movie seen";
    EXPECT_FALSE(after.object) << "objects were drawn";
    EXPECT_FALSE(after.cursor) << "the cursor was drawn";
    if (!capture.empty()) {
        EXPECT_LT(loudest(testing::capturedFrom(capture, heardBefore)), 0.01f) << "the narration was played";
    }
}

}  // namespace
}  // namespace quillet::e2e
