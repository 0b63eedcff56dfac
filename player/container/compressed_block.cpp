#include "player/container/compressed_block.h"

#include <zlib.h>

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <limits>

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

bool UncompressBlock(const void* source, size_t sourceLength, void* target,
                     size_t targetCapacity) {
    reportBadRegion("Source Compress Bad Pointer : 0x%08x, %d \n", source, sourceLength);
    reportBadRegion("Target Compress Bad Pointer : 0x%08x, %d \n", target, targetCapacity);
    if (!fitsZlib(sourceLength) || !fitsZlib(targetCapacity)) return false;

    uLongf produced = static_cast<uLongf>(targetCapacity);
    return uncompress(static_cast<Bytef*>(target), &produced,
                      static_cast<const Bytef*>(source),
                      static_cast<uLong>(sourceLength)) == Z_OK;
}

bool plausibleInflatedSize(uint64_t rawSize, uint64_t packedSize) {
    return rawSize <= packedSize * kMostInflatedPerPackedByte + kInflateSlack;
}

bool inflateToSize(const void* packed, size_t packedSize, uint32_t rawSize, DataBlock& out) {
    out.clear();
    if (!plausibleInflatedSize(rawSize, packedSize)) return false;
    out.assign(rawSize, 0);
    if (rawSize == 0 || !UncompressBlock(packed, packedSize, out.data(), out.size())) {
        out.clear();
        return false;
    }
    return true;
}

}  // namespace quillet
