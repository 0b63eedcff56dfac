#pragma once
// Turning a stored entry name into a path inside the target folder.

#include <string>
#include <vector>

namespace quillet::zip {

// The parts of a stored name, split at either slash, without empty and "." parts.
// Returns false for a name that would reach outside the folder it is extracted into
// or that Windows would not create as a plain file of that name: an absolute name, a
// drive letter, a UNC prefix, ".." parts that climb above the start, a colon
// (alternate data streams), a part of only dots and spaces (Windows strips trailing
// dots and spaces, leaving the folder itself), device names such as CON or COM1, and
// a NUL byte or any other control character: Windows takes no control character in
// a name, and every file-system call sees a name cut at its first NUL, so that the
// part checked here would not be the part acted on. The archive is made for Windows,
// so the rules are the same on every host.
bool safeNameParts(const std::string& name, std::vector<std::string>& parts);

// True when text holds a NUL byte or another control character (0x01 to 0x1F, 0x7F).
bool hasControlCharacter(const std::string& text);

}  // namespace quillet::zip
