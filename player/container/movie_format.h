#pragma once
// Sizes and signatures of the movie container: the player's executable image, then
// the movie, then a 20-byte trailer (u32 movie offset, 16 tag bytes 'z').

#include <cstddef>
#include <cstdint>

namespace quillet {

constexpr size_t kTrailerSize = 20;
constexpr size_t kTrailerTagLength = 16;
constexpr char kTrailerTagByte = 'z';

constexpr size_t kMovieHeaderSize = 268;
constexpr size_t kSignatureSize = 50;
constexpr size_t kCreatedBySize = 50;
constexpr size_t kDateSize = 50;
constexpr size_t kDescriptionSize = 100;
constexpr size_t kHeaderPaddingSize = 2;

// A header is accepted when its signature starts with one of these.
constexpr char kSignaturePrefixProduct[] = "Tavrix";   // 6 bytes compared
constexpr char kSignaturePrefixCompact[] = "Compact";  // 7 bytes compared
constexpr char kCurrentSignature[] = "Compact Movie Ver. 3.0, Pro.";

constexpr int kProgramVersionMajor = 3;
constexpr int kProgramVersionMinor = 0;
// Versions from this one on carry a compressed copy of the header behind it.
constexpr double kFirstVersionWithHeaderCopy = 1.5;

}  // namespace quillet
