#pragma once
// How the movie plays, as the Setup dialog edits it; held by the main window and
// read at each Play.

#include <cstdint>

#include "player/app/player_options.h"

namespace quillet {

struct PlaySettings {
    int32_t playType = 0;  // 0 play, 1 looping play
    int32_t times = 1;     // 1 to 10 runs when playType is 0
    int32_t zoomIndex = 2;
    int32_t fullScreen = 0;
    int32_t objects = 1;
    int32_t sound = 1;
    int32_t cursor = 1;

    static PlaySettings fromOptions(const PlayerOptions& options) {
        PlaySettings settings;
        settings.playType = options.loopPlay ? 1 : 0;
        return settings;
    }
};

}  // namespace quillet
