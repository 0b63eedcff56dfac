#pragma once
// The launcher checks that the viewer library it runs with is the one it was built
// with: the SHA-256 digest of the library's file against the digest the build
// embedded in the launcher.

#include <string>

namespace quillet::launcher {

// The digest of the library the launcher was built with, as lowercase hex.
extern const char kViewerLibraryDigest[];

// The file's SHA-256 digest as lowercase hex; empty when it cannot be read.
std::string fileDigest(const std::string& path);

// The path of the loaded module named name; empty when it is not loaded.
std::string loadedModulePath(const char* name);

}  // namespace quillet::launcher
