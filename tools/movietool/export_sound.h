#pragma once
// The sound of an export: every sound the movie plays, read from its WAV file and
// brought to the mix's rate, placed on the video's clock as the player would play
// it.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "player/audio/sound_mix.h"
#include "tools/movietool/export_movie.h"
#include "tools/movietool/export_timeline.h"

namespace quillet {

// A PCM WAV file as a clip at rate, stereo; false when it cannot be read.
bool readClip(const std::string& path, uint32_t rate, MixClip& clip);

class ExportSound {
public:
    explicit ExportSound(uint32_t rate) : mix_(rate) {}
    // Places the movie's sounds along the timeline. Sounds whose files cannot be
    // read are left out, as the player leaves them out.
    void place(const ExportMovie& movie, const ExportTimeline& timeline);
    const SoundMix& mix() const { return mix_; }

private:
    const MixClip* clip(const std::string& path);

    SoundMix mix_;
    std::map<std::string, std::unique_ptr<MixClip>> clips_;
};

}  // namespace quillet
