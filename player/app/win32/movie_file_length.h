#pragma once
// How long the file a movie came from is, for the File Properties box.

#include <cstdint>
#include <optional>
#include <string>

namespace quillet {

// The length in bytes of the file at path; none when it is gone, is a folder or
// cannot be opened for reading.
std::optional<uint64_t> movieFileLength(const std::string& path);

}  // namespace quillet
