// Extraction through the Win32 file layer: times, attributes, folders, and no
// temporary files left behind.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "launcher/archive/zip_reader.h"
#include "tests/support/zip_builder.h"

namespace quillet {
namespace {

class Win32ZipTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "quillet_zip_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ::CreateDirectoryA(root_.c_str(), nullptr);
    }
    void TearDown() override {
        std::string command = "cmd /c rmdir /s /q \"" + root_ + "\" >nul 2>nul";
        std::system(command.c_str());
    }
    std::string write(const std::string& name, const std::string& bytes) {
        std::string path = root_ + "\\" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::string root_;
};

TEST_F(Win32ZipTest, FilesGetTheirTimeAndAttributes) {
    std::string text(10000, 't');
    std::string archive = write("a.zip", testing::buildZip({
        {"dir\\", "", false, UINT32_MAX, 0x10},
        {"dir/sub/read-only.txt", text, true, UINT32_MAX, FILE_ATTRIBUTE_READONLY},
        {"plain.bin", "abc"},
    }));
    ZipReader reader;
    reader.open(archive);
    std::string target = root_ + "\\out";
    for (size_t i = 0; i < reader.count(); ++i) ASSERT_TRUE(reader.extractFile(i, target));

    std::string file = target + "\\dir\\sub\\read-only.txt";
    EXPECT_EQ(read(file), text);
    EXPECT_EQ(read(target + "\\plain.bin"), "abc");
    DWORD attributes = ::GetFileAttributesA(file.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(::GetFileAttributesA((target + "\\dir").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
    FILETIME local{};
    SYSTEMTIME when{};
    ::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    ::FileTimeToSystemTime(&local, &when);
    EXPECT_EQ(when.wYear, 2025);
    EXPECT_EQ(when.wMonth, 1);
    EXPECT_EQ(when.wDay, 1);
    EXPECT_EQ(when.wHour, 12);

    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((target + "\\*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32ZipTest, FailedExtractionKeepsTheOldFile) {
    std::string archive = write("b.zip", testing::buildZip({{"keep.txt", std::string(1 << 20, '\0'), true, 10}}));
    std::string target = root_ + "\\out";
    ::CreateDirectoryA(target.c_str(), nullptr);
    write("out\\keep.txt", "old");
    ZipReader reader;
    reader.open(archive);
    try {
        reader.extractFile(0, target);
        FAIL() << "an entry larger than it declares must fail";
    } catch (const CZipException& error) {
        EXPECT_EQ(error.code(), 101);
    }
    EXPECT_EQ(read(target + "\\keep.txt"), "old");
}

TEST_F(Win32ZipTest, DriveAndUncNamesAreRefused) {
    for (const char* name : {"C:\\evil.txt", "\\\\server\\share\\evil.txt", "..\\evil.txt"}) {
        std::string archive = write("c.zip", testing::buildZip({{name, "evil"}}));
        ZipReader reader;
        reader.open(archive);
        EXPECT_THROW(reader.extractFile(0, root_ + "\\out"), CZipException) << name;
    }
    EXPECT_EQ(::GetFileAttributesA((root_ + "\\evil.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA((root_ + "\\out").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace quillet
