#include "player/app/text_format.h"

namespace quillet {

std::string withDigitGroups(uint64_t value, int every, char separator) {
    const std::string digits = std::to_string(value);
    if (every <= 0) return digits;
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        const size_t remaining = digits.size() - i;
        if (i > 0 && remaining % static_cast<size_t>(every) == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

std::string formatText(const std::string& format, const std::vector<std::string>& arguments) {
    std::string text;
    size_t next = 0;
    auto argument = [&](size_t index) { return index < arguments.size() ? arguments[index] : std::string(); };
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            text += c;
            continue;
        }
        const char kind = format[i + 1];
        if (kind == 's' || kind == 'd') {
            text += argument(next++);
        } else if (kind >= '1' && kind <= '9') {
            text += argument(static_cast<size_t>(kind - '1'));
        } else if (kind == '%') {
            text += '%';
        } else {
            text += c;
            continue;
        }
        ++i;
    }
    return text;
}

}  // namespace quillet
