// The File Properties box's size line from real files: whole thousands of bytes
// with digit groups, and "Unknown" when there is no file to measure.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "player/app/file_properties_texts.h"
#include "player/app/win32/movie_file_length.h"

namespace quillet {
namespace {

std::string tempPath(const std::string& name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

FilePropertiesFormats sizeFormats() {
    FilePropertiesFormats formats;
    formats.fileSize = "File Size : %s KB";
    formats.fileSizeUnknown = "File Size : Unknown";
    return formats;
}

std::string sizeLineOf(const std::string& path) { return fileSizeText(movieFileLength(path), sizeFormats()); }

TEST(MovieFileSize, WholeThousandsOfBytesWithDigitGroups) {
    const std::pair<size_t, const char*> cases[] = {
        {0, "File Size : 0 KB"},
        {999, "File Size : 0 KB"},
        {1000, "File Size : 1 KB"},
        {1234567, "File Size : 1,234 KB"},
    };
    const std::string path = tempPath("quillet_file_size_test.bin");
    for (const auto& [bytes, line] : cases) {
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            const std::string content(bytes, 'x');
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
        }
        EXPECT_EQ(sizeLineOf(path), line) << bytes << " bytes";
    }
    ::DeleteFileA(path.c_str());
}

TEST(MovieFileSize, UnknownWithoutAFileToMeasure) {
    const std::string gone = tempPath("quillet_file_size_test_gone.bin");
    ::DeleteFileA(gone.c_str());
    EXPECT_EQ(sizeLineOf(gone), "File Size : Unknown");
    EXPECT_EQ(sizeLineOf(""), "File Size : Unknown");

    const std::string folder = tempPath("quillet_file_size_test_folder");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_EQ(sizeLineOf(folder), "File Size : Unknown") << "a folder is not a movie's file";
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace quillet
