#pragma once
// The security component's decisions, apart from the file system: whether a
// project may open, where its files go and under which names.

#include <cstdint>
#include <string>

namespace quillet::viewer {

struct SecuritySettings {
    bool recordsComplete = false;
    int32_t expiryDate = 0;  // yyyymmdd; 0: never
    std::string requiredFile;  // on the disc, relative to the launcher's folder; empty: none
    bool recordFiles = true;
};

struct AccessDecision {
    bool granted = false;
    // Why not, in words for the user.
    std::string reason;
};

// today is yyyymmdd; requiredFileExists tells whether the required file is there.
AccessDecision decideAccess(const SecuritySettings& settings, const std::string& workingFolder, int32_t today,
                            bool requiredFileExists);

// The project's folder under base for a relative working path, with backslashes;
// empty for a working path that is empty, absolute or climbs out of base.
std::string workingFolderUnder(const std::string& base, const std::string& workingPath);

// The name an archive entry gets in the working folder; empty for a name that
// would leave it.
std::string targetNameOf(const std::string& storedName);

// The required file's path on the disc; empty when its name would leave the disc's folder.
std::string requiredFilePath(const std::string& launcherFolder, const std::string& requiredFile);

}  // namespace quillet::viewer
