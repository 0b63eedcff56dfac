#pragma once
// The clock of an exported video: which frames a viewer sees, when and for how
// long, and what sounds start on the way, as one uninterrupted run of the player
// in which every hotspot is answered right after a pause of a chosen length.

#include <cstdint>
#include <string>
#include <vector>

#include "player/container/frame_model.h"
#include "player/container/object_timeline.h"
#include "player/objects/caption_record.h"

namespace quillet {

// One movie frame on the video's clock.
struct ShownFrame {
    int64_t frame = 0;
    int64_t startMs = 0;
    int64_t durationMs = 0;
    // Index into the movie's objects of the hotspot the video pauses at here; -1
    // for a frame that plays for its own time.
    int32_t hold = -1;
};

// A stretch of the narration heard without a break: from narrationMs in the track,
// at startMs on the video's clock, for durationMs.
struct NarrationPiece {
    int64_t startMs = 0;
    int64_t narrationMs = 0;
    int64_t durationMs = 0;
};

// The player's sound channels that play one sound at a time: a sound started on
// one cuts the one it was playing.
enum class CueChannel { Effect, KeyEffect, Object };

struct SoundCue {
    int64_t startMs = 0;
    CueChannel channel = CueChannel::Effect;
    int effect = -1;           // effect number 0 to 6, or -1 for an object's sound
    int32_t object = -1;       // index into the movie's objects for an object's sound
};

// A moment from which a channel is silent until its next cue (the player stops the
// effect channels with the narration).
struct ChannelStop {
    int64_t atMs = 0;
    CueChannel channel = CueChannel::Effect;
};

struct ExportTimeline {
    std::vector<ShownFrame> frames;
    std::vector<NarrationPiece> narration;
    std::vector<SoundCue> cues;
    std::vector<ChannelStop> stops;
    int64_t lengthMs = 0;
    // Set when a frame's stop mark ended the run before the last frame.
    bool endedAtStopMark = false;
};

struct TimelineOptions {
    int64_t holdMs = 3000;
    bool withObjects = true;   // without objects there are no hotspots to pause at
    bool withSound = true;     // cues are made only with sound
    bool hasNarration = false; // a narration pause takes the effect channels with it
    bool hasEffects = false;
};

// Walks the frames as a run of the player does, from the first to frameCount, with
// the objects of the movie and their index.
ExportTimeline buildExportTimeline(const FrameList& frames, int64_t frameCount, const ObjectTimeline& index,
                                   const std::vector<CaptionRecord>& objects, const TimelineOptions& options);

// Whether frame later shows the very picture frame earlier did: no frame after
// earlier up to later brings bands, and the cursor (when drawn) and the objects
// (when drawn) are those of earlier.
bool samePicture(const FrameList& frames, const ObjectTimeline& index, int64_t earlier, int64_t later, bool cursor,
                 bool objects);

// What the viewer is expected to do at a hotspot, in words: "Click", "Press Ctrl+F2",
// "Drag to Trash".
std::string expectedAction(const CaptionRecord& hotspot, const std::vector<CaptionRecord>& objects);

}  // namespace quillet
