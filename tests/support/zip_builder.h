#pragma once
// Builds small ZIP archives byte by byte, for the cases real tools refuse to make:
// hostile names, lying sizes, damaged records.

#include <zlib.h>

#include <string>
#include <vector>

#include "common/byte_reader.h"

namespace quillet::testing {

struct BuiltEntry {
    std::string name;
    std::string data;
    bool deflate = false;
    uint32_t declaredSize = UINT32_MAX;  // UINT32_MAX: the real size
    uint32_t externalAttributes = 0;
    uint16_t versionMadeBy = 20;  // host in the high byte: 3 for Unix
};

// The local records, and each entry's central record apart, so that tests can repeat
// central records or point them anywhere before joining the archive.
struct ZipParts {
    std::string local;
    std::vector<std::string> central;
};

// Where the local header offset lies in a central record.
constexpr size_t kCentralOffsetField = 42;

inline void setLocalHeaderOffset(std::string& centralRecord, uint32_t offset) {
    std::string field;
    ByteWriter(field).u32(offset);
    centralRecord.replace(kCentralOffsetField, 4, field);
}

inline std::string rawDeflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

inline ZipParts buildZipParts(const std::vector<BuiltEntry>& entries) {
    ZipParts parts;
    std::string& archive = parts.local;
    for (const BuiltEntry& entry : entries) {
        std::string stored = entry.deflate ? rawDeflate(entry.data) : entry.data;
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size())));
        uint32_t size = entry.declaredSize == UINT32_MAX ? static_cast<uint32_t>(entry.data.size())
                                                         : entry.declaredSize;
        uint16_t method = entry.deflate ? 8 : 0;
        uint32_t offset = static_cast<uint32_t>(archive.size());

        ByteWriter local(archive);
        local.u32(0x04034B50);
        local.u16(20);
        local.u16(0);
        local.u16(method);
        local.u16(0x6000);  // 12:00
        local.u16(0x5A21);  // 2025-01-01
        local.u32(crc);
        local.u32(static_cast<uint32_t>(stored.size()));
        local.u32(size);
        local.u16(static_cast<uint16_t>(entry.name.size()));
        local.u16(0);
        local.bytes(entry.name);
        local.bytes(stored);

        parts.central.emplace_back();
        ByteWriter central(parts.central.back());
        central.u32(0x02014B50);
        central.u16(entry.versionMadeBy);
        central.u16(20);
        central.u16(0);
        central.u16(method);
        central.u16(0x6000);
        central.u16(0x5A21);
        central.u32(crc);
        central.u32(static_cast<uint32_t>(stored.size()));
        central.u32(size);
        central.u16(static_cast<uint16_t>(entry.name.size()));
        central.u16(0);
        central.u16(0);
        central.u16(0);
        central.u16(0);
        central.u32(entry.externalAttributes);
        central.u32(offset);
        central.bytes(entry.name);
    }
    return parts;
}

inline std::string joinZip(const ZipParts& parts, const std::string& comment = "") {
    std::string archive = parts.local, directory;
    for (const std::string& record : parts.central) directory += record;
    uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
    archive += directory;
    ByteWriter end(archive);
    end.u32(0x06054B50);
    end.u16(0);
    end.u16(0);
    end.u16(static_cast<uint16_t>(parts.central.size()));
    end.u16(static_cast<uint16_t>(parts.central.size()));
    end.u32(static_cast<uint32_t>(directory.size()));
    end.u32(directoryOffset);
    end.u16(static_cast<uint16_t>(comment.size()));
    end.bytes(comment);
    return archive;
}

inline std::string buildZip(const std::vector<BuiltEntry>& entries, const std::string& comment = "") {
    return joinZip(buildZipParts(entries), comment);
}

}  // namespace quillet::testing
