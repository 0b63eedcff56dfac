#pragma once
// Path and file helpers over the Windows API (ANSI paths, backslash separators).

#include <string>

#include "common/paths.h"

namespace quillet::win32 {

std::string modulePath();
std::string programFolder();
std::string tempFolder();
std::string currentDirectory();
// Attributes readable and not a folder.
bool fileExists(const std::string& path);

// Deletes the files matching pattern (wildcards allowed) in folder; returns how many.
int deleteMatching(const std::string& folder, const std::string& pattern);

}  // namespace quillet::win32
