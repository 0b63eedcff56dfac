// The view window: its frame and place as the options ask, and what it shows.

#include <gtest/gtest.h>

#include <set>

#include "player_fixture.h"
#include "test_movies.h"

namespace quillet::e2e {
namespace {

using driver::Process;

struct ViewShape {
    RECT bounds{};
    RECT client{};
    LONG_PTR style = 0;
    LONG_PTR exStyle = 0;
};

ViewShape shapeOf(HWND view) {
    ViewShape shape;
    ::GetWindowRect(view, &shape.bounds);
    ::GetClientRect(view, &shape.client);
    shape.style = ::GetWindowLongPtrA(view, GWL_STYLE);
    shape.exStyle = ::GetWindowLongPtrA(view, GWL_EXSTYLE);
    return shape;
}

class ViewTest : public PlayerTest {
protected:
    ViewShape open(const TestMovieShape& shape, const std::vector<std::string>& options) {
        movie_ = makeTestMovie(shape);
        EXPECT_TRUE(player_.start(packedPlayer("movie.exe", movie_.bytes), options));
        HWND view = waitForView(player_);
        EXPECT_TRUE(view) << "no view";
        return view ? shapeOf(view) : ViewShape();
    }
    void TearDown() override {
        if (player_.running()) closePlayer(player_);
        PlayerTest::TearDown();
    }

    Process player_;
    TestMovie movie_;
};

const int kScreenWidth = ::GetSystemMetrics(SM_CXSCREEN);
const int kScreenHeight = ::GetSystemMetrics(SM_CYSCREEN);

TEST_F(ViewTest, CaptionedViewIsCentredAndKeepsTheRecordedClientSize) {
    const ViewShape view = open({40, 200}, {});
    EXPECT_TRUE(view.style & WS_CAPTION);
    EXPECT_TRUE(view.style & WS_SYSMENU);
    EXPECT_EQ(view.client.right, 320);
    EXPECT_EQ(view.client.bottom, 240);
    const int width = view.bounds.right - view.bounds.left, height = view.bounds.bottom - view.bounds.top;
    EXPECT_EQ(view.bounds.left, (kScreenWidth - width) / 2);
    EXPECT_EQ(view.bounds.top, (kScreenHeight - height) / 2);
    EXPECT_FALSE(view.exStyle & WS_EX_TOPMOST);
}

TEST_F(ViewTest, PositionOptionsReplaceTheCentre) {
    const ViewShape view = open({40, 200}, {"/tx:30", "/ty:40"});
    EXPECT_EQ(view.bounds.left, 30);
    EXPECT_EQ(view.bounds.top, 40);
}

TEST_F(ViewTest, OverRecordedAreaPutsTheClientWhereTheAreaWas) {
    TestMovieShape shape{40, 200, {640, 480, 32}, {100, 150, 420, 390}};
    const ViewShape view = open(shape, {"/o"});
    EXPECT_EQ(view.bounds.left, 100 - ::GetSystemMetrics(SM_CXDLGFRAME));
    EXPECT_EQ(view.bounds.top, 150 - 2 * ::GetSystemMetrics(SM_CYDLGFRAME) - ::GetSystemMetrics(SM_CYSMCAPTION) -
                                   ::GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(view.client.right, 320);
    EXPECT_EQ(view.client.bottom, 240);
}

TEST_F(ViewTest, NoCaptionGivesAPopUpOfExactlyTheRequestedSize) {
    const ViewShape view = open({40, 200}, {"/nc"});
    EXPECT_TRUE(view.style & WS_POPUP);
    EXPECT_FALSE((view.style & WS_CAPTION) == WS_CAPTION);
    EXPECT_EQ(view.bounds.right - view.bounds.left, 320);
    EXPECT_EQ(view.bounds.bottom - view.bounds.top, 240);
    EXPECT_EQ(view.client.right, 320);
}

TEST_F(ViewTest, TopmostOption) {
    const ViewShape view = open({40, 200}, {"/t"});
    EXPECT_TRUE(view.exStyle & WS_EX_TOPMOST);
}

TEST_F(ViewTest, ScreenSizedRecordingCoversTheScreenWithoutCaption) {
    TestMovieShape shape{4, 2000, {kScreenWidth, kScreenHeight, 32}, {0, 0, kScreenWidth, kScreenHeight}};
    const ViewShape view = open(shape, {});
    EXPECT_TRUE(view.style & WS_POPUP);
    EXPECT_FALSE((view.style & WS_CAPTION) == WS_CAPTION);
    EXPECT_EQ(view.bounds.left, 0);
    EXPECT_EQ(view.bounds.top, 0);
    EXPECT_EQ(view.bounds.right, kScreenWidth);
    EXPECT_EQ(view.bounds.bottom, kScreenHeight);
}

// The frame the view shows at atMs after start. A capture that meets the view
// while a frame is copied in may mix two frames; one a moment later will not.
int frameShownAt(HWND view, DWORD start, int atMs, const TestMovie& movie, const Rect& area) {
    while (static_cast<int>(::GetTickCount() - start) < atMs) ::Sleep(5);
    int frame = -1;
    driver::Pixels pixels;
    driver::waitUntil([&] { return driver::captureClient(view, pixels) && (frame = shownFrame(pixels, movie, area)) >= 0; },
                      300);
    return frame;
}

TEST_F(ViewTest, TheViewShowsTheFrameThatIsDue) {
    // Frame k is due from k x 1.5 s to (k + 1) x 1.5 s after the run starts, which
    // is right after the view appears: looked at in the middle of each span.
    TestMovieShape shape{4, 1500, {240, 160, 32}, {0, 0, 240, 160}};
    open(shape, {});
    HWND view = waitForView(player_);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(view);
    for (int k = 0; k < shape.frames; ++k)
        EXPECT_EQ(frameShownAt(view, start, 1500 * k + 750, movie_, shape.recordedArea), k) << "at " << 1500 * k + 750 << " ms";
}

TEST_F(ViewTest, TheLastFrameStaysUntilTheEnd) {
    // Forty short frames of noise, which the loader is still reading while the run
    // plays, then a last frame of four seconds; /q ends the player with the run.
    TestMovieShape shape{41, 50, {320, 240, 32}, {0, 0, 320, 240}, 4000, true};
    open(shape, {"/q"});
    HWND view = waitForView(player_);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(view);
    EXPECT_EQ(frameShownAt(view, start, 3000, movie_, shape.recordedArea), 40);
    EXPECT_EQ(frameShownAt(view, start, 5000, movie_, shape.recordedArea), 40);
    ASSERT_TRUE(player_.waitForExit());
    EXPECT_GE(static_cast<int>(::GetTickCount() - start), 5500) << "the run ended before its last frame was over";
}

}  // namespace
}  // namespace quillet::e2e
