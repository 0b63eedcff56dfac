// Extraction through the Win32 file layer: times, attributes, folders, and no
// temporary files left behind.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "launcher/archive/zip_reader.h"
#include "tests/support/zip_builder.h"

namespace quillet {
namespace {

class Win32ZipTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        // A folder of this process's own: what a failed run left (names Windows cannot
        // remove, made under Wine) does not reach the next run.
        root_ = std::string(temp) + "quillet_zip_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                std::to_string(::GetCurrentProcessId());
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
    static bool isEmpty(const std::string& folder) {
        WIN32_FIND_DATAA found{};
        HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return true;
        bool empty = true;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") empty = false;
        } while (empty && ::FindNextFileA(search, &found));
        ::FindClose(search);
        return empty;
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

TEST_F(Win32ZipTest, NamesWindowsWouldResolveElsewhereAreRefused) {
    std::string target = root_ + "\\out";
    ::CreateDirectoryA(target.c_str(), nullptr);
    const uint32_t hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const std::string names[] = {
        "C:\\evil.txt", "\\\\server\\share\\evil.txt", "..\\evil.txt",
        // Windows strips trailing dots and spaces: these name the target folder itself.
        ".. /", ".../", ". /", "..  \\", ". .",
        "CON", "nul.txt", "sub\\aux", "COM1.log", "lpt3", "x.txt:stream", "a:b",
        // Every call sees the name up to its NUL: the folder above the target.
        std::string("..\0/", 4), std::string("..\0\\evil.txt", 12)};
    for (const std::string& name : names) {
        bool folder = name.back() == '/' || name.back() == '\\';
        uint32_t attributes = hiddenSystem | (folder ? FILE_ATTRIBUTE_DIRECTORY : 0);
        std::string archive = write("c.zip", testing::buildZip({{name, folder ? "" : "evil", false, UINT32_MAX, attributes}}));
        ZipReader reader;
        reader.open(archive);
        try {
            reader.extractFile(0, target);
            ADD_FAILURE() << "extracted " << name;
        } catch (const CZipException& error) {
            EXPECT_EQ(error.code(), 101) << name;
        }
    }
    EXPECT_EQ(::GetFileAttributesA((root_ + "\\evil.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA(target.c_str()) & hiddenSystem, 0u) << "the folder took an entry's attributes";
    EXPECT_EQ(::GetFileAttributesA(root_.c_str()) & hiddenSystem, 0u) << "the folder above took an entry's attributes";
    EXPECT_TRUE(isEmpty(target));
}

// Windows refuses to replace a read-only file (Wine does not): a changed or updated
// file that was extracted read-only must still be extracted again.
TEST_F(Win32ZipTest, AReadOnlyFileIsExtractedAgain) {
    const std::string target = root_ + "\\out";
    const std::string file = target + "\\sub\\fixed.txt";
    for (const char* text : {"first", "second, longer"}) {
        const std::string archive =
            write("r.zip", testing::buildZip({{"sub/fixed.txt", text, false, UINT32_MAX, FILE_ATTRIBUTE_READONLY}}));
        ZipReader reader;
        reader.open(archive);
        EXPECT_NO_THROW(reader.extractFile(0, target)) << text;
        EXPECT_EQ(read(file), text);
        EXPECT_TRUE(::GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    }
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32ZipTest, AFailedDeepPathLeavesNoFolders) {
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "d\\";
    std::string target = root_ + "\\out";
    ::CreateDirectoryA(target.c_str(), nullptr);
    for (const std::string& name : {deep + "f.txt", deep}) {
        std::string archive = write("e.zip", testing::buildZip({{name, name == deep ? "" : "deep"}}));
        ZipReader reader;
        reader.open(archive);
        EXPECT_THROW(reader.extractFile(0, target), CZipException);
        EXPECT_TRUE(isEmpty(target));
    }
}

}  // namespace
}  // namespace quillet
