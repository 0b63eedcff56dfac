#pragma once

namespace quillet::win32 {

// Loads a string from the program's string table. The text stays valid for the next
// ten loads: the loader keeps the last ten strings in a ring.
const char* loadString(unsigned id);

}  // namespace quillet::win32
