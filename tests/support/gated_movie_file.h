#pragma once
// A movie in memory whose reads wait at a gate: a test holds the loader at an
// offset, or lets it through a little at a time, as a slow disc would.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "player/container/movie_file.h"

namespace quillet::testing {

class GatedMovieFile : public MemoryMovieFile {
public:
    using MemoryMovieFile::MemoryMovieFile;

    // Reads that start at or past this offset wait until it moves or the gate
    // opens; a read that starts before it is delivered whole.
    std::atomic<uint64_t> gateAt{UINT64_MAX};
    std::atomic<bool> open{false};
    // Set once a read has waited at the gate.
    std::atomic<bool> waiting{false};

protected:
    size_t readPiece(void* out, size_t n) override {
        while (!open.load() && position() >= gateAt.load()) {
            waiting = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return MemoryMovieFile::readPiece(out, n);
    }
};

}  // namespace quillet::testing
