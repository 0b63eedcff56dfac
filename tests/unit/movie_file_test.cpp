#include "player/container/movie_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace quillet {
namespace {

TEST(MovieFile, BlockReadGoesInPiecesOfOneMebibyte) {
    std::string bytes(2 * MovieFile::kPieceSize + 10, 'x');
    MemoryMovieFile file(bytes);
    std::string out(bytes.size(), '\0');
    EXPECT_EQ(file.readBlock(&out[0], out.size()), bytes.size());
    EXPECT_EQ(file.piecesRead(), 3u);
    EXPECT_EQ(out, bytes);
}

TEST(MovieFile, BlockReadStopsAtTheFirstShortPiece) {
    std::string bytes(3 * MovieFile::kPieceSize, 'y');
    MemoryMovieFile file(bytes);
    file.limitPieces(1000);  // every piece comes up short
    std::string out(bytes.size(), '\0');
    EXPECT_EQ(file.readBlock(&out[0], out.size()), 1000u);
    EXPECT_EQ(file.piecesRead(), 1u);

    MemoryMovieFile end("abc");
    char small[8] = {};
    EXPECT_EQ(end.readBlock(small, sizeof small), 3u);
    EXPECT_EQ(end.readBlock(small, sizeof small), 0u);
}

TEST(MovieFile, BlockWriteSplitsTheSameWay) {
    MemoryMovieFile file("");
    std::string data(MovieFile::kPieceSize + 1, 'w');
    EXPECT_EQ(file.writeBlock(data.data(), data.size()), data.size());
    EXPECT_EQ(file.bytes(), data);
}

TEST(StdioMovieFile, ReadsSeeksAndReportsSize) {
    std::string path = ::testing::TempDir() + "movie_file_test.bin";
    std::ofstream(path, std::ios::binary) << "0123456789";
    auto file = StdioMovieFile::open(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 10u);
    ASSERT_TRUE(file->seek(7));
    char out[8] = {};
    EXPECT_EQ(file->readBlock(out, sizeof out), 3u);
    EXPECT_STREQ(out, "789");
    EXPECT_EQ(file->remaining(), 0u);
    EXPECT_FALSE(StdioMovieFile::open(path + ".missing"));
    std::remove(path.c_str());
}

}  // namespace
}  // namespace quillet
