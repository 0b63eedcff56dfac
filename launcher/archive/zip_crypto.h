#pragma once
// The format's traditional password encryption: three 32-bit keys, set from the
// password and updated with every plain byte, give the stream each byte is mixed
// with. Reading and writing share this one key schedule.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillet::zip {

class TraditionalCipher {
public:
    explicit TraditionalCipher(const std::string& password);

    // Both work in place; the keys advance with the plain bytes either way.
    void decrypt(uint8_t* data, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            const uint8_t plain = static_cast<uint8_t>(data[i] ^ streamByte());
            updateKeys(plain);
            data[i] = plain;
        }
    }
    void encrypt(uint8_t* data, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            const uint8_t plain = data[i];
            data[i] = static_cast<uint8_t>(plain ^ streamByte());
            updateKeys(plain);
        }
    }

private:
    uint8_t streamByte() const {
        const uint32_t temp = (keys_[2] & 0xFFFF) | 2;
        return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
    }
    void updateKeys(uint8_t plain);

    uint32_t keys_[3];
};

}  // namespace quillet::zip
