// The file system of the native build.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "launcher/archive/zip_file_system.h"
#include "launcher/archive/zip_format.h"

namespace quillet::zip {
namespace {

class PosixArchiveFile : public ArchiveFile {
public:
    PosixArchiveFile(int descriptor, uint64_t size) : descriptor_(descriptor), size_(size) {}
    ~PosixArchiveFile() override { ::close(descriptor_); }
    uint64_t size() const override { return size_; }
    size_t readAt(uint64_t offset, void* out, size_t length) override {
        size_t total = 0;
        while (total < length) {
            ssize_t got = ::pread(descriptor_, static_cast<char*>(out) + total, length - total,
                                  static_cast<off_t>(offset + total));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            total += static_cast<size_t>(got);
        }
        return total;
    }

private:
    int descriptor_;
    uint64_t size_;
};

class PosixPendingFile : public PendingFile {
public:
    PosixPendingFile(int descriptor, std::string path)
        : descriptor_(descriptor), path_(std::move(path)) {}
    ~PosixPendingFile() override {
        if (descriptor_ >= 0) ::close(descriptor_);
        if (!committed_) ::unlink(path_.c_str());
    }
    bool write(const void* data, size_t length) override {
        const char* at = static_cast<const char*>(data);
        while (length > 0) {
            ssize_t put = ::write(descriptor_, at, length);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            at += put;
            length -= static_cast<size_t>(put);
        }
        return true;
    }
    bool commit(const std::string& target) override {
        int result = ::close(descriptor_);
        descriptor_ = -1;
        if (result != 0 || ::rename(path_.c_str(), target.c_str()) != 0) return false;
        committed_ = true;
        return true;
    }

private:
    int descriptor_;
    std::string path_;
    bool committed_ = false;
};

// Permission bits for what the archive gives none: those of a new file or folder,
// without write access for others.
constexpr mode_t kDefaultFileMode = 0664;
constexpr mode_t kDefaultFolderMode = 0775;
constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kWriteBits = 0222;

mode_t processUmask() {
    mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

class PosixFileSystem : public ExtractionFileSystem {
public:
    // The umask can only be read by setting it: read once, before extraction starts.
    PosixFileSystem() : umask_(processUmask()) {}

    char separator() const override { return '/'; }

    std::unique_ptr<ArchiveFile> openArchive(const std::string& path) override {
        int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) return remember(nullptr);
        struct stat info {};
        if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
            if (errno == 0) errno = EISDIR;
            ::close(descriptor);
            return remember(nullptr);
        }
        return std::make_unique<PosixArchiveFile>(descriptor, static_cast<uint64_t>(info.st_size));
    }

    bool createFolders(const std::string& path, std::vector<std::string>& created) override {
        for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
            std::string part = path.substr(0, slash);
            if (!part.empty()) {
                if (::mkdir(part.c_str(), kDefaultFolderMode) == 0) {
                    created.push_back(part);
                } else if (errno != EEXIST) {
                    error_ = errno;
                    return false;
                }
            }
            if (slash == std::string::npos) break;
        }
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            error_ = ENOTDIR;
            return false;
        }
        return true;
    }

    bool removeFolder(const std::string& path) override { return ::rmdir(path.c_str()) == 0; }

    std::unique_ptr<PendingFile> createPending(const std::string& folder) override {
        std::string pattern = folder + "/.extracting-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        int descriptor = ::mkstemp(name.data());
        if (descriptor < 0) {
            error_ = errno;
            return nullptr;
        }
        return std::make_unique<PosixPendingFile>(descriptor, name.data());
    }

    void applyTimeAndAttributes(const std::string& path, const ZipEntry& entry) override {
        std::time_t when = entry.modificationCalendarTime();
        if (when != static_cast<std::time_t>(-1)) {
            struct timeval times[2] = {{when, 0}, {when, 0}};
            ::utimes(path.c_str(), times);
        }
        ::chmod(path.c_str(), permissions(entry));
    }

    int lastError() const override { return error_; }

private:
    // Only permission bits are taken from an archive, never set-uid, set-gid or
    // sticky, and the umask limits them as it limits any new file. A link is
    // extracted as a plain file holding its target, with a plain file's permissions.
    mode_t permissions(const ZipEntry& entry) const {
        mode_t mode = entry.isSymbolicLink() ? 0 : entry.unixMode() & kPermissionBits;
        if (mode == 0) {
            mode = entry.isFolder() ? kDefaultFolderMode : kDefaultFileMode;
            if (entry.dosAttributes() & kDosAttributeReadOnly) mode &= ~kWriteBits;
        }
        mode &= ~umask_;
        // Folders keep their owner's access, so that the entries after them still extract.
        if (entry.isFolder()) mode |= S_IRWXU;
        return mode;
    }

    template <typename T>
    T remember(T value) {
        error_ = errno;
        return value;
    }
    const mode_t umask_;
    int error_ = 0;
};

}  // namespace

ExtractionFileSystem& hostFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace quillet::zip
