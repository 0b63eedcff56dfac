#include "tools/orvanetool/traditional_encryptor.h"

#include <random>

#include "launcher/archive/zip_crypto.h"
#include "launcher/archive/zip_format.h"

namespace quillet::orvanetool {

std::string encryptEntry(const std::string& password, const std::string& data, uint32_t crc) {
    std::random_device random;
    std::string out;
    out.reserve(zip::kEncryptionHeaderSize + data.size());
    for (size_t i = 0; i < zip::kEncryptionHeaderSize - 2; ++i) out.push_back(static_cast<char>(random()));
    // The reader checks the last byte; older readers check the last two.
    out.push_back(static_cast<char>(crc >> 16));
    out.push_back(static_cast<char>(crc >> 24));
    out += data;
    zip::TraditionalCipher(password).encrypt(reinterpret_cast<uint8_t*>(&out[0]), out.size());
    return out;
}

}  // namespace quillet::orvanetool
