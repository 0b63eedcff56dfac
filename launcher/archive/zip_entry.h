#pragma once
// One entry of the central directory.

#include <cstdint>
#include <ctime>
#include <string>

namespace quillet::zip {

struct ZipEntry {
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t modificationTime = 0;  // DOS time
    uint16_t modificationDate = 0;  // DOS date
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t diskNumberStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;
    std::string name;
    std::string extraField;
    std::string comment;

    bool encrypted() const;
    bool hasDataDescriptor() const;
    bool isFolder() const;
    // Stored by a Unix tool as a link; its data is the link's target.
    bool isSymbolicLink() const;
    uint8_t hostSystem() const { return static_cast<uint8_t>(versionMadeBy >> 8); }
    // The DOS attribute byte, and the Unix mode when the entry was made on Unix.
    uint32_t dosAttributes() const { return externalAttributes & 0xFF; }
    uint32_t unixMode() const;
    // The modification time as calendar time, read as local time.
    std::time_t modificationCalendarTime() const;
    // The byte the decrypted encryption header must end with.
    uint8_t passwordCheckByte() const;
};

// DOS date and time to the broken-down local time they stand for.
std::tm dosToLocalTime(uint16_t date, uint16_t time);

}  // namespace quillet::zip
