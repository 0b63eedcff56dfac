#include "player/audio/wav_file.h"

#include <algorithm>
#include <cstring>

#include "common/byte_reader.h"

namespace quillet {
namespace {

constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kPcmFormatSize = 16;
constexpr uint16_t kFormatPcm = 1;

}  // namespace

std::string pcmWavHeader(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample,
                         uint32_t dataLength) {
    // In 64 bits: a data length near 4 GiB must not wrap the RIFF length to a few
    // bytes. Lengths that do not fit say as much as 32 bits can.
    auto clamped = [](uint64_t value) { return static_cast<uint32_t>(std::min<uint64_t>(value, UINT32_MAX)); };
    const uint64_t blockAlign = uint64_t{channels} * (bitsPerSample / 8u);
    std::string header;
    ByteWriter out(header);
    out.bytes("RIFF", 4);
    out.u32(clamped(uint64_t{dataLength} + kWavHeaderSize - kChunkHeaderSize));
    out.bytes("WAVE", 4);
    out.bytes("fmt ", 4);
    out.u32(kPcmFormatSize);
    out.u16(kFormatPcm);
    out.u16(channels);
    out.u32(samplesPerSecond);
    out.u32(clamped(blockAlign * samplesPerSecond));
    out.u16(static_cast<uint16_t>(std::min<uint64_t>(blockAlign, UINT16_MAX)));
    out.u16(bitsPerSample);
    out.bytes("data", 4);
    out.u32(dataLength);
    return header;
}

bool WaveReader::fail(uint32_t error) {
    close();
    lastError_ = error;
    return false;
}

void WaveReader::close() {
    file_.reset();
    std::memset(format_, 0, sizeof format_);
    position_ = remaining_ = 0;
}

void WaveReader::scanChunks(uint64_t offset, uint64_t end, Chunk& format, Chunk& data) {
    while ((!format.found || !data.found) && offset + kChunkHeaderSize <= end) {
        // Headers that follow each other are read without a seek, which would drop
        // the file's read buffer: a file of many empty chunks is read through once.
        uint8_t header[kChunkHeaderSize];
        if ((file_->position() != offset && !file_->seek(offset)) ||
            file_->readBlock(header, sizeof header) != sizeof header)
            return;
        ByteReader in(header, sizeof header);
        in.skip(4);
        const uint32_t length = in.u32();
        Chunk* chunk = std::memcmp(header, "fmt ", 4) == 0 ? &format
                       : std::memcmp(header, "data", 4) == 0 ? &data
                                                              : nullptr;
        if (chunk && !chunk->found) *chunk = {offset + kChunkHeaderSize, length, true};
        // Chunks are padded to an even length.
        offset += kChunkHeaderSize + length + (length & 1);
    }
}

bool WaveReader::open(const std::string& path) {
    close();
    lastError_ = kNoError;
    file_ = opener_(path);
    if (!file_ || !file_->isOpen()) return fail(kCannotOpen);

    uint8_t riff[12] = {};
    if (file_->readBlock(riff, sizeof riff) != sizeof riff || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return fail(kNotWave);
    const uint64_t riffEnd =
        std::min<uint64_t>(file_->size(), kChunkHeaderSize + uint64_t{ByteReader(riff + 4, 4).u32()});

    Chunk format, data;
    scanChunks(sizeof riff, riffEnd, format, data);
    if (!format.found) return fail(kNotWave);
    uint8_t record[kPcmFormatSize] = {};
    if (format.length < kPcmFormatSize || !file_->seek(format.start) ||
        file_->readBlock(record, sizeof record) != sizeof record)
        return fail(kCannotRead);
    ByteReader in(record, sizeof record);
    const uint16_t tag = in.u16();
    channels_ = in.u16();
    samplesPerSecond_ = in.u32();
    in.skip(4 + 2);  // the stored byte rate and block alignment: computed, not trusted
    bitsPerSample_ = in.u16();
    if (tag != kFormatPcm || bitsPerSample_ <= 4 || channels_ == 0 || samplesPerSecond_ == 0)
        return fail(kCannotRead);
    // The rates come from channels, bits and samples, whatever the file stores. In
    // 64 bits; a rate or block that does not fit 32 or 16 bits is no format a device
    // plays, and the rest of the player sizes buffers and times from them.
    const uint64_t frameBytes = uint64_t{bitsPerSample_ / 8u} * channels_;
    const uint64_t bytesPerSecond = frameBytes * samplesPerSecond_;
    if (frameBytes == 0 || frameBytes > UINT16_MAX || bytesPerSecond > UINT32_MAX) return fail(kCannotRead);
    std::memcpy(format_, record, sizeof record);
    bytesPerSecond_ = static_cast<uint32_t>(bytesPerSecond);

    if (!data.found) return fail(kCannotRead);
    dataStart_ = data.start;
    // A data chunk that claims more than the file holds is read as far as it goes.
    const uint64_t available = file_->size() > dataStart_ ? file_->size() - dataStart_ : 0;
    dataBytes_ = static_cast<uint32_t>(std::min<uint64_t>(data.length, available));
    if (!seekData(0)) return false;
    durationMs_ = static_cast<uint32_t>(
        std::min<uint64_t>(uint64_t{dataBytes_} * 1000 / bytesPerSecond_, UINT32_MAX));
    return true;
}

bool WaveReader::seekData(uint32_t offset) {
    if (!file_) return fail(kCannotSeek);
    offset &= ~1u;
    offset = std::min(offset, dataBytes_);
    if (!file_->seek(dataStart_ + offset)) return fail(kCannotSeek);
    position_ = offset;
    remaining_ = dataBytes_ - offset;
    return true;
}

uint32_t WaveReader::read(void* buffer, uint32_t n) {
    if (!file_) return 0;
    n = std::min(n, remaining_);
    size_t got = file_->readBlock(buffer, n);
    if (got != n) {
        lastError_ = kCannotRead;
        return 0;
    }
    position_ += n;
    remaining_ -= n;
    return n;
}

}  // namespace quillet
