#pragma once
// Text operations on Windows paths (backslash separators).

#include <string>

namespace quillet {

// Up to, not including, the last backslash; empty when there is none.
inline std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The part after the last backslash.
inline std::string nameOf(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path without the extension of its last part.
inline std::string withoutExtension(const std::string& path) {
    size_t dot = path.rfind('.');
    size_t slash = path.rfind('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

}  // namespace quillet
