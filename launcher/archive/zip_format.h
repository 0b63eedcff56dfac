#pragma once
// Record layouts of the ZIP format as the launcher reads it. Every record begins
// with a four-byte signature and a fixed part; variable fields follow the fixed part.

#include <cstddef>
#include <cstdint>

namespace quillet::zip {

constexpr uint32_t kEndOfCentralDirectorySignature = 0x06054B50;  // bytes 50 4B 05 06
constexpr uint32_t kCentralHeaderSignature = 0x02014B50;          // bytes 50 4B 01 02
constexpr uint32_t kLocalHeaderSignature = 0x04034B50;            // bytes 50 4B 03 04

// End of central directory: signature, disk numbers, entry counts, directory size
// and offset, comment length; the comment follows.
constexpr size_t kEndOfCentralDirectorySize = 22;
// The end record lies within its own size plus the largest comment from the end.
constexpr size_t kEndRecordSearchSpan = kEndOfCentralDirectorySize + 0xFFFF;
// Central header fixed part; name, extra field and comment follow.
constexpr size_t kCentralHeaderSize = 46;
// Local header fixed part; name and extra field follow, then the data.
constexpr size_t kLocalHeaderSize = 30;
// The traditional encryption header in front of an encrypted entry's data.
constexpr size_t kEncryptionHeaderSize = 12;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;

// Host systems in the high byte of "version made by".
constexpr uint8_t kHostDos = 0;
constexpr uint8_t kHostUnix = 3;

constexpr uint32_t kDosAttributeReadOnly = 0x01;
constexpr uint32_t kDosAttributeFolder = 0x10;
constexpr uint32_t kUnixTypeMask = 0170000;
constexpr uint32_t kUnixTypeFolder = 0040000;
constexpr uint32_t kUnixTypeLink = 0120000;

constexpr size_t kDefaultBufferSize = 65536;

}  // namespace quillet::zip
