#pragma once
// The 268-byte header at the start of every movie.

#include <array>
#include <cstdint>
#include <string>

#include "player/container/movie_format.h"

namespace quillet {

struct MovieHeader {
    std::array<char, kSignatureSize> signature{};
    std::array<char, kCreatedBySize> createdBy{};
    std::array<char, kDateSize> date{};
    std::array<char, kDescriptionSize> description{};
    int32_t versionMajor = 0;
    int32_t versionMinor = 0;
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;

    static MovieHeader decode(const uint8_t (&bytes)[kMovieHeaderSize]);
    std::string encode() const;

    bool signatureAccepted() const;
    double version() const;

    static std::string text(const char* field, size_t size);
    std::string signatureText() const { return text(signature.data(), signature.size()); }
    std::string createdByText() const { return text(createdBy.data(), createdBy.size()); }
    std::string dateText() const { return text(date.data(), date.size()); }
    std::string descriptionText() const { return text(description.data(), description.size()); }

    template <size_t N>
    static void setText(std::array<char, N>& field, const std::string& value) {
        field.fill('\0');
        value.copy(field.data(), N - 1);
    }

    bool operator==(const MovieHeader& other) const { return encode() == other.encode(); }
};

// A format version as the number printed from "%d.%d": minor 5 and minor 50 are both
// x.5, minor 55 is x.55.
double FormatVersion(int major, int minor);
double programVersion();

}  // namespace quillet
