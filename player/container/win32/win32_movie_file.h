#pragma once
// The shared movie file over the Windows file API: opened for reading, with writing
// denied to other processes.

#include <memory>
#include <string>

#include "common/win32/handles.h"
#include "player/container/movie_file.h"

namespace quillet {

class Win32MovieFile : public MovieFile {
public:
    static std::unique_ptr<Win32MovieFile> open(const std::string& path);

    bool isOpen() const override { return file_.valid(); }
    uint64_t size() const override { return size_; }
    uint64_t position() const override { return position_; }
    bool seek(uint64_t offset) override;
    void close() override { file_.reset(); }

protected:
    size_t readPiece(void* out, size_t n) override;
    size_t writePiece(const void* data, size_t n) override;

private:
    Win32MovieFile(win32::UniqueFile file, uint64_t size) : file_(std::move(file)), size_(size) {}
    win32::UniqueFile file_;
    uint64_t size_;
    uint64_t position_ = 0;
};

}  // namespace quillet
