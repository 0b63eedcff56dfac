#pragma once
// Reads ZIP archives with traditional encryption: lists the central directory and
// extracts entries one by one. Failures are thrown as CZipException.

#include <memory>
#include <string>
#include <vector>

#include "launcher/archive/zip_entry.h"
#include "launcher/archive/zip_exception.h"
#include "launcher/archive/zip_file_system.h"
#include "launcher/archive/zip_format.h"

namespace quillet {

class ZipReader {
public:
    explicit ZipReader(zip::ExtractionFileSystem& fileSystem = zip::hostFileSystem())
        : fileSystem_(fileSystem) {}

    // Opens the archive for reading and reads its central directory.
    void open(const std::string& path);
    void close();

    size_t count() const { return entries_.size(); }
    const zip::ZipEntry& entryInfo(size_t index) const;
    void setPassword(const std::string& password) { password_ = password; }

    // Extracts entry index into folder (an empty folder is the current one). With
    // keepStoredPath the folders inside the stored name are kept; newName, when not
    // empty, replaces the stored name. The file appears under its name only once it
    // has been written and checked; an entry that fails leaves no file or folder
    // that it made.
    bool extractFile(size_t index, const std::string& folder, bool keepStoredPath = true,
                     const std::string& newName = std::string(),
                     size_t bufferSize = zip::kDefaultBufferSize);

private:
    uint64_t findEndRecord();
    void readCentralDirectory(uint64_t endRecordOffset);
    // Refuses entries whose records share bytes with each other or with the central
    // directory: such entries let a small archive write far more than it holds.
    void checkSpans(uint64_t directoryOffset);
    std::string targetPath(const zip::ZipEntry& entry, const std::string& folder,
                           bool keepStoredPath, const std::string& newName) const;
    uint64_t dataOffset(size_t index);
    void readExactly(uint64_t offset, void* out, size_t length);

    zip::ExtractionFileSystem& fileSystem_;
    std::unique_ptr<zip::ArchiveFile> file_;
    std::vector<zip::ZipEntry> entries_;
    // Per entry, where the next record begins: its data must end there.
    std::vector<uint64_t> spanEnds_;
    std::string password_;
};

}  // namespace quillet
