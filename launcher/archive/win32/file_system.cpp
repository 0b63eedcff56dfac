// The file system of the Windows build.

#include <windows.h>

#include "common/win32/handles.h"
#include "launcher/archive/zip_file_system.h"
#include "launcher/archive/zip_format.h"

namespace quillet::zip {
namespace {

constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
constexpr uint64_t kFileTimeUnitsPerSecond = 10000000;
constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ull;

class Win32ArchiveFile : public ArchiveFile {
public:
    Win32ArchiveFile(win32::UniqueFile file, uint64_t size) : file_(std::move(file)), size_(size) {}
    uint64_t size() const override { return size_; }
    size_t readAt(uint64_t offset, void* out, size_t length) override {
        size_t total = 0;
        while (total < length) {
            OVERLAPPED at{};
            uint64_t position = offset + total;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            DWORD got = 0;
            DWORD want = static_cast<DWORD>(std::min<size_t>(length - total, 1u << 30));
            if (!::ReadFile(file_.get(), static_cast<char*>(out) + total, want, &got, &at) || got == 0)
                break;
            total += got;
        }
        return total;
    }

private:
    win32::UniqueFile file_;
    uint64_t size_;
};

class Win32PendingFile : public PendingFile {
public:
    Win32PendingFile(win32::UniqueFile file, std::string path)
        : file_(std::move(file)), path_(std::move(path)) {}
    ~Win32PendingFile() override {
        file_.reset();
        if (!committed_) ::DeleteFileA(path_.c_str());
    }
    bool write(const void* data, size_t length) override {
        DWORD put = 0;
        return ::WriteFile(file_.get(), data, static_cast<DWORD>(length), &put, nullptr) &&
               put == length;
    }
    bool commit(const std::string& target) override {
        file_.reset();
        // Extracted files keep the entry's read-only attribute, and Windows refuses to
        // replace a read-only file: without this an updated disc, or a changed file,
        // could never be extracted again. The attribute comes back with the entry's.
        const DWORD attributes = ::GetFileAttributesA(target.c_str());
        const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
                              !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        if (readOnly) ::SetFileAttributesA(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (!::MoveFileExA(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            if (readOnly) ::SetFileAttributesA(target.c_str(), attributes);
            return false;
        }
        committed_ = true;
        return true;
    }

private:
    win32::UniqueFile file_;
    std::string path_;
    bool committed_ = false;
};

// Error numbers of the C runtime for the Windows errors extraction meets.
int runtimeErrorNumber(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return 2;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return 13;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return 17;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return 28;
    case ERROR_INVALID_NAME: return 22;
    default: return 5;
    }
}

class Win32FileSystem : public ExtractionFileSystem {
public:
    char separator() const override { return '\\'; }

    std::unique_ptr<ArchiveFile> openArchive(const std::string& path) override {
        win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER size{};
        if (!file || !::GetFileSizeEx(file.get(), &size)) {
            remember();
            return nullptr;
        }
        return std::make_unique<Win32ArchiveFile>(std::move(file),
                                                  static_cast<uint64_t>(size.QuadPart));
    }

    bool createFolders(const std::string& path, std::vector<std::string>& created) override {
        for (size_t slash = path.find_first_of("\\/", 0);; slash = path.find_first_of("\\/", slash + 1)) {
            std::string part = path.substr(0, slash);
            bool isDrive = part.size() == 2 && part[1] == ':';
            if (!part.empty() && !isDrive) {
                if (::CreateDirectoryA(part.c_str(), nullptr)) {
                    created.push_back(part);
                } else if (::GetLastError() != ERROR_ALREADY_EXISTS) {
                    remember();
                    return false;
                }
            }
            if (slash == std::string::npos) break;
        }
        DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            error_ = 20;  // not a directory
            return false;
        }
        return true;
    }

    bool removeFolder(const std::string& path) override { return ::RemoveDirectoryA(path.c_str()) != 0; }

    std::unique_ptr<PendingFile> createPending(const std::string& folder) override {
        char name[MAX_PATH] = {};
        if (!::GetTempFileNameA(folder.c_str(), "zx", 0, name)) {
            remember();
            return nullptr;
        }
        win32::UniqueFile file(::CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            remember();
            ::DeleteFileA(name);
            return nullptr;
        }
        return std::make_unique<Win32PendingFile>(std::move(file), name);
    }

    void applyTimeAndAttributes(const std::string& path, const ZipEntry& entry) override {
        std::time_t when = entry.modificationCalendarTime();
        if (when != static_cast<std::time_t>(-1)) {
            uint64_t ticks = (static_cast<uint64_t>(when) + kSecondsFrom1601To1970) *
                             kFileTimeUnitsPerSecond;
            FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
            win32::UniqueFile file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            if (file) ::SetFileTime(file.get(), nullptr, nullptr, &time);
        }
        DWORD attributes = entry.dosAttributes() & kKeptAttributes;
        if (entry.isFolder()) attributes |= FILE_ATTRIBUTE_DIRECTORY;
        if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
    }

    int lastError() const override { return error_; }

private:
    void remember() { error_ = runtimeErrorNumber(::GetLastError()); }
    int error_ = 0;
};

}  // namespace

ExtractionFileSystem& hostFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace quillet::zip
