#include "common/device_names.h"

#include <cctype>

namespace quillet {
namespace {

bool equalsIgnoringCase(const std::string& text, const char* word) {
    size_t i = 0;
    for (; word[i]; ++i)
        if (i >= text.size() ||
            std::toupper(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(word[i]))
            return false;
    return i == text.size();
}

bool isPortNumber(const std::string& text) {
    if (text.size() == 1) {
        unsigned char c = static_cast<unsigned char>(text[0]);
        return std::isdigit(c) || c == 0xB9 || c == 0xB2 || c == 0xB3;
    }
    return text == "\xC2\xB9" || text == "\xC2\xB2" || text == "\xC2\xB3";
}

}  // namespace

bool isDeviceName(const std::string& part) {
    std::string base = part.substr(0, part.find('.'));
    const size_t end = base.find_last_not_of(' ');
    base.erase(end == std::string::npos ? 0 : end + 1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (equalsIgnoringCase(base, device)) return true;
    return base.size() > 3 &&
           (equalsIgnoringCase(base.substr(0, 3), "COM") || equalsIgnoringCase(base.substr(0, 3), "LPT")) &&
           isPortNumber(base.substr(3));
}

}  // namespace quillet
