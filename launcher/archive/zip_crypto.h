#pragma once
// The format's traditional password encryption: three 32-bit keys updated with every
// plain byte.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillet::zip {

class TraditionalDecryptor {
public:
    explicit TraditionalDecryptor(const std::string& password);

    // Decrypts in place.
    void decrypt(uint8_t* data, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            uint8_t plain = static_cast<uint8_t>(data[i] ^ streamByte());
            updateKeys(plain);
            data[i] = plain;
        }
    }

private:
    uint8_t streamByte() const {
        uint32_t temp = (keys_[2] & 0xFFFF) | 2;
        return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
    }
    void updateKeys(uint8_t plain);

    uint32_t keys_[3];
};

}  // namespace quillet::zip
