// Fuzz target: the archive reader over arbitrary bytes, listing and extracting every
// entry (with a password) into a file system kept in memory that, like the real
// ones, acts on a name only up to its NUL: once under the stored names, once as the
// project loader does, under the names a security component gives or refuses.

#include <cstddef>
#include <cstdint>
#include <string>

#include "launcher/archive/zip_reader.h"
#include "launcher/project/project_loader.h"
#include "tests/support/fake_components.h"
#include "tests/support/memory_file_system.h"

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
        testing::CallLog calls;
        testing::FakeSecurity security(calls, "target", {}, &fileSystem);
        for (size_t i = 0; i < reader.count(); ++i) {
            try {
                project::handleArchiveEntry(reader, i, security);
            } catch (const CZipException&) {
            } catch (const project::RefusedEntry&) {
            }
        }
    } catch (const CZipException&) {
    }
    // Entries that share stored bytes are refused: what was extracted was stored apart.
    if (extractedStoredBytes > size) __builtin_trap();
    // Nothing is made or touched outside the target folder.
    if (!fileSystem.allInside("target")) __builtin_trap();
    return 0;
}
