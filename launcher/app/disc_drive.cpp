#include "launcher/app/disc_drive.h"

#include <cctype>

namespace quillet::launcher {

namespace {
constexpr int kDriveLetters = 26;
}  // namespace

std::string driveOfUnitMask(uint32_t unitMask) {
    for (int bit = 0; bit < kDriveLetters; ++bit)
        if (unitMask & (1u << bit)) return std::string(1, static_cast<char>('A' + bit)) + ":";
    return std::string();
}

bool isDriveOf(const std::string& drive, const std::string& path) {
    const std::string pathDrive = path.substr(0, path.find('\\'));
    if (drive.empty() || drive.size() != pathDrive.size()) return false;
    for (size_t i = 0; i < drive.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(drive[i])) != std::toupper(static_cast<unsigned char>(pathDrive[i])))
            return false;
    return true;
}

}  // namespace quillet::launcher
