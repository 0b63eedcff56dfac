#pragma once
// Texts in the project description are stored scrambled: each byte has the byte of a
// repeating key added to it. Reading subtracts the key and stops at the first stored
// zero byte.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillet::project {

std::string unscrambleText(const uint8_t* stored, size_t length);

// Scrambles plain into stored. Fails (and leaves stored empty) when some byte would
// be stored as zero: the reader would cut the text there. The position of the first
// such byte then goes to unstorableAt, when given.
bool scrambleText(const std::string& plain, std::string& stored, size_t* unstorableAt = nullptr);

}  // namespace quillet::project
