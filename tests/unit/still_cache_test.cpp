#include "player/playback/still_cache.h"

#include <gtest/gtest.h>

#include <random>

#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

// The screen DIB rows (bottom-up, 32-bit) of a picture.
std::vector<uint8_t> dibRows(const Picture& picture) {
    std::vector<uint8_t> rows;
    for (int32_t y = picture.height - 1; y >= 0; --y)
        for (int32_t x = 0; x < picture.width; ++x) {
            uint32_t p = picture.at(x, y);
            for (int b = 0; b < 4; ++b) rows.push_back(static_cast<uint8_t>(p >> (8 * b)));
        }
    return rows;
}

class StillCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        writer.setScreen({48, 40, 32});
        writer.setBandHeight(8);
        std::mt19937 random(9);
        Picture screen(48, 40, 0x0A0B0C);
        for (int i = 0; i < 300; ++i) {
            int top = static_cast<int>(random() % 36);
            screen.fillRect(static_cast<int>(random() % 40), top, 48, top + 1 + static_cast<int>(random() % 12),
                            random() & 0xFFFFFF);
            pictures.push_back(screen);
            writer.addFrame(screen);
        }
        std::string stream = writer.frameStream();
        MemoryMovieFile file(stream);
        data.LoadFrameStream(file, file.size());
        ASSERT_EQ(data.frameCount(), 300);
    }
    MovieWriter writer;
    std::vector<Picture> pictures;
    PackedDibFactory bitmaps;
    FrameData data{bitmaps};
};

TEST_F(StillCacheTest, PicturesEqualTheSourceScreens) {
    StillCache cache;
    cache.start(data);
    cache.waitUntilReady();
    ASSERT_GT(cache.pictureCount(), 10u);
    std::vector<uint8_t> pixels(48 * 40 * 4);
    for (int64_t frame : {0, 1, 57, 150, 299, 1000}) {
        int64_t at = -1;
        if (!cache.nearest(frame, -1, at, pixels)) continue;
        ASSERT_LE(at, frame);
        EXPECT_EQ(pixels, dibRows(pictures[static_cast<size_t>(at)])) << "picture at " << at;
    }
    int64_t at = -1;
    EXPECT_TRUE(cache.nearest(299, -1, at, pixels));
    EXPECT_GT(at, 250) << "the last pictures are near the end";
    EXPECT_FALSE(cache.nearest(299, 299, at, pixels)) << "nothing after a held frame at the index";
}

TEST_F(StillCacheTest, StaysInsideItsBudget) {
    StillCache small(4096);
    small.start(data);
    small.waitUntilReady();
    EXPECT_LE(small.bytesHeld(), 4096u);
    EXPECT_GE(small.pictureCount(), 1u);
}

}  // namespace
}  // namespace quillet
