#pragma once
// The format version of a project description: major, minor and build.

#include <cstdint>

namespace quillet::project {

struct ProjectVersion {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t build = 0;

    bool atLeast(int32_t wantedMajor, int32_t wantedMinor, int32_t wantedBuild) const {
        if (major != wantedMajor) return major > wantedMajor;
        if (minor != wantedMinor) return minor > wantedMinor;
        return build >= wantedBuild;
    }
    // From 3.0.4 on, the header carries one more text after the working path.
    bool hasHeaderNote() const { return atLeast(3, 0, 4); }
};

}  // namespace quillet::project
