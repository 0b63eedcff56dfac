#include "player/container/compressed_block.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace quillet {
namespace {

std::vector<uint8_t> randomBytes(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

TEST(CompressBlock, RoundTripsAndShrinksTheBlock) {
    std::string text(10000, 'a');
    for (size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char>('a' + i % 26);
    DataBlock block = {1, 2, 3};  // a block held on entry is replaced
    size_t length = 0;
    ASSERT_TRUE(CompressBlock(text.data(), text.size(), block, length, 9));
    EXPECT_EQ(block.size(), length);
    EXPECT_LT(length, text.size());

    std::string back(text.size(), '\0');
    EXPECT_TRUE(UncompressBlock(block.data(), length, &back[0], back.size()));
    EXPECT_EQ(back, text);
}

TEST(CompressBlock, DataThatGrowsFailsAndKeepsTheFullSizeBlock) {
    std::vector<uint8_t> noise = randomBytes(16, 1);
    DataBlock block;
    size_t length = 99;
    EXPECT_FALSE(CompressBlock(noise.data(), noise.size(), block, length, 6));
    EXPECT_EQ(block.size(), noise.size());
}

TEST(UncompressBlock, FailsOnShortTargetAndDamagedStream) {
    std::vector<uint8_t> data(5000, 7);
    DataBlock block;
    size_t length = 0;
    ASSERT_TRUE(CompressBlock(data.data(), data.size(), block, length, 6));

    std::vector<uint8_t> target(data.size() - 1);
    EXPECT_FALSE(UncompressBlock(block.data(), length, target.data(), target.size()));

    std::vector<uint8_t> exact(data.size());
    EXPECT_TRUE(UncompressBlock(block.data(), length, exact.data(), exact.size()));

    DataBlock damaged = block;
    damaged[length / 2] ^= 0xFF;
    damaged[length - 1] ^= 0xFF;  // the Adler-32 check
    EXPECT_FALSE(UncompressBlock(damaged.data(), length, exact.data(), exact.size()));
    EXPECT_FALSE(UncompressBlock(block.data(), length / 2, exact.data(), exact.size()));
}

TEST(InflateToSize, TheBlockGrowsWithWhatTheStreamYields) {
    // Sixteen letters at random pack to about half: a claim of 20 MB is plausible.
    std::vector<uint8_t> data = randomBytes(64 * 1024, 2);
    for (auto& b : data) b = static_cast<uint8_t>('a' + b % 16);
    DataBlock stream;
    size_t length = 0;
    ASSERT_TRUE(CompressBlock(data.data(), data.size(), stream, length, 6));
    DataBlock damaged = stream;
    damaged[length / 2] ^= 0xFF;
    // A short stream followed by padding: plausible for any claim up to 4 GiB.
    DataBlock padded = stream;
    padded.resize(5u << 20, 0);
    struct Case {
        const char* what;
        const DataBlock& packed;
        uint32_t claim;
        bool inflated;
    } cases[] = {
        {"exact claim", stream, static_cast<uint32_t>(data.size()), true},
        {"claim far beyond the stream", stream, 20000000, true},
        {"claim one byte short", stream, static_cast<uint32_t>(data.size() - 1), false},
        {"claim of nothing", stream, 0, false},
        {"damaged stream", damaged, static_cast<uint32_t>(data.size()), false},
        {"claim deflate cannot reach", stream, static_cast<uint32_t>(length * 2000), false},
        {"claim past a 32-bit address space", padded, 0xC0000000u, false},
    };
    for (const Case& c : cases) {
        DataBlock out(7, 0x55);
        EXPECT_EQ(inflateToSize(c.packed.data(), c.packed.size(), c.claim, out), c.inflated) << c.what;
        if (c.inflated) {
            EXPECT_EQ(out, data) << c.what;
            EXPECT_EQ(out.capacity(), out.size()) << c.what;
        } else {
            EXPECT_EQ(out.capacity(), 0u) << c.what << ": nothing is kept";
        }
    }
}

TEST(FastProcessor, Thresholds) {
    EXPECT_FALSE(isFastProcessor(5, 0xFFFF));
    EXPECT_FALSE(isFastProcessor(6, 0x07D0));
    EXPECT_TRUE(isFastProcessor(6, 0x07D1));
    EXPECT_TRUE(isFastProcessor(7, 0));
}

TEST(FastProcessor, RaisesLowLevelsToFour) {
    // Level 1 and level 4 give different streams for this input; on a fast
    // processor level 1 must give the level-4 stream.
    std::string text;
    std::mt19937 random(3);
    for (int i = 0; i < 20000; ++i) text += static_cast<char>('a' + random() % 4);
    auto compressAt = [&](int level) {
        DataBlock block;
        size_t length = 0;
        EXPECT_TRUE(CompressBlock(text.data(), text.size(), block, length, level));
        return block;
    };
    DataBlock level1 = compressAt(1), level4 = compressAt(4);
    ASSERT_NE(level1, level4);
    setFastProcessor(true);
    DataBlock raised = compressAt(1);
    setFastProcessor(false);
    EXPECT_EQ(raised, level4);
}

std::vector<std::string> g_lines;
TEST(BlockDiagnostics, ReportsBadRegionsAndGoesOn) {
    BlockDiagnostics diagnostics;
    diagnostics.regionReadWrite = [](const void*, size_t length) { return length != 16; };
    diagnostics.debugOutput = [](const char* text) { g_lines.push_back(text); };
    setBlockDiagnostics(diagnostics);

    std::vector<uint8_t> data(16, 0);
    DataBlock block;
    size_t length = 0;
    CompressBlock(data.data(), data.size(), block, length, 6);
    setBlockDiagnostics(BlockDiagnostics());

    ASSERT_EQ(g_lines.size(), 2u);
    EXPECT_EQ(g_lines[0].rfind("Source Compress Bad Pointer : 0x", 0), 0u);
    EXPECT_EQ(g_lines[0].substr(g_lines[0].size() - 6), ", 16 \n");
    EXPECT_EQ(g_lines[1].rfind("Target Compress Bad Pointer : 0x", 0), 0u);
}

}  // namespace
}  // namespace quillet
