#include "tools/movietool/export_timeline.h"

#include <algorithm>
#include <cstdlib>

#include "player/audio/sound_tracks.h"
#include "player/container/frame_time.h"

namespace quillet {
namespace {

// Recorded input, by window message.
constexpr uint32_t kKeyDown = 256;
constexpr uint32_t kClientMouseFirst = 513;
constexpr uint32_t kNonClientMouseFirst = 161;
constexpr uint32_t kMouseMessages = 8;

// The effect a recorded input cues, or -1; buttonDown is the player's one flag for
// all buttons, which keeps a click from sounding at both its down and its up.
int effectFor(uint32_t message, bool& buttonDown) {
    if (message == kKeyDown) return kKeyEffect;
    uint32_t relative;
    if (message >= kClientMouseFirst && message < kClientMouseFirst + kMouseMessages)
        relative = message - kClientMouseFirst;
    else if (message >= kNonClientMouseFirst && message < kNonClientMouseFirst + kMouseMessages)
        relative = message - kNonClientMouseFirst;
    else
        return -1;
    // Left, right and middle button: down, up, double-click each.
    const int button = static_cast<int>(relative / 3);
    const uint32_t event = relative % 3;
    if (event == 2) return -1;
    if (event == 0) {
        buttonDown = true;
        return button * 2;
    }
    const bool wasDown = buttonDown;
    buttonDown = false;
    return wasDown ? -1 : button * 2;
}

const CaptionRecord* findObject(const std::vector<CaptionRecord>& objects, int32_t id, int32_t& index) {
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].header.objectId == id) {
            index = static_cast<int32_t>(i);
            return &objects[i];
        }
    }
    return nullptr;
}

bool spans(const CaptionRecord& object, int64_t frame) {
    return frame >= object.header.firstFrame &&
           frame < static_cast<int64_t>(object.header.firstFrame) + object.header.frameCount;
}

// The hotspot a run holds at on frame: one starting there, or, on the frame a run
// starts at, one whose span reaches over it. The first in the frame's objects wins,
// as the player draws them in that order.
int32_t hotspotAt(const ObjectTimeline& index, const std::vector<CaptionRecord>& objects, int64_t frame,
                  bool runStart) {
    for (int32_t id : index.at(static_cast<size_t>(frame)).visibleObjects) {
        int32_t at = -1;
        const CaptionRecord* object = findObject(objects, id, at);
        if (!object || object->kind() != caption_kind::kHotspotCaption) continue;
        if (object->header.firstFrame == frame || (runStart && spans(*object, frame))) return at;
    }
    return -1;
}

}  // namespace

ExportTimeline buildExportTimeline(const FrameList& frames, int64_t frameCount, const ObjectTimeline& index,
                                   const std::vector<CaptionRecord>& objects, const TimelineOptions& options) {
    ExportTimeline timeline;
    const int64_t count = std::min<int64_t>(frameCount, static_cast<int64_t>(frames.filled()));
    bool hotspots = false;
    if (options.withObjects)
        for (const CaptionRecord& object : objects) hotspots |= object.kind() == caption_kind::kHotspotCaption;

    int64_t now = 0;
    bool buttonDown = false;
    bool runStart = true;
    const auto stopEffects = [&](int64_t at) {
        if (!options.withSound || !options.hasNarration) return;
        timeline.stops.push_back({at, CueChannel::Effect});
        timeline.stops.push_back({at, CueChannel::KeyEffect});
    };
    for (int64_t i = 0; i < count;) {
        const MovieFrame& frame = frames[static_cast<size_t>(i)];
        if (frame.stopMark != 0) {
            timeline.endedAtStopMark = true;
            break;
        }
        ShownFrame shown;
        shown.frame = i;
        shown.startMs = now;
        const int32_t hold = hotspots ? hotspotAt(index, objects, i, runStart) : -1;
        runStart = false;
        if (options.withSound) {
            if (options.hasEffects) {
                const int effect = effectFor(frame.inputMessage, buttonDown);
                if (effect >= 0)
                    timeline.cues.push_back({now, effect == kKeyEffect ? CueChannel::KeyEffect : CueChannel::Effect,
                                             effect, -1});
            }
            const int32_t special = options.withObjects ? index.at(static_cast<size_t>(i)).specialObject : -1;
            int32_t at = -1;
            const CaptionRecord* object = special >= 0 ? findObject(objects, special, at) : nullptr;
            if (object && object->kind() == caption_kind::kSoundCaption && !object->sound.path.empty())
                timeline.cues.push_back({now, CueChannel::Object, -1, at});
        }
        if (hold >= 0) {
            // The run ends here and the narration pauses; the answer starts a new run
            // after the hotspot's span, with the narration where that frame has it.
            shown.hold = hold;
            shown.durationMs = options.holdMs;
            stopEffects(now);
            if (options.withSound) timeline.cues.push_back({now, CueChannel::Object, -1, hold});
            const CaptionRecord& hotspot = objects[static_cast<size_t>(hold)];
            i = std::max<int64_t>(i + 1, static_cast<int64_t>(hotspot.header.firstFrame) + hotspot.header.frameCount);
            buttonDown = false;
            runStart = true;
        } else {
            shown.durationMs = frame.delayMs + std::llabs(static_cast<int64_t>(frame.holdMs));
            if (frame.holdMs > 0) {
                stopEffects(now);
            } else if (shown.durationMs > 0) {
                const int64_t heard = narrationTimeBefore(frames, i);
                NarrationPiece* last = timeline.narration.empty() ? nullptr : &timeline.narration.back();
                if (last && last->startMs + last->durationMs == now && last->narrationMs + last->durationMs == heard)
                    last->durationMs += shown.durationMs;
                else
                    timeline.narration.push_back({now, heard, shown.durationMs});
            }
            ++i;
        }
        now += shown.durationMs;
        // A frame of no time is never on screen: the next one replaces it.
        if (!timeline.frames.empty() && timeline.frames.back().durationMs == 0) timeline.frames.pop_back();
        timeline.frames.push_back(shown);
    }
    if (!timeline.frames.empty() && timeline.frames.back().durationMs == 0) timeline.frames.pop_back();
    timeline.lengthMs = now;
    return timeline;
}

bool samePicture(const FrameList& frames, const ObjectTimeline& index, int64_t earlier, int64_t later, bool cursor,
                 bool objects) {
    if (earlier < 0 || later <= earlier || later >= static_cast<int64_t>(frames.filled())) return false;
    for (int64_t i = earlier + 1; i <= later; ++i)
        if (!frames[static_cast<size_t>(i)].bands.empty()) return false;
    const MovieFrame& a = frames[static_cast<size_t>(earlier)];
    const MovieFrame& b = frames[static_cast<size_t>(later)];
    if (cursor && (a.standardCursor != b.standardCursor || a.cursorId != b.cursorId || a.cursorX != b.cursorX ||
                   a.cursorY != b.cursorY))
        return false;
    return !objects || index.at(static_cast<size_t>(earlier)).visibleObjects ==
                           index.at(static_cast<size_t>(later)).visibleObjects;
}

std::string expectedAction(const CaptionRecord& hotspot, const std::vector<CaptionRecord>& objects) {
    const HotspotTail& h = hotspot.hotspot;
    std::string modifiers;
    if (h.modifiers & 2) modifiers += "Ctrl+";
    if (h.modifiers & 1) modifiers += "Alt+";
    if (h.modifiers & 4) modifiers += "Shift+";
    if (h.eventMask == HotspotTail::kDragSource || h.eventMask == HotspotTail::kDropTarget) {
        const bool source = h.eventMask == HotspotTail::kDragSource;
        std::string partner;
        for (const CaptionRecord& object : objects)
            if (object.header.objectId == h.partnerId) partner = object.hotspot.label;
        const std::string& from = source ? h.label : partner;
        const std::string& to = source ? partner : h.label;
        return "Drag " + from + (to.empty() ? std::string() : " to " + to);
    }
    if (h.eventMask == 0) {
        std::string key;
        if ((h.key >= '0' && h.key <= '9') || (h.key >= 'A' && h.key <= 'Z'))
            key = std::string(1, static_cast<char>(h.key));
        else if (h.key >= 0x70 && h.key <= 0x87)
            key = "F" + std::to_string(h.key - 0x70 + 1);
        else if (h.key == 0x0D)
            key = "Enter";
        else if (h.key == 0x20)
            key = "Space";
        else
            key = "key " + std::to_string(h.key);
        return "Press " + modifiers + key;
    }
    std::string action = "Click";
    if (h.eventMask & 0x80000) action = "Double-click";
    else if (h.eventMask & 0x60000) action = "Right-click";
    return modifiers + action + (h.label.empty() || h.label == "Empty" ? std::string() : " " + h.label);
}

}  // namespace quillet
