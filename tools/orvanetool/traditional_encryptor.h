#pragma once
// An entry's data under the ZIP format's traditional password encryption, for
// writing: a random header that ends in the CRC's high bytes, then the data, through
// the launcher's own cipher.

#include <cstdint>
#include <string>

namespace quillet::orvanetool {

// The 12-byte encryption header followed by data, encrypted with password.
std::string encryptEntry(const std::string& password, const std::string& data, uint32_t crc);

}  // namespace quillet::orvanetool
