#include "launcher/viewer/security_rules.h"

#include <cstdio>
#include <vector>

#include "launcher/archive/zip_paths.h"

namespace quillet::viewer {

namespace {

std::string joinedParts(const std::string& name) {
    std::vector<std::string> parts;
    if (!zip::safeNameParts(name, parts) || parts.empty()) return std::string();
    std::string joined;
    for (const std::string& part : parts) joined += (joined.empty() ? "" : "\\") + part;
    return joined;
}

}  // namespace

std::string workingFolderUnder(const std::string& base, const std::string& workingPath) {
    const std::string relative = joinedParts(workingPath);
    return relative.empty() || base.empty() ? std::string() : base + "\\" + relative;
}

std::string targetNameOf(const std::string& storedName) {
    std::string name = joinedParts(storedName);
    // A folder entry keeps its closing separator, so that it still reads as one.
    if (!name.empty() && (storedName.back() == '/' || storedName.back() == '\\')) name += '\\';
    return name;
}

std::string requiredFilePath(const std::string& launcherFolder, const std::string& requiredFile) {
    return workingFolderUnder(launcherFolder, requiredFile);
}

AccessDecision decideAccess(const SecuritySettings& settings, const std::string& workingFolder, int32_t today,
                            bool requiredFileExists) {
    AccessDecision decision;
    if (!settings.recordsComplete) {
        decision.reason = "This disc's project description is damaged.";
    } else if (workingFolder.empty()) {
        decision.reason = "This disc's project names no working folder it may use.";
    } else if (settings.expiryDate != 0 && today > settings.expiryDate) {
        char text[96];
        std::snprintf(text, sizeof text, "This disc's project expired on %04d-%02d-%02d.",
                      static_cast<int>(settings.expiryDate / 10000), static_cast<int>(settings.expiryDate / 100 % 100),
                      static_cast<int>(settings.expiryDate % 100));
        decision.reason = text;
    } else if (!settings.requiredFile.empty() && !requiredFileExists) {
        decision.reason = "This disc's project needs the file " + settings.requiredFile + " on its disc.";
    } else {
        decision.granted = true;
    }
    return decision;
}

}  // namespace quillet::viewer
