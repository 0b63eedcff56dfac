#include "player/container/movie_header.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/byte_reader.h"

namespace quillet {

MovieHeader MovieHeader::decode(const uint8_t (&bytes)[kMovieHeaderSize]) {
    ByteReader reader(bytes, kMovieHeaderSize);
    MovieHeader header;
    reader.bytes(header.signature.data(), header.signature.size());
    reader.bytes(header.createdBy.data(), header.createdBy.size());
    reader.bytes(header.date.data(), header.date.size());
    reader.bytes(header.description.data(), header.description.size());
    reader.skip(kHeaderPaddingSize);
    header.versionMajor = reader.i32();
    header.versionMinor = reader.i32();
    header.reserved1 = reader.i32();
    header.reserved2 = reader.i32();
    return header;
}

std::string MovieHeader::encode() const {
    std::string out;
    ByteWriter writer(out);
    writer.bytes(signature.data(), signature.size());
    writer.bytes(createdBy.data(), createdBy.size());
    writer.bytes(date.data(), date.size());
    writer.bytes(description.data(), description.size());
    writer.zeros(kHeaderPaddingSize);
    writer.i32(versionMajor);
    writer.i32(versionMinor);
    writer.i32(reserved1);
    writer.i32(reserved2);
    return out;
}

bool MovieHeader::signatureAccepted() const {
    return std::memcmp(signature.data(), kSignaturePrefixProduct,
                       sizeof kSignaturePrefixProduct - 1) == 0 ||
           std::memcmp(signature.data(), kSignaturePrefixCompact,
                       sizeof kSignaturePrefixCompact - 1) == 0;
}

double MovieHeader::version() const { return FormatVersion(versionMajor, versionMinor); }

std::string MovieHeader::text(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

double FormatVersion(int major, int minor) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", major, minor);
    return std::strtod(text, nullptr);
}

double programVersion() { return FormatVersion(kProgramVersionMajor, kProgramVersionMinor); }

}  // namespace quillet
