#pragma once
// The shared file object: one open file that the section readers consume in
// sequence. Block reads and writes go to the system in pieces of at most 1 MiB.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "common/unique_resource.h"

namespace quillet {

class MovieFile {
public:
    static constexpr size_t kPieceSize = 1048576;

    virtual ~MovieFile() = default;

    virtual bool isOpen() const = 0;
    virtual uint64_t size() const = 0;
    virtual uint64_t position() const = 0;
    virtual bool seek(uint64_t offset) = 0;
    virtual void close() = 0;

    // Reads up to n bytes; returns the bytes delivered, stopping at the first piece
    // that came up short.
    size_t readBlock(void* out, size_t n);
    size_t writeBlock(const void* data, size_t n);

    uint64_t remaining() const {
        uint64_t end = size(), at = position();
        return at < end ? end - at : 0;
    }

protected:
    virtual size_t readPiece(void* out, size_t n) = 0;
    virtual size_t writePiece(const void* data, size_t n) = 0;
};

// A movie file over the C library, for the native tools and tests.
class StdioMovieFile : public MovieFile {
public:
    static std::unique_ptr<StdioMovieFile> open(const std::string& path, bool writable = false);
    ~StdioMovieFile() override { close(); }

    bool isOpen() const override { return file_.valid(); }
    uint64_t size() const override { return size_; }
    uint64_t position() const override { return position_; }
    bool seek(uint64_t offset) override;
    void close() override;

protected:
    size_t readPiece(void* out, size_t n) override;
    size_t writePiece(const void* data, size_t n) override;

private:
    struct StdioTraits {
        static std::FILE* invalid() { return nullptr; }
        static void close(std::FILE* file) { std::fclose(file); }
    };
    using UniqueStdioFile = UniqueResource<std::FILE*, StdioTraits>;

    StdioMovieFile(UniqueStdioFile file, uint64_t size) : file_(std::move(file)), size_(size) {}
    UniqueStdioFile file_;
    uint64_t size_;
    uint64_t position_ = 0;
};

// A movie held in memory, for tests and for movies built on the fly.
class MemoryMovieFile : public MovieFile {
public:
    explicit MemoryMovieFile(std::string bytes) : bytes_(std::move(bytes)) {}

    bool isOpen() const override { return open_; }
    uint64_t size() const override { return bytes_.size(); }
    uint64_t position() const override { return position_; }
    bool seek(uint64_t offset) override;
    void close() override { open_ = false; }

    // Largest piece a single system read delivers; lets tests see short reads.
    void limitPieces(size_t limit) { pieceLimit_ = limit; }
    size_t piecesRead() const { return piecesRead_; }
    const std::string& bytes() const { return bytes_; }

protected:
    size_t readPiece(void* out, size_t n) override;
    size_t writePiece(const void* data, size_t n) override;

private:
    std::string bytes_;
    size_t position_ = 0;
    size_t pieceLimit_ = SIZE_MAX;
    size_t piecesRead_ = 0;
    bool open_ = true;
};

// Opens a file for reading (writing denied to others where the platform can).
using MovieFileOpener = std::function<std::unique_ptr<MovieFile>(const std::string& path)>;

}  // namespace quillet
