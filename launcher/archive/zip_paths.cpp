#include "launcher/archive/zip_paths.h"

#include <algorithm>
#include <cctype>

#include "common/device_names.h"

namespace quillet::zip {
namespace {

// What Windows makes of a name part: trailing dots and spaces go.
std::string windowsForm(const std::string& part) {
    size_t end = part.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : part.substr(0, end + 1);
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
