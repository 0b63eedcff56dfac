// Fuzz target: the archive reader over arbitrary bytes, listing and extracting every
// entry (with a password) into a file system kept in memory.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "launcher/archive/zip_reader.h"

namespace {

using namespace quillet;

class MemoryArchive : public zip::ArchiveFile {
public:
    explicit MemoryArchive(const std::string& bytes) : bytes_(bytes) {}
    uint64_t size() const override { return bytes_.size(); }
    size_t readAt(uint64_t offset, void* out, size_t length) override {
        if (offset >= bytes_.size()) return 0;
        size_t n = std::min<uint64_t>(length, bytes_.size() - offset);
        std::copy(bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
                  bytes_.begin() + static_cast<std::ptrdiff_t>(offset + n), static_cast<char*>(out));
        return n;
    }

private:
    const std::string& bytes_;
};

class MemoryPending : public zip::PendingFile {
public:
    explicit MemoryPending(std::map<std::string, std::string>& files) : files_(files) {}
    bool write(const void* data, size_t length) override {
        if (content_.size() + length > (64u << 20)) return false;
        content_.append(static_cast<const char*>(data), length);
        return true;
    }
    bool commit(const std::string& target) override {
        files_[target] = std::move(content_);
        return true;
    }

private:
    std::map<std::string, std::string>& files_;
    std::string content_;
};

class MemoryFileSystem : public zip::ExtractionFileSystem {
public:
    std::string archive;
    std::map<std::string, std::string> files;

    char separator() const override { return '/'; }
    std::unique_ptr<zip::ArchiveFile> openArchive(const std::string&) override {
        return std::make_unique<MemoryArchive>(archive);
    }
    bool createFolders(const std::string&) override { return true; }
    std::unique_ptr<zip::PendingFile> createPending(const std::string&) override {
        return std::make_unique<MemoryPending>(files);
    }
    void applyTimeAndAttributes(const std::string&, const zip::ZipEntry& entry) override {
        entry.modificationCalendarTime();
    }
    int lastError() const override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryFileSystem fileSystem;
    fileSystem.archive.assign(reinterpret_cast<const char*>(data), size);
    ZipReader reader(fileSystem);
    try {
        reader.open("archive.zip");
        reader.setPassword("pw");
        for (size_t i = 0; i < reader.count(); ++i) {
            try {
                reader.extractFile(i, "target", i % 2 == 0, "", 4096);
            } catch (const CZipException&) {
            }
        }
    } catch (const CZipException&) {
    }
    for (const auto& file : fileSystem.files)
        if (file.first.rfind("target/", 0) != 0) __builtin_trap();  // never outside the folder
    return 0;
}
