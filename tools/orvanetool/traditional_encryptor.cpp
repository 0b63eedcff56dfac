#include "tools/orvanetool/traditional_encryptor.h"

#include <zlib.h>

#include <random>

namespace quillet::orvanetool {

namespace {
constexpr size_t kHeaderSize = 12;

// One step of CRC-32 over a byte, with zlib's table.
uint32_t crcStep(uint32_t crc, uint8_t byte) {
    static const z_crc_t* table = get_crc_table();
    return static_cast<uint32_t>(table[(crc ^ byte) & 0xFF] ^ (crc >> 8));
}
}  // namespace

TraditionalEncryptor::TraditionalEncryptor(const std::string& password) {
    for (unsigned char c : password) updateKeys(c);
}

uint8_t TraditionalEncryptor::streamByte() const {
    const uint32_t temp = (keys_[2] & 0xFFFF) | 2;
    return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
}

void TraditionalEncryptor::updateKeys(uint8_t plain) {
    keys_[0] = crcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = crcStep(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

uint8_t TraditionalEncryptor::encryptByte(uint8_t plain) {
    const uint8_t cipher = static_cast<uint8_t>(plain ^ streamByte());
    updateKeys(plain);
    return cipher;
}

std::string TraditionalEncryptor::encrypt(const std::string& data, uint32_t crc) {
    std::random_device random;
    std::string out;
    out.reserve(kHeaderSize + data.size());
    for (size_t i = 0; i < kHeaderSize - 2; ++i) out.push_back(static_cast<char>(encryptByte(static_cast<uint8_t>(random()))));
    out.push_back(static_cast<char>(encryptByte(static_cast<uint8_t>(crc >> 16))));
    out.push_back(static_cast<char>(encryptByte(static_cast<uint8_t>(crc >> 24))));
    for (unsigned char c : data) out.push_back(static_cast<char>(encryptByte(c)));
    return out;
}

}  // namespace quillet::orvanetool
