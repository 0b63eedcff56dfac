#pragma once
// A movie in memory whose reads wait at a gate: a test holds the loader at an
// offset, or lets it through a little at a time, as a slow disc would.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "player/container/movie_file.h"

namespace quillet::testing {

// The gate, shared between the file and the test: a loader thread owns the file
// and destroys it when it ends, and the test may still be moving the gate then.
struct MovieGate {
    // Reads that start at or past this offset wait until it moves or the gate
    // opens; a read that starts before it is delivered whole.
    std::atomic<uint64_t> at{UINT64_MAX};
    std::atomic<bool> open{false};
    // Set once a read has waited at the gate.
    std::atomic<bool> waiting{false};
};

class GatedMovieFile : public MemoryMovieFile {
public:
    explicit GatedMovieFile(std::string bytes) : MemoryMovieFile(std::move(bytes)) {}
    std::shared_ptr<MovieGate> gate() const { return gate_; }

protected:
    size_t readPiece(void* out, size_t n) override {
        while (!gate_->open.load() && position() >= gate_->at.load()) {
            gate_->waiting = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return MemoryMovieFile::readPiece(out, n);
    }

private:
    std::shared_ptr<MovieGate> gate_ = std::make_shared<MovieGate>();
};

}  // namespace quillet::testing
