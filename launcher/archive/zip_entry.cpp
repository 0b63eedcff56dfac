#include "launcher/archive/zip_entry.h"

#include "launcher/archive/zip_format.h"

namespace quillet::zip {

bool ZipEntry::encrypted() const { return (flags & kFlagEncrypted) != 0; }
bool ZipEntry::hasDataDescriptor() const { return (flags & kFlagDataDescriptor) != 0; }

uint32_t ZipEntry::unixMode() const {
    return hostSystem() == kHostUnix ? externalAttributes >> 16 : 0;
}

bool ZipEntry::isFolder() const {
    if (dosAttributes() & kDosAttributeFolder) return true;
    if ((unixMode() & kUnixTypeMask) == kUnixTypeFolder) return true;
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

bool ZipEntry::isSymbolicLink() const { return (unixMode() & kUnixTypeMask) == kUnixTypeLink; }

uint8_t ZipEntry::passwordCheckByte() const {
    return hasDataDescriptor() ? static_cast<uint8_t>(modificationTime >> 8)
                               : static_cast<uint8_t>(crc >> 24);
}

std::tm dosToLocalTime(uint16_t date, uint16_t time) {
    std::tm local{};
    local.tm_sec = (time & 0x1F) * 2;
    local.tm_min = (time >> 5) & 0x3F;
    local.tm_hour = time >> 11;
    local.tm_mday = date & 0x1F;
    local.tm_mon = ((date >> 5) & 0x0F) - 1;
    local.tm_year = (date >> 9) + 80;
    local.tm_isdst = -1;  // daylight saving left to the system
    return local;
}

std::time_t ZipEntry::modificationCalendarTime() const {
    std::tm local = dosToLocalTime(modificationDate, modificationTime);
    return std::mktime(&local);
}

}  // namespace quillet::zip
