#include "launcher/archive/zip_paths.h"

#include <cctype>

namespace quillet::zip {

bool safeNameParts(const std::string& name, std::vector<std::string>& parts) {
    parts.clear();
    if (name.empty()) return false;
    if (name[0] == '/' || name[0] == '\\') return false;  // absolute or UNC
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
        return false;  // drive letter

    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return false;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return !parts.empty();
}

}  // namespace quillet::zip
