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
        closePlayer(player_);
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

TEST_F(ViewTest, DuringPlayTheViewShowsTheRecordedPictures) {
    TestMovieShape shape{10, 600};
    open(shape, {});
    HWND view = waitForView(player_);
    ASSERT_TRUE(view);
    std::vector<int> seen;
    for (int checkpoint = 0; checkpoint < 3; ++checkpoint) {
        int frame = -1;
        driver::Pixels pixels;
        // A capture that meets the view while a frame is copied in may mix two
        // frames; the next one will not.
        EXPECT_TRUE(driver::waitUntil([&] {
            return driver::captureClient(view, pixels) && (frame = shownFrame(pixels, movie_, shape.recordedArea)) >= 0;
        }, 3000)) << "checkpoint " << checkpoint << " shows no frame of the movie";

        if (frame >= 0) seen.push_back(frame);
        ::Sleep(1300);
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_LE(seen[0], seen[1]);
    EXPECT_LE(seen[1], seen[2]);
    EXPECT_GT(seen[2], seen[0]) << "the view did not move on";
}

}  // namespace
}  // namespace quillet::e2e
