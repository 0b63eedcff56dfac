#pragma once
// Turning a stored entry name into a path inside the target folder.

#include <string>
#include <vector>

namespace quillet::zip {

// The parts of a stored name, split at either slash, without empty and "." parts.
// Returns false for a name that would reach outside the folder it is extracted into:
// an absolute name, a drive letter, a UNC prefix, or ".." parts that climb above
// the start.
bool safeNameParts(const std::string& name, std::vector<std::string>& parts);

}  // namespace quillet::zip
