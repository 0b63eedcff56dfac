#pragma once
// Movies a damaged disc or a hostile sender could hand the player: each breaks one
// promise a reader or the playback code relies on. They are written afresh by the
// movie writer whenever a test needs them, never kept as files. Native tools and
// the Windows end-to-end tests play the same list.

#include <string>
#include <vector>

namespace quillet::testing {

struct HostileMovie {
    std::string name;         // a file stem, e.g. "screen_header_wraps"
    std::string what;         // one line: what is wrong with it
    std::string bytes;        // the movie itself (header ... frame stream), not yet appended to a player
    bool refused = false;     // the player must refuse it with "Invalid or damaged files."
    std::string plantedFile;  // non-empty: a file in the temporary folder that the movie's objects name
                              // and that must survive playing and closing
};

std::vector<HostileMovie> hostileMovies();

}  // namespace quillet::testing
