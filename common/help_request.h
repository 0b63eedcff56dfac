#pragma once
// The command-line tools answer a request for help with their usage on standard
// output and exit 0; a call they cannot take gets the usage on standard error and 2.

#include <cstring>

namespace quillet {

// True when the first argument asks for help.
inline bool asksForHelp(int argc, char** argv) {
    return argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
}

}  // namespace quillet
