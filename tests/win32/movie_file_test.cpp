#include "player/container/win32/win32_movie_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "player/container/compressed_block.h"
#include "player/container/win32/block_platform.h"

namespace quillet {
namespace {

std::string tempPath(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

TEST(Win32MovieFile, ReadsInPiecesAndDeniesWriters) {
    std::string path = tempPath("quillet_movie_file_test.bin");
    std::string bytes(MovieFile::kPieceSize * 2 + 77, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    {
        auto file = Win32MovieFile::open(path);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->size(), bytes.size());

        win32::UniqueFile writer(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ |
                                               FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer) << "the movie file must be opened with writing denied";
        win32::UniqueFile reader(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(reader);

        std::string out(bytes.size() + 10, '\x55');
        ASSERT_TRUE(file->seek(5));
        EXPECT_EQ(file->readBlock(&out[0], out.size()), bytes.size() - 5);
        EXPECT_EQ(out.compare(0, bytes.size() - 5, bytes, 5, std::string::npos), 0);
        EXPECT_EQ(file->position(), bytes.size());
    }
    ::DeleteFileA(path.c_str());
    EXPECT_FALSE(Win32MovieFile::open(path));
}

TEST(BlockPlatform, RegionChecksFollowPageProtection) {
    void* readOnly = ::VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_TRUE(readOnly);
    EXPECT_TRUE(regionIsReadWrite(readOnly, 8192));
    DWORD old = 0;
    ::VirtualProtect(static_cast<char*>(readOnly) + 4096, 4096, PAGE_READONLY, &old);
    EXPECT_TRUE(regionIsReadWrite(readOnly, 4096));
    EXPECT_FALSE(regionIsReadWrite(readOnly, 4097));
    EXPECT_FALSE(regionIsReadWrite(nullptr, 4));
    ::VirtualFree(readOnly, 0, MEM_RELEASE);
}

TEST(BlockPlatform, WrappersWorkWithTheDiagnosticsInstalled) {
    initialiseBlockPlatform();
    std::vector<uint8_t> data(4096, 9);
    DataBlock block;
    size_t length = 0;
    ASSERT_TRUE(CompressBlock(data.data(), data.size(), block, length, 1));
    std::vector<uint8_t> back(data.size());
    EXPECT_TRUE(UncompressBlock(block.data(), length, back.data(), back.size()));
    EXPECT_EQ(back, data);
}

}  // namespace
}  // namespace quillet
