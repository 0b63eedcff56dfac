// Fuzz target: the archive reader over arbitrary bytes, listing and extracting every
// entry (with a password) into a file system kept in memory.

#include <cstddef>
#include <cstdint>
#include <string>

#include "launcher/archive/zip_reader.h"
#include "tests/support/memory_file_system.h"

namespace {

bool inside(const std::string& path) { return path == "target" || path.rfind("target/", 0) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillet;
    testing::MemoryFileSystem fileSystem;
    fileSystem.archive.assign(reinterpret_cast<const char*>(data), size);
    ZipReader reader(fileSystem);
    uint64_t extractedStoredBytes = 0;
    try {
        reader.open("archive.zip");
        reader.setPassword("pw");
        for (size_t i = 0; i < reader.count(); ++i) {
            try {
                if (reader.extractFile(i, "target", i % 2 == 0, "", 4096))
                    extractedStoredBytes += reader.entryInfo(i).compressedSize;
            } catch (const CZipException&) {
            }
        }
    } catch (const CZipException&) {
    }
    // Entries that share stored bytes are refused: what was extracted was stored apart.
    if (extractedStoredBytes > size) __builtin_trap();
    // Nothing lands outside the target folder.
    for (const auto& file : fileSystem.files)
        if (!inside(file.first)) __builtin_trap();
    for (const std::string& folder : fileSystem.folders)
        if (!inside(folder)) __builtin_trap();
    return 0;
}
