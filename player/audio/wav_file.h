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
    uint32_t durationMs() const { return durationMs_; }
    uint32_t position() const { return position_; }
    uint32_t remaining() const { return remaining_; }
    // The 16-byte PCM format record and the zero extra-size field after it.
    const uint8_t* format() const { return format_; }

private:
    bool fail(uint32_t error);
    // Finds a chunk with this id among the chunks from offset up to end; leaves the
    // chunk's data start and length.
    bool findChunk(const char* id, uint64_t offset, uint64_t end, uint64_t& dataStart,
                   uint32_t& length);

    MovieFileOpener opener_;
    std::unique_ptr<MovieFile> file_;
    uint8_t format_[18] = {};
    uint64_t riffData_ = 0;  // just past the form type
    uint64_t riffEnd_ = 0;
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
