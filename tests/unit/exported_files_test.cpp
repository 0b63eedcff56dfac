// The file-access classes the launcher exports to the viewer library.

#include <gtest/gtest.h>

#include <cstdio>

#include "launcher/app/cx_image.h"
#include "launcher/app/cx_io_file.h"
#include "launcher/app/cx_mem_file.h"

namespace {

// The same operations on both kinds of file give the same answers.
void exerciseFile(CxFile& file) {
    const char text[] = "first line\n42 rest";
    ASSERT_EQ(file.Write(text, 1, sizeof text - 1), sizeof text - 1);
    EXPECT_TRUE(file.PutC('!'));
    EXPECT_TRUE(file.Flush());
    EXPECT_EQ(file.Size(), static_cast<int32_t>(sizeof text));
    ASSERT_TRUE(file.Seek(0, SEEK_SET));
    char line[64] = {};
    ASSERT_NE(file.GetS(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "first line\n");
    int number = 0;
    EXPECT_EQ(file.Scanf("%d", &number), 1);
    EXPECT_EQ(number, 42);
    EXPECT_EQ(file.GetC(), ' ');
    EXPECT_EQ(file.Tell(), 14);
    ASSERT_TRUE(file.Seek(-1, SEEK_END));
    EXPECT_EQ(file.GetC(), '!');
    EXPECT_EQ(file.GetC(), -1);
    EXPECT_TRUE(file.Eof());
    ASSERT_TRUE(file.Seek(0, SEEK_SET));
    char pairs[4][2];
    EXPECT_EQ(file.Read(pairs, 2, 4), 4u);
    EXPECT_EQ(std::string(pairs[0], 2), "fi");
    EXPECT_EQ(file.Error(), 0);
    EXPECT_TRUE(file.Close());
}

TEST(ExportedFiles, AFileOverAStream) {
    CxIOFile file;
    const std::string path = ::testing::TempDir() + "cx_io_file.txt";
    ASSERT_TRUE(file.Open(path.c_str(), "w+b"));
    EXPECT_FALSE(file.Open(path.c_str(), "rb"));
    exerciseFile(file);
    std::remove(path.c_str());
    EXPECT_EQ(file.GetC(), -1);
    EXPECT_EQ(file.Read(nullptr, 1, 1), 0u);
}

TEST(ExportedFiles, AGrowingMemoryFile) {
    CxMemFile file;
    EXPECT_EQ(file.Write("x", 1, 1), 0u);  // not open yet
    ASSERT_TRUE(file.Open());
    exerciseFile(file);
}

TEST(ExportedFiles, AMemoryFileOverAFixedBlockStopsAtItsEnd) {
    uint8_t block[8] = {};
    CxMemFile file(block, sizeof block);
    EXPECT_EQ(file.Write("abcdef", 2, 3), 3u);
    EXPECT_EQ(file.Write("ghij", 2, 2), 1u);
    EXPECT_EQ(file.Error(), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 8), "abcdefgh");
    EXPECT_FALSE(file.Seek(9, SEEK_SET));
    EXPECT_FALSE(file.Seek(-1, SEEK_SET));
    EXPECT_TRUE(file.Seek(8, SEEK_SET));
    EXPECT_EQ(file.GetC(), -1);
}

TEST(ExportedFiles, AnImageRefusesSizesItCannotHold) {
    CxImage image;
    EXPECT_TRUE(image.Create(3, 2, 24));
    EXPECT_EQ(image.RowBytes(), 12u);
    EXPECT_TRUE(image.IsValid());
    EXPECT_FALSE(image.Create(0, 5, 24));
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.Create(100000, 100000, 32));
    EXPECT_FALSE(image.Create(4, 4, 7));
}

}  // namespace
