#pragma once
// What archive reading needs of the file system: positional reads of the archive,
// folders, a temporary file beside the target, and the finishing touches. The
// Windows build uses the Win32 API; the native build, POSIX.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "launcher/archive/zip_entry.h"

namespace quillet::zip {

class ArchiveFile {
public:
    virtual ~ArchiveFile() = default;
    virtual uint64_t size() const = 0;
    // Reads up to length bytes at offset; returns the bytes read.
    virtual size_t readAt(uint64_t offset, void* out, size_t length) = 0;
};

// A file being written under a temporary name; removed on destruction unless it
// was moved into place.
class PendingFile {
public:
    virtual ~PendingFile() = default;
    virtual bool write(const void* data, size_t length) = 0;
    // Closes the file and renames it to target, replacing an existing file.
    virtual bool commit(const std::string& target) = 0;
};

class ExtractionFileSystem {
public:
    virtual ~ExtractionFileSystem() = default;
    virtual char separator() const = 0;
    virtual std::unique_ptr<ArchiveFile> openArchive(const std::string& path) = 0;
    // Creates the folder and every missing parent, adding each folder it made to
    // created (parents first), also when it fails part of the way.
    virtual bool createFolders(const std::string& path, std::vector<std::string>& created) = 0;
    // Removes an empty folder.
    virtual bool removeFolder(const std::string& path) = 0;
    virtual std::unique_ptr<PendingFile> createPending(const std::string& folder) = 0;
    virtual void applyTimeAndAttributes(const std::string& path, const ZipEntry& entry) = 0;
    // The error number of the last failure.
    virtual int lastError() const = 0;
};

// The file system of the machine the program runs on.
ExtractionFileSystem& hostFileSystem();

}  // namespace quillet::zip
