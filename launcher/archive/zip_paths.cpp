#include "launcher/archive/zip_paths.h"

#include <algorithm>
#include <cctype>

namespace quillet::zip {
namespace {

// What Windows makes of a name part: trailing dots and spaces go.
std::string windowsForm(const std::string& part) {
    size_t end = part.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : part.substr(0, end + 1);
}

bool equalsIgnoringCase(const std::string& text, const char* word) {
    size_t i = 0;
    for (; word[i]; ++i)
        if (i >= text.size() ||
            std::toupper(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(word[i]))
            return false;
    return i == text.size();
}

// A port number after COM or LPT: a digit, or a superscript 1, 2 or 3, which Windows
// reads as digits, in the ANSI code page or in UTF-8.
bool isPortNumber(const std::string& text) {
    if (text.size() == 1) {
        unsigned char c = static_cast<unsigned char>(text[0]);
        return std::isdigit(c) || c == 0xB9 || c == 0xB2 || c == 0xB3;
    }
    return text == "\xC2\xB9" || text == "\xC2\xB2" || text == "\xC2\xB3";
}

// Windows opens the device, not a file, for these names whatever extension follows.
bool isDeviceName(const std::string& part) {
    std::string base = part.substr(0, part.find('.'));
    size_t end = base.find_last_not_of(' ');
    base.erase(end == std::string::npos ? 0 : end + 1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (equalsIgnoringCase(base, device)) return true;
    return base.size() > 3 &&
           (equalsIgnoringCase(base.substr(0, 3), "COM") || equalsIgnoringCase(base.substr(0, 3), "LPT")) &&
           isPortNumber(base.substr(3));
}

}  // namespace

bool hasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const unsigned char byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

bool safeNameParts(const std::string& name, std::vector<std::string>& parts) {
    parts.clear();
    if (name.empty() || hasControlCharacter(name)) return false;
    if (name[0] == '/' || name[0] == '\\') return false;  // absolute or UNC

    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return false;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            // A colon also makes the drive letter of "C:name".
            if (part.find(':') != std::string::npos || windowsForm(part).empty() ||
                isDeviceName(windowsForm(part)))
                return false;
            parts.push_back(part);
        }
        start = end + 1;
    }
    return !parts.empty();
}

}  // namespace quillet::zip
