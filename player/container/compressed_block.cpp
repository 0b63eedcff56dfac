#include "player/container/compressed_block.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>

namespace quillet {
namespace {

std::atomic<bool> g_fastProcessor{false};
BlockDiagnostics g_diagnostics;

constexpr int kFastMinimumLevel = 4;
constexpr unsigned kFastLevel = 6;
constexpr unsigned kFastRevisionAbove = 0x07D0;

void reportBadRegion(const char* format, const void* address, size_t length) {
    if (!g_diagnostics.regionReadWrite || !g_diagnostics.debugOutput) return;
    if (g_diagnostics.regionReadWrite(address, length)) return;
    char text[256];
    std::snprintf(text, sizeof text, format,
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(address)),
                  static_cast<int>(length));
    g_diagnostics.debugOutput(text);
}

bool fitsZlib(size_t n) { return n <= std::numeric_limits<uLong>::max(); }

// Deflate's best case, with room for the stream's header and a final block.
constexpr uint64_t kMostInflatedPerPackedByte = 1032;
constexpr uint64_t kInflateSlack = 1024;
// Streams are inflated this much at a time.
constexpr size_t kInflatePiece = 64 * 1024;

// A decompressor holds its tables between calls and serves one thread at a time:
// the playback, loader and still-cache threads each keep their own.
struct DecompressorDeleter {
    void operator()(libdeflate_decompressor* decompressor) const { libdeflate_free_decompressor(decompressor); }
};
libdeflate_decompressor* threadDecompressor() {
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(
        libdeflate_alloc_decompressor());
    return decompressor.get();
}

// The whole-buffer path of a claimed size: false when the claim is too large for
// it, memory runs out or the decompressor refuses the stream; zlib then decides.
bool inflateWhole(const void* packed, size_t packedSize, uint64_t limit, DataBlock& out) {
    if (limit > kWholeInflateLimit) return false;
    try {
        out.resize(static_cast<size_t>(limit));
    } catch (const std::bad_alloc&) {
        out = DataBlock();
        return false;
    }
    size_t produced = 0;
    if (!uncompressWithLibdeflate(packed, packedSize, out.data(), out.size(), &produced)) return false;
    out.resize(produced);
    return true;
}

}  // namespace

bool isFastProcessor(unsigned processorLevel, unsigned processorRevision) {
    return processorLevel > kFastLevel ||
           (processorLevel == kFastLevel && processorRevision > kFastRevisionAbove);
}

void setFastProcessor(bool fast) { g_fastProcessor.store(fast); }
bool fastProcessor() { return g_fastProcessor.load(); }

void setBlockDiagnostics(const BlockDiagnostics& diagnostics) { g_diagnostics = diagnostics; }

bool CompressBlock(const void* source, size_t sourceLength, DataBlock& outBlock,
                   size_t& outLength, int level) {
    if (fastProcessor() && level < kFastMinimumLevel) level = kFastMinimumLevel;

    outBlock = DataBlock();
    outLength = 0;
    if (!fitsZlib(sourceLength)) return false;
    try {
        outBlock.assign(sourceLength, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }

    reportBadRegion("Source Compress Bad Pointer : 0x%08x, %d \n", source, sourceLength);
    reportBadRegion("Target Compress Bad Pointer : 0x%08x, %d \n", outBlock.data(),
                    sourceLength);

    uLongf produced = static_cast<uLongf>(sourceLength);
    if (compress2(outBlock.data(), &produced, static_cast<const Bytef*>(source),
                  static_cast<uLong>(sourceLength), level) != Z_OK)
        return false;

    outBlock.resize(produced);
    outBlock.shrink_to_fit();
    outLength = produced;
    return true;
}

bool uncompressWithZlib(const void* source, size_t sourceLength, void* target, size_t targetCapacity) {
    if (!fitsZlib(sourceLength) || !fitsZlib(targetCapacity)) return false;
    uLongf produced = static_cast<uLongf>(targetCapacity);
    return uncompress(static_cast<Bytef*>(target), &produced, static_cast<const Bytef*>(source),
                      static_cast<uLong>(sourceLength)) == Z_OK;
}

bool uncompressWithLibdeflate(const void* source, size_t sourceLength, void* target, size_t targetCapacity,
                              size_t* produced) {
    libdeflate_decompressor* decompressor = threadDecompressor();
    if (!decompressor) return false;
    // With a place for the unpacked length, a stream shorter than the target is
    // success, as it is for zlib.
    size_t length = 0;
    if (libdeflate_zlib_decompress(decompressor, source, sourceLength, target, targetCapacity, &length) !=
        LIBDEFLATE_SUCCESS)
        return false;
    if (produced) *produced = length;
    return true;
}

bool UncompressBlock(const void* source, size_t sourceLength, void* target,
                     size_t targetCapacity) {
    reportBadRegion("Source Compress Bad Pointer : 0x%08x, %d \n", source, sourceLength);
    reportBadRegion("Target Compress Bad Pointer : 0x%08x, %d \n", target, targetCapacity);
    return uncompressWithLibdeflate(source, sourceLength, target, targetCapacity) ||
           uncompressWithZlib(source, sourceLength, target, targetCapacity);
}

bool plausibleInflatedSize(uint64_t rawSize, uint64_t packedSize) {
    return rawSize <= packedSize * kMostInflatedPerPackedByte + kInflateSlack;
}

InflateResult inflateInPieces(const void* packed, size_t packedSize, uint64_t limit,
                              const std::function<bool(const uint8_t*, size_t)>& write) {
    DataBlock whole;
    if (inflateWhole(packed, packedSize, limit, whole)) {
        for (size_t at = 0; at < whole.size(); at += kInflatePiece)
            if (!write(whole.data() + at, std::min(kInflatePiece, whole.size() - at))) return InflateResult::NotWritten;
        return InflateResult::Finished;
    }
    whole = DataBlock();
    if (!fitsZlib(packedSize)) return InflateResult::Damaged;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return InflateResult::Damaged;
    stream.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(packed));
    stream.avail_in = static_cast<uInt>(packedSize);
    uint8_t piece[kInflatePiece];
    uint64_t produced = 0;
    InflateResult result = InflateResult::Damaged;
    for (;;) {
        stream.next_out = piece;
        stream.avail_out = sizeof piece;
        const int status = inflate(&stream, Z_NO_FLUSH);
        const size_t length = sizeof piece - stream.avail_out;
        if (status != Z_OK && status != Z_STREAM_END) break;
        produced += length;
        if (produced > limit) break;
        if (length > 0 && !write(piece, length)) {
            result = InflateResult::NotWritten;
            break;
        }
        if (status == Z_STREAM_END) {
            result = InflateResult::Finished;
            break;
        }
        // No input left and nothing made: the stream is cut off.
        if (length == 0 && stream.avail_in == 0) break;
    }
    inflateEnd(&stream);
    return result;
}

bool inflateToSize(const void* packed, size_t packedSize, uint32_t rawSize, DataBlock& out) {
    out = DataBlock();
    if (!plausibleInflatedSize(rawSize, packedSize) || rawSize > kLargestInflatedBlock || rawSize == 0) return false;
    if (inflateWhole(packed, packedSize, rawSize, out)) {
        out.shrink_to_fit();
        return true;
    }
    out = DataBlock();
    InflateResult result = InflateResult::Damaged;
    try {
        result = inflateInPieces(packed, packedSize, rawSize, [&out](const uint8_t* piece, size_t length) {
            out.insert(out.end(), piece, piece + length);
            return true;
        });
        if (result == InflateResult::Finished && out.capacity() > out.size()) out.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        result = InflateResult::Damaged;
    }
    if (result != InflateResult::Finished) {
        out = DataBlock();
        return false;
    }
    return true;
}

}  // namespace quillet
