#pragma once
// Which drive a device-removal notice speaks of, and whether it is the launcher's.

#include <cstdint>
#include <string>

namespace quillet::launcher {

// "A:" to "Z:" for the lowest of bits 0 to 25 that is set; empty when none is.
std::string driveOfUnitMask(uint32_t unitMask);

// Whether drive ("D:") is the drive of path: the text up to its first backslash,
// compared without regard to case.
bool isDriveOf(const std::string& drive, const std::string& path);

}  // namespace quillet::launcher
