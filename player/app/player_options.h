#pragma once
// The player's command-line options.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillet {

constexpr size_t kOptionsFileNameSize = 260;
constexpr size_t kArgumentBufferSize = 256;

struct PlayerOptions {
    char fileName[kOptionsFileNameSize] = {};
    int32_t quitAfterPlay = 0;
    int32_t pFlag = 0;
    int32_t loopPlay = 0;
    int32_t minimizeController = 0;
    int32_t overRecordedArea = 0;
    int32_t noCaption = 0;
    int32_t topmost = 0;
    int32_t startTime = 0;
    int32_t endTime = 0;
    int32_t viewX = -1;
    int32_t viewY = -1;
    int32_t controllerX = -1;
    int32_t controllerY = -1;
};
static_assert(sizeof(PlayerOptions) == 312, "PlayerOptions is a 312-byte record");

// Fills options from the program arguments (the program name excluded). fileExists
// tells whether an argument names an existing file. Arguments longer than the
// 255 characters the parsing buffer holds are ignored whole.
void ParseCommandLine(const std::vector<std::string>& arguments, PlayerOptions& options,
                      const std::function<bool(const std::string&)>& fileExists);

}  // namespace quillet
