#pragma once
// The decimal number at the start of a text, as command lines and start-up lines
// give numbers: blanks, an optional sign, digits; no digits give 0. Values beyond
// the 32-bit range are held at its ends.

#include <cctype>
#include <climits>
#include <cstdint>
#include <string>

namespace quillet {

inline int32_t leadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int32_t>(value);
}

}  // namespace quillet
