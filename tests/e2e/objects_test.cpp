// Annotation objects in the real player: outlines and an arrow over the recorded
// pictures, on screen at their frames and gone outside them.

#include <gtest/gtest.h>

#include "player_fixture.h"
#include "test_movies.h"
#include "tools/moviewriter/object_description.h"

namespace quillet::e2e {
namespace {

constexpr uint32_t kRed = 0xFF0000;   // as captured, 0x00RRGGBB
constexpr uint32_t kBlue = 0x0000FF;

class ObjectsTest : public PlayerTest {};

TEST_F(ObjectsTest, OutlinesAndArrowsShowAtTheirFramesOnly) {
    TestMovieShape shape{12, 500};
    std::string error;
    ASSERT_TRUE(parseObjectDescription("rect  id=1 first=4 frames=4 body=40,60,200,160 line=ff0000 width=4\n"
                                       "arrow id=2 first=2 frames=8 start=220,200 end=300,120 line=0000ff width=3\n",
                                       shape.objects, error))
        << error;
    TestMovie movie = makeTestMovie(shape);
    driver::Process player;
    ASSERT_TRUE(player.start(packedPlayer("objects.exe", movie.bytes)));
    HWND view = waitForView(player);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(view);

    // The frame on screen is told by the background's colour in a corner the
    // pictures' bars, the cursor and the objects never reach.
    auto frameOf = [&](const driver::Pixels& pixels) {
        for (size_t k = 0; k < movie.pictures.size(); ++k)
            if (pixels.at(310, 235) == movie.pictures[k].at(310, 235)) return static_cast<int>(k);
        return -1;
    };
    for (int k : {1, 3, 5, 8, 10}) {
        while (static_cast<int>(::GetTickCount() - start) < 500 * k + 250) ::Sleep(5);
        driver::Pixels pixels;
        ASSERT_TRUE(driver::captureClient(view, pixels));
        const int frame = frameOf(pixels);
        ASSERT_GE(frame, 0) << "at " << 500 * k + 250 << " ms";
        SCOPED_TRACE("frame " + std::to_string(frame));
        const bool rectangle = frame >= 4 && frame < 8, arrow = frame >= 2 && frame < 10;
        EXPECT_EQ(pixels.at(41, 110) == kRed, rectangle) << "the rectangle's left edge";
        EXPECT_EQ(pixels.at(120, 62) == kRed, rectangle) << "its top edge";
        EXPECT_EQ(pixels.at(120, 110) == kRed, false) << "no fill";
        EXPECT_EQ(pixels.at(240, 180) == kBlue, arrow) << "the arrow's line";
        EXPECT_EQ(pixels.at(294, 128) == kBlue, arrow) << "inside its head";
    }
    closePlayer(player);
}

}  // namespace
}  // namespace quillet::e2e
