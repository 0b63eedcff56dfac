#pragma once
// The player waiting idle with its movie, as its dialogs need it: the first run has
// played to its end and the view is closed.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "player_fixture.h"
#include "test_movies.h"

namespace quillet::e2e {

class IdlePlayerTest : public PlayerTest {
protected:
    void startIdle(const TestMovieShape& shape, const std::string& name = "movie.exe") {
        movie_ = makeTestMovie(shape);
        moviePath_ = packedPlayer(name, movie_.bytes);
        ASSERT_TRUE(player_.start(moviePath_));
        main_ = waitForMainWindow(player_);
        ASSERT_TRUE(main_) << "no main window";
        // The toolbar may offer Setup for a moment before the first run starts.
        ASSERT_TRUE(waitForView(player_)) << "the movie did not start playing";
        waitUntilIdle();
    }
    // Waits for the run that is on to end, and for the toolbar to offer Setup.
    void waitUntilIdle() {
        if (HWND view = findView()) {
            ASSERT_TRUE(driver::waitForWindowGone(view)) << "the run did not end";
        }
        ASSERT_TRUE(driver::waitUntil([&] { return enabled(kCommandSetup); })) << "Setup never became available";
    }
    HWND findView() { return driver::findWindow(player_.id(), kViewClass, nullptr); }
    HWND toolbar() const { return ::GetDlgItem(main_, kToolbarControl); }
    bool enabled(int command) const { return ::SendMessageA(toolbar(), TB_ISBUTTONENABLED, command, 0) != 0; }
    // Clicks a toolbar button and waits for the dialog it opens. The window is
    // brought to the front first: when a run ends its view goes, and the main
    // window is not active; under Wine a click there only activates it.
    HWND openFromToolbar(int command, const char* caption) {
        ::SetForegroundWindow(main_);
        const DWORD thread = ::GetWindowThreadProcessId(main_, nullptr);
        EXPECT_TRUE(driver::waitUntil([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return ::GetForegroundWindow() == main_ && ::GetGUIThreadInfo(thread, &info) && info.hwndActive == main_;
        }, 5000)) << "the main window did not come to the front";
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        EXPECT_TRUE(driver::clickToolbarButton(toolbar(), command)) << "no toolbar button " << command;
        return driver::waitForWindow(player_.id(), kDialogClass, caption, 3000);
    }
    void TearDown() override {
        if (player_.running()) closePlayer(player_);
        PlayerTest::TearDown();
    }

    driver::Process player_;
    TestMovie movie_;
    std::string moviePath_;
    HWND main_ = nullptr;
};

// The control's text, read across processes.
inline std::string itemText(HWND dialog, int id) { return driver::windowText(::GetDlgItem(dialog, id)); }

}  // namespace quillet::e2e
