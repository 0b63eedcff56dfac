#pragma once
// The Windows side of the compression wrappers: the processor setting and the
// diagnostics about regions that are not both readable and writable.

#include <cstddef>

namespace quillet {

// Computes the processor setting and installs the diagnostics; called once at
// start-up.
void initialiseBlockPlatform();

// True when every page of the region is committed, readable and writable.
bool regionIsReadWrite(const void* address, size_t length);

}  // namespace quillet
