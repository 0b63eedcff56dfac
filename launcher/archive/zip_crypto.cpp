#include "launcher/archive/zip_crypto.h"

#include <zlib.h>

namespace quillet::zip {
namespace {

constexpr uint32_t kInitialKeys[3] = {0x12345678, 0x23456789, 0x34567890};
constexpr uint32_t kKeyMultiplier = 134775813;

const z_crc_t* crcTable() {
    static const z_crc_t* table = get_crc_table();
    return table;
}

uint32_t crcStep(uint32_t crc, uint8_t byte) {
    return crcTable()[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace

TraditionalCipher::TraditionalCipher(const std::string& password)
    : keys_{kInitialKeys[0], kInitialKeys[1], kInitialKeys[2]} {
    for (unsigned char c : password) updateKeys(c);
}

void TraditionalCipher::updateKeys(uint8_t plain) {
    keys_[0] = crcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * kKeyMultiplier + 1;
    keys_[2] = crcStep(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

}  // namespace quillet::zip
