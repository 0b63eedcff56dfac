// Stills rebuilt with real GDI from writer-made movies, compared pixel for pixel
// with the pictures the movies were made from.

#include <windows.h>

#include <gtest/gtest.h>

#include <random>

#include "player/bitmaps/win32/dib.h"
#include "player/playback/win32/frame_compositor.h"
#include "canvas.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

using testing::Canvas;

class StillTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 80, kHeight = 64;

    void SetUp() override {
        writer.setScreen({kWidth, kHeight, 32});
        writer.setRecordedArea({0, 8, kWidth, 56});
        std::mt19937 random(3);
        Picture screen(kWidth, kHeight, 0x204060);
        for (int i = 0; i < 12; ++i) {
            int top = static_cast<int>(random() % (kHeight - 10));
            screen.fillRect(static_cast<int>(random() % 40), top, kWidth, top + 1 + static_cast<int>(random() % 30),
                            random() & 0xFFFFFF);
            pictures.push_back(screen);
            writer.addFrame(screen);
        }
        stream = writer.frameStream();
        MemoryMovieFile file(stream);
        data.LoadFrameStream(file, file.size());
        ASSERT_EQ(data.frameCount(), 12);
    }

    MovieWriter writer;
    std::vector<Picture> pictures;
    std::string stream;
    GdiBitmapFactory bitmaps;
    FrameData data{bitmaps};
    CursorOverlay cursors;
};

TEST_F(StillTest, FramesMatchTheirPicturesInAnyOrder) {
    FrameCompositor compositor(data, cursors);
    Canvas canvas(kWidth, 48);
    // From nothing at the first, middle and last frame; then forward from a held
    // frame, the held frame again, and backward from nothing.
    struct Step {
        int frame;
        int held;
    } steps[] = {{0, -1}, {6, -1}, {11, -1}, {3, -1}, {7, 4}, {7, 7}, {2, -1}, {9, 3}};
    for (const Step& step : steps) {
        SCOPED_TRACE(::testing::Message() << "frame " << step.frame << " held " << step.held);
        ASSERT_TRUE(compositor.renderStill(canvas.dc(), step.frame, step.held, nullptr, false, false));
        EXPECT_TRUE(canvas.shows(pictures[step.frame], 8));
    }
    EXPECT_FALSE(compositor.renderStill(canvas.dc(), 12, -1, nullptr, false, false)) << "past the frames";
}

TEST_F(StillTest, BackwardFromAHeldFrameAppliesNothing) {
    FrameCompositor compositor(data, cursors);
    Canvas canvas(kWidth, 48);
    ASSERT_TRUE(compositor.renderStill(canvas.dc(), 9, -1, nullptr, false, false));
    ASSERT_TRUE(compositor.renderStill(canvas.dc(), 4, 9, nullptr, false, false));
    EXPECT_TRUE(canvas.shows(pictures[9], 8)) << "a held frame past the index keeps the picture";
}

TEST_F(StillTest, StretchedIntoAnotherSize) {
    FrameCompositor compositor(data, cursors);
    Canvas canvas(kWidth * 2, 96);
    RECT dest{0, 0, kWidth * 2, 96};
    ASSERT_TRUE(compositor.renderStillInto(canvas.dc(), 5, -1, dest, nullptr, false, false));
    for (int y = 0; y < 96; y += 7)
        for (int x = 0; x < kWidth * 2; x += 5)
            ASSERT_EQ(canvas.at(x, y), pictures[5].at(x / 2, y / 2 + 8)) << x << "," << y;
}

TEST(StillCacheRebuild, IdenticalToAFullRebuildOnRandomFrames) {
    MovieWriter writer;
    writer.setScreen({64, 48, 32});
    writer.setBandHeight(4);
    std::mt19937 random(21);
    Picture screen(64, 48, 0x336699);
    std::vector<Picture> pictures;
    for (int i = 0; i < 600; ++i) {
        int top = static_cast<int>(random() % 44);
        screen.fillRect(static_cast<int>(random() % 50), top, 64, top + 1 + static_cast<int>(random() % 8),
                        random() & 0xFFFFFF);
        pictures.push_back(screen);
        writer.addFrame(screen);
    }
    std::string stream = writer.frameStream();
    MemoryMovieFile file(stream);
    GdiBitmapFactory bitmaps;
    FrameData data(bitmaps);
    data.LoadFrameStream(file, file.size());
    CursorOverlay cursors;
    FrameCompositor cached(data, cursors), full(data, cursors);
    cached.prepareSeeking();
    cached.stillCache().waitUntilReady();
    ASSERT_GT(cached.stillCache().pictureCount(), 5u);

    Canvas a(64, 48), b(64, 48);
    for (int round = 0; round < 25; ++round) {
        int frame = static_cast<int>(random() % 600);
        SCOPED_TRACE(frame);
        ASSERT_TRUE(cached.renderStill(a.dc(), frame, -1, nullptr, false, false));
        ASSERT_TRUE(full.renderStill(b.dc(), frame, -1, nullptr, false, false));
        EXPECT_TRUE(a.shows(pictures[frame], 0));
        for (int y = 0; y < 48; y += 3)
            for (int x = 0; x < 64; x += 3) ASSERT_EQ(a.at(x, y), b.at(x, y));
    }
    // Forward from a held frame uses a picture only when it lies after it.
    ASSERT_TRUE(cached.renderStill(a.dc(), 100, -1, nullptr, false, false));
    ASSERT_TRUE(cached.renderStill(a.dc(), 590, 100, nullptr, false, false));
    EXPECT_TRUE(a.shows(pictures[590], 0));
}

}  // namespace
}  // namespace quillet
