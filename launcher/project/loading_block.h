#pragma once
// What the loading window hands the project loader, and what the loader fills in.

#include <cstddef>
#include <string>

#include "launcher/interface/viewer_interface.h"

namespace quillet::project {

// Both paths are limited to this many bytes with their terminator.
constexpr size_t kMaxPathText = 4096;

struct LoadingBlock {
    viewer::NativeWindow loadingWindow = nullptr;
    void* filterModule = nullptr;
    std::string launcherFolder;
    std::string workingPath;
    viewer::SettingsComponent* projectSettings = nullptr;
};

}  // namespace quillet::project
