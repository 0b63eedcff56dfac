#pragma once
// PCM WAV files: the 44-byte header the player writes, and WaveReader, a plain RIFF
// reader over the file API.

#include <cstdint>
#include <memory>
#include <string>

#include "player/container/movie_file.h"

namespace quillet {

constexpr size_t kWavHeaderSize = 44;

// The header of a PCM WAV file holding dataLength bytes of samples.
std::string pcmWavHeader(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample,
                         uint32_t dataLength);

class WaveReader {
public:
    // The reader's error codes, in the multimedia I/O service's numbering.
    enum Error : uint32_t {
        kNoError = 0,
        kOutOfMemory = 258,
        kCannotOpen = 259,
        kCannotRead = 261,  // format record short or not PCM, short data
        kCannotSeek = 263,
        kNotWave = 272,
    };

    explicit WaveReader(MovieFileOpener opener) : opener_(std::move(opener)) {}
    ~WaveReader() { close(); }
    WaveReader(const WaveReader&) = delete;
    WaveReader& operator=(const WaveReader&) = delete;

    // Refuses files whose stored byte rate and block alignment are not those their
    // channels, bits and rate give (kCannotRead).
    bool open(const std::string& path);
    // Positions at data offset (rounded down to even), never past the data's end.
    bool seekData(uint32_t offset);
    // Reads up to n bytes of data; 0 on failure.
    uint32_t read(void* buffer, uint32_t n);
    void close();

    uint8_t silenceByte() const { return bitsPerSample_ == 8 ? 0x80 : 0; }
    uint32_t lastError() const { return lastError_; }
    uint16_t channels() const { return channels_; }
    uint16_t bitsPerSample() const { return bitsPerSample_; }
    uint32_t samplesPerSecond() const { return samplesPerSecond_; }
    uint32_t bytesPerSecond() const { return bytesPerSecond_; }
    uint32_t dataBytes() const { return dataBytes_; }
    // The data's length in milliseconds, at most UINT32_MAX.
    uint32_t durationMs() const { return durationMs_; }
    uint32_t position() const { return position_; }
    uint32_t remaining() const { return remaining_; }
    // The 16-byte PCM format record and the zero extra-size field after it.
    const uint8_t* format() const { return format_; }

private:
    struct Chunk {
        uint64_t start = 0;  // of the chunk's data
        uint32_t length = 0;
        bool found = false;
    };

    bool fail(uint32_t error);
    // Finds the first "fmt " and "data" chunks among the chunks from offset up to
    // end, stopping at an unreadable chunk header.
    void scanChunks(uint64_t offset, uint64_t end, Chunk& format, Chunk& data);

    MovieFileOpener opener_;
    std::unique_ptr<MovieFile> file_;
    uint8_t format_[18] = {};
    // Found once when opening: a looping track seeks back to the data on every round.
    uint64_t dataStart_ = 0;
    uint32_t lastError_ = kNoError;
    uint16_t channels_ = 0;
    uint16_t bitsPerSample_ = 0;
    uint32_t samplesPerSecond_ = 0;
    uint32_t bytesPerSecond_ = 0;
    uint32_t dataBytes_ = 0;
    uint32_t durationMs_ = 0;
    uint32_t position_ = 0;
    uint32_t remaining_ = 0;
};

}  // namespace quillet
