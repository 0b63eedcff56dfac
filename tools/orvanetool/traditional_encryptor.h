#pragma once
// The ZIP format's traditional password encryption, for writing: a random header
// that ends in the CRC's high byte, then the data, each byte mixed with a key stream
// that the plain bytes drive.

#include <cstdint>
#include <string>

namespace quillet::orvanetool {

class TraditionalEncryptor {
public:
    explicit TraditionalEncryptor(const std::string& password);
    // The 12-byte encryption header followed by data, encrypted.
    std::string encrypt(const std::string& data, uint32_t crc);

private:
    uint8_t streamByte() const;
    void updateKeys(uint8_t plain);
    uint8_t encryptByte(uint8_t plain);

    uint32_t keys_[3] = {0x12345678, 0x23456789, 0x34567890};
};

}  // namespace quillet::orvanetool
