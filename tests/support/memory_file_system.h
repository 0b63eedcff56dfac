#pragma once
// An extraction file system in memory: the archive's bytes in, the committed files
// and the folders made out, for the fuzz target and for tests that look at every
// file and folder an extraction leaves.

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "launcher/archive/zip_file_system.h"

namespace quillet::testing {

class MemoryFileSystem : public zip::ExtractionFileSystem {
public:
    std::string archive;
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    uint64_t bytesWritten = 0;     // by every pending file, committed or not
    uint64_t fileLimit = 64 << 20;  // a pending file fails to grow past this
    bool keepContent = true;

    char separator() const override { return '/'; }
    std::unique_ptr<zip::ArchiveFile> openArchive(const std::string&) override {
        return std::make_unique<Archive>(archive);
    }
    bool createFolders(const std::string& path, std::vector<std::string>& created) override {
        for (size_t slash = path.find('/');; slash = path.find('/', slash + 1)) {
            std::string part = path.substr(0, slash);
            if (folders.insert(part).second) created.push_back(part);
            if (slash == std::string::npos) return true;
        }
    }
    bool removeFolder(const std::string& path) override { return folders.erase(path) == 1; }
    std::unique_ptr<zip::PendingFile> createPending(const std::string&) override {
        return std::make_unique<Pending>(*this);
    }
    void applyTimeAndAttributes(const std::string&, const zip::ZipEntry& entry) override {
        entry.modificationCalendarTime();
    }
    int lastError() const override { return 0; }

private:
    class Archive : public zip::ArchiveFile {
    public:
        explicit Archive(const std::string& bytes) : bytes_(bytes) {}
        uint64_t size() const override { return bytes_.size(); }
        size_t readAt(uint64_t offset, void* out, size_t length) override {
            if (offset >= bytes_.size()) return 0;
            size_t n = static_cast<size_t>(std::min<uint64_t>(length, bytes_.size() - offset));
            std::copy_n(bytes_.data() + offset, n, static_cast<char*>(out));
            return n;
        }

    private:
        const std::string& bytes_;
    };

    class Pending : public zip::PendingFile {
    public:
        explicit Pending(MemoryFileSystem& owner) : owner_(owner) {}
        bool write(const void* data, size_t length) override {
            if (size_ + length > owner_.fileLimit) return false;
            size_ += length;
            owner_.bytesWritten += length;
            if (owner_.keepContent) content_.append(static_cast<const char*>(data), length);
            return true;
        }
        bool commit(const std::string& target) override {
            owner_.files[target] = std::move(content_);
            return true;
        }

    private:
        MemoryFileSystem& owner_;
        std::string content_;
        uint64_t size_ = 0;
    };
};

}  // namespace quillet::testing
