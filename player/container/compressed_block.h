#pragma once
// One-call zlib wrappers for the compressed blocks of a movie (header copy, screen
// bands, object pictures, stored sounds).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace quillet {

// A block of bulk data owned by the record that holds it.
using DataBlock = std::vector<uint8_t>;

// Compresses sourceLength bytes into outBlock (any previous content is dropped). The
// output may be no larger than the input: data that grows under compression fails,
// and outBlock then keeps its full-size allocation. Levels below 4 are raised to 4
// on a fast processor.
bool CompressBlock(const void* source, size_t sourceLength, DataBlock& outBlock,
                   size_t& outLength, int level);

// Inflates a zlib stream into target. True only when the stream is whole and fits;
// on failure target holds whatever zlib produced before the error. The whole-buffer
// decompressor takes the block first, as it is about twice as fast; any block it
// refuses goes to zlib, whose answer stands.
bool UncompressBlock(const void* source, size_t sourceLength, void* target,
                     size_t targetCapacity);

// The two engines behind the block operations, each on its own: the tests hold them
// to the same answers and the benchmark measures both. Both succeed on a stream that
// ends before targetCapacity, and both ignore bytes after the stream's check value.
bool uncompressWithZlib(const void* source, size_t sourceLength, void* target, size_t targetCapacity);
// produced (optional) receives the unpacked length on success.
bool uncompressWithLibdeflate(const void* source, size_t sourceLength, void* target, size_t targetCapacity,
                              size_t* produced = nullptr);

// Up to this many unpacked bytes a stream whose size is only claimed is still inflated
// whole into memory sized by the claim; past it, piece by piece. Plausible claims this
// small cost no more than a stored picture does.
constexpr uint64_t kWholeInflateLimit = uint64_t{8} << 20;

// Whether a stored stream of packedSize bytes can inflate to rawSize bytes: deflate
// packs at most about 1 032 to 1, so a larger claim is damage, and nothing is
// allocated for it.
bool plausibleInflatedSize(uint64_t rawSize, uint64_t packedSize);

// The most one stream may inflate to in memory: half of a 32-bit address space is
// more than any stored picture or sound needs, and a claim beyond it is damage.
constexpr uint64_t kLargestInflatedBlock = uint64_t{1} << 30;

// Inflates a zlib stream piece by piece, handing each piece to write as it comes, so
// that nothing large is sized from a length the stream only claims. At most limit
// bytes are produced: a stream that holds more is damaged. Up to kWholeInflateLimit
// the stream is inflated whole first and then handed out in the same pieces.
enum class InflateResult { Finished, Damaged, NotWritten };
InflateResult inflateInPieces(const void* packed, size_t packedSize, uint64_t limit,
                              const std::function<bool(const uint8_t*, size_t)>& write);

// Inflates packed into out, which grows with what the stream really yields, up to
// rawSize bytes; a stream that ends early gives what it holds. False (and out
// released) when the claim is implausible or past kLargestInflatedBlock, the stream
// is damaged or holds more, or memory runs out.
bool inflateToSize(const void* packed, size_t packedSize, uint32_t rawSize, DataBlock& out);

// The process-wide processor setting, computed once at start-up.
bool isFastProcessor(unsigned processorLevel, unsigned processorRevision);
void setFastProcessor(bool fast);
bool fastProcessor();

// Where the wrappers send their diagnostics. The Windows layer checks the regions
// against the address space and writes to the debugger; natively nothing is checked.
struct BlockDiagnostics {
    bool (*regionReadWrite)(const void* address, size_t length) = nullptr;
    void (*debugOutput)(const char* text) = nullptr;
};
void setBlockDiagnostics(const BlockDiagnostics& diagnostics);

}  // namespace quillet
