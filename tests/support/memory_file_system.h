#pragma once
// An extraction file system in memory: the archive's bytes in, the committed files,
// the folders made and every path given a time and attributes out, for the fuzz
// targets and for tests that look at everything an extraction touches. Like the real
// file systems, which take names as C strings, it acts on a path only up to its
// first NUL byte.

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
    std::set<std::string> touched;  // given a time and attributes
    uint64_t bytesWritten = 0;     // by every pending file, committed or not
    uint64_t fileLimit = 64 << 20;  // a pending file fails to grow past this
    bool keepContent = true;

    char separator() const override { return '/'; }
    std::unique_ptr<zip::ArchiveFile> openArchive(const std::string&) override {
        return std::make_unique<Archive>(archive);
    }
    bool createFolders(const std::string& fullPath, std::vector<std::string>& created) override {
        const std::string path = asSeen(fullPath);
        for (size_t slash = path.find('/');; slash = path.find('/', slash + 1)) {
            std::string part = path.substr(0, slash);
            if (folders.insert(part).second) created.push_back(part);
            if (slash == std::string::npos) return true;
        }
    }
    bool removeFolder(const std::string& path) override { return folders.erase(asSeen(path)) == 1; }
    std::unique_ptr<zip::PendingFile> createPending(const std::string&) override {
        return std::make_unique<Pending>(*this);
    }
    void applyTimeAndAttributes(const std::string& path, const zip::ZipEntry& entry) override {
        entry.modificationCalendarTime();
        touched.insert(asSeen(path));
    }
    int lastError() const override { return 0; }

    // The path a call that takes a C string acts on.
    static std::string asSeen(const std::string& path) { return path.substr(0, path.find('\0')); }

    // Whether every path this file system made or touched lies inside folder, once
    // "." and ".." parts are resolved as the operating system resolves them.
    bool allInside(const std::string& folder) const {
        auto inside = [&](const std::string& path) {
            std::vector<std::string> parts;
            for (size_t start = 0; start <= path.size();) {
                size_t end = std::min(path.find('/', start), path.size());
                const std::string part = path.substr(start, end - start);
                if (part == "..") {
                    if (parts.empty()) return false;
                    parts.pop_back();
                } else if (!part.empty() && part != ".") {
                    parts.push_back(part);
                }
                start = end + 1;
            }
            return !parts.empty() && parts.front() == folder;
        };
        for (const auto& file : files)
            if (!inside(file.first)) return false;
        for (const std::set<std::string>* paths : {&folders, &touched})
            for (const std::string& path : *paths)
                if (!inside(path)) return false;
        return true;
    }

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
            owner_.files[asSeen(target)] = std::move(content_);
            return true;
        }

    private:
        MemoryFileSystem& owner_;
        std::string content_;
        uint64_t size_ = 0;
    };
};

}  // namespace quillet::testing
