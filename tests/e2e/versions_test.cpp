// Movies of earlier format versions in the real player: a handful of rows of the
// version table, each played to its end with its pictures on screen.

#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "player_fixture.h"
#include "tests/support/version_movies.h"

namespace quillet::e2e {
namespace {

using testing::VersionMovie;
using testing::VersionRow;

// The frame whose picture the view shows, leaving out the cursor's square and the
// logo; -1 when it shows none.
int shownFrame(const driver::Pixels& view, const VersionMovie& movie) {
    if (movie.pictures.empty() || view.width != movie.pictures[0].width || view.height != movie.pictures[0].height)
        return -1;
    // The logo sits in the bottom right corner, or at the top left where its form
    // has no corner.
    const bool topLeft = movie.readers.logo == LogoForm::L1;
    const int logoLeft = topLeft ? 4 : view.width - movie.logoPicture.width - 4;
    const int logoTop = topLeft ? 4 : view.height - movie.logoPicture.height - 4;
    for (size_t k = 0; k < movie.pictures.size(); ++k) {
        const FrameSpec& spec = movie.specs[k];
        bool same = true;
        for (int y = 0; y < view.height && same; ++y) {
            for (int x = 0; x < view.width && same; ++x) {
                const bool cursor = x >= spec.cursorX && x < spec.cursorX + 32 && y >= spec.cursorY && y < spec.cursorY + 32;
                const bool logo = movie.hasLogo && x >= logoLeft && x < logoLeft + movie.logoPicture.width &&
                                  y >= logoTop && y < logoTop + movie.logoPicture.height;
                if (!cursor && !logo) same = view.at(x, y) == movie.pictures[k].at(x, y);
            }
        }
        if (same) return static_cast<int>(k);
    }
    return -1;
}

TEST_F(PlayerTest, EarlierVersionsPlayToTheirEnd) {
    // The oldest, a raw first screen with 44-byte records, the first logo form, the
    // first read in the foreground, and the last before the current one.
    for (const VersionRow& row : {VersionRow{0, 9, "0.9"}, VersionRow{1, 0, "1.0"}, VersionRow{1, 3, "1.3"},
                                  VersionRow{1, 55, "1.55"}, VersionRow{1, 85, "1.85"}}) {
        SCOPED_TRACE(row.text);
        testing::VersionMovieOptions options;
        options.frames = 8;
        options.delayMs = 150;
        options.objects = false;
        options.screen = {320, 240, 32};
        const VersionMovie movie = makeVersionMovie(row, options);
        const std::string name = std::string("v") + std::to_string(row.major) + std::to_string(row.minor);
        driver::Process player;
        ASSERT_TRUE(player.start(packedPlayer(name + ".exe", movie.bytes), {"/q"}));
        HWND view = waitForView(player);
        ASSERT_TRUE(view) << "playing did not open the view";
        // The frames whose pictures the view showed: more than one, so that the
        // bands of later frames were laid over the first screen.
        std::set<int> seen;
        driver::Pixels pixels;
        driver::waitUntil([&] {
            if (!::IsWindow(view) || !driver::captureClient(view, pixels)) return true;
            const int frame = shownFrame(pixels, movie);
            if (frame >= 0) seen.insert(frame);
            return false;
        }, 5000);
        EXPECT_GE(seen.size(), 2u) << "pictures seen: " << seen.size() << "; the view is " << pixels.width << " x "
                                   << pixels.height;
        EXPECT_TRUE(player.waitForExit()) << "the movie did not play to its end";
        EXPECT_EQ(player.exitCode(), 0u);
        // The oldest movies leave their narration beside themselves.
        const std::string beside = folder_ + "\\" + name + "_Narration.wav";
        EXPECT_EQ(::GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES, row.major == 0) << beside;
    }
}

}  // namespace
}  // namespace quillet::e2e
