#pragma once
// What playback asks of the movie's sound tracks. The tracks answer once sound is
// built; until then, and whenever sound is off, playback talks to silence.

#include <cstdint>

namespace quillet {

class PlaybackSound {
public:
    virtual ~PlaybackSound() = default;
    virtual bool hasNarration() const { return false; }
    // The narration channel's elapsed-time counter, or -1 when it cannot be read.
    virtual int64_t narrationElapsed() const { return -1; }
    virtual void positionNarration(uint32_t /*ms*/) {}
    // -1 leaves the background where it is.
    virtual void positionBackground(int64_t /*ms*/) {}
    virtual void startTracks() {}
    virtual void startNarrationOnly() {}
    // Pauses the narration (and the effect channels with it).
    virtual void pauseNarrationOnly() {}
    virtual void pauseTracks(bool /*background*/) {}
    virtual void stopTracks(bool /*background*/) {}
    virtual void playEffect(int /*number*/) {}
    // Stop ends the object, effect and key-effect sounds at once.
    virtual void stopEffectChannels() {}
};

}  // namespace quillet
