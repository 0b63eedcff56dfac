#include "common/win32/file_system.h"

#include <windows.h>

#include "common/win32/handles.h"

namespace quillet::win32 {

std::string modulePath() {
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

std::string programFolder() { return folderOf(modulePath()); }

std::string tempFolder() {
    char path[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathA(sizeof path, path);
    std::string folder(path, length <= MAX_PATH ? length : 0);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string currentDirectory() {
    char path[MAX_PATH] = {};
    DWORD length = ::GetCurrentDirectoryA(MAX_PATH, path);
    return std::string(path, length < MAX_PATH ? length : 0);
}

bool fileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int deleteMatching(const std::string& folder, const std::string& pattern) {
    WIN32_FIND_DATAA found{};
    UniqueFind search(::FindFirstFileA((folder + "\\" + pattern).c_str(), &found));
    if (!search) return 0;
    int deleted = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (::DeleteFileA((folder + "\\" + found.cFileName).c_str())) ++deleted;
    } while (::FindNextFileA(search.get(), &found));
    return deleted;
}

}  // namespace quillet::win32
