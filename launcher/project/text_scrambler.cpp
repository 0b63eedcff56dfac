#include "launcher/project/text_scrambler.h"

#include "launcher/project/project_secrets.h"

namespace quillet::project {

namespace {
uint8_t keyByte(size_t position) {
    return static_cast<uint8_t>(kScrambleKey[position % kScrambleKeyLength]);
}
}  // namespace

std::string unscrambleText(const uint8_t* stored, size_t length) {
    std::string plain;
    plain.reserve(length);
    for (size_t i = 0; i < length && stored[i] != 0; ++i)
        plain.push_back(static_cast<char>(static_cast<uint8_t>(stored[i] - keyByte(i))));
    return plain;
}

bool scrambleText(const std::string& plain, std::string& stored, size_t* unstorableAt) {
    stored.clear();
    std::string out(plain.size(), '\0');
    for (size_t i = 0; i < plain.size(); ++i) {
        uint8_t value = static_cast<uint8_t>(static_cast<uint8_t>(plain[i]) + keyByte(i));
        if (value == 0) {
            if (unstorableAt) *unstorableAt = i;
            return false;
        }
        out[i] = static_cast<char>(value);
    }
    stored = std::move(out);
    return true;
}

}  // namespace quillet::project
