#pragma once
// Sound output over DirectSound, fed by the periodic multimedia timer.

#include "player/audio/sound_output.h"

namespace quillet {

class DirectSoundSystem : public SoundSystem {
public:
    // The DirectSound object for the default device at the normal cooperative level
    // for window (an HWND); none when either step fails.
    std::unique_ptr<SoundOutput> open(void* window) override;
};

}  // namespace quillet
