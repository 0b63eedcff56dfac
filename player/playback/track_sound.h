#pragma once
// Playback's view of the movie's sound tracks.

#include "player/audio/sound_tracks.h"
#include "player/playback/playback_sound.h"

namespace quillet {

class TrackSound : public PlaybackSound {
public:
    explicit TrackSound(SoundTrackSet& tracks) : tracks_(tracks) {}

    bool hasNarration() const override { return tracks_.deviceOk() && tracks_.narrationPresent(); }
    int64_t narrationElapsed() const override { return tracks_.narrationClock(); }
    void positionNarration(uint32_t ms) override { tracks_.seek(ms, -1); }
    void positionBackground(int64_t ms) override {
        if (ms >= 0) tracks_.seek(position(), ms);
    }
    void startTracks() override { tracks_.start(true, true); }
    void startNarrationOnly() override { tracks_.start(false, true); }
    void pauseNarrationOnly() override { tracks_.stop(false, true, false); }
    void pauseTracks(bool background) override { tracks_.stop(background, true, false); }
    void stopTracks(bool background) override { tracks_.stop(background, true, false); }
    void playEffect(int number) override { tracks_.playEffect(number); }
    void stopEffectChannels() override { tracks_.stopAttachedSounds(); }

private:
    uint32_t position() const { return tracks_.position(); }
    SoundTrackSet& tracks_;
};

}  // namespace quillet
