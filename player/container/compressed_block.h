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

// Inflates a zlib stream into target. True only when zlib reports success; on failure
// target holds whatever was produced before the error.
bool UncompressBlock(const void* source, size_t sourceLength, void* target,
                     size_t targetCapacity);

// Whether a stored stream of packedSize bytes can inflate to rawSize bytes: deflate
// packs at most about 1 032 to 1, so a larger claim is damage, and nothing is
// allocated for it.
bool plausibleInflatedSize(uint64_t rawSize, uint64_t packedSize);

// The most one stream may inflate to in memory: half of a 32-bit address space is
// more than any stored picture or sound needs, and a claim beyond it is damage.
constexpr uint64_t kLargestInflatedBlock = uint64_t{1} << 30;

// Inflates a zlib stream piece by piece, handing each piece to write as it comes, so
// that nothing is sized from a length the stream only claims. At most limit bytes
// are produced: a stream that holds more is damaged.
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
