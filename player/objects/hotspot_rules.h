#pragma once
// What a viewer's click, drag or key does to the hotspots that hold playback: the
// hotspot that answers, the one whose sound is played again, or nothing. The rules
// look at the hotspots as plain values, so that they can be checked case by case;
// the object list carries the decisions out.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/geometry.h"

namespace quillet {

// The events a hotspot listens to, and (the same bit shifted left by 16) the ones
// that answer it.
namespace hotspot_event {
constexpr int32_t kRightUp = 0x02;
constexpr int32_t kRightDown = 0x04;
constexpr int32_t kLeftDoubleClick = 0x08;
constexpr int32_t kLeftUp = 0x10;
constexpr int32_t kLeftDown = 0x20;
constexpr int kAnswerShift = 16;
constexpr int32_t kDragSource = 0x200020;
constexpr int32_t kDropTarget = 0x100010;
}  // namespace hotspot_event

// Modifier keys as hotspots store them.
namespace hotspot_modifier {
constexpr int32_t kAlt = 1;
constexpr int32_t kCtrl = 2;
constexpr int32_t kShift = 4;
}  // namespace hotspot_modifier

struct HotspotView {
    int32_t firstFrame = 0;
    int32_t frameCount = 1;
    Rect body;
    int32_t eventMask = 0;
    int32_t modifiers = 0;
    uint16_t key = 0;
    int32_t cursor = 0;
    bool armed = false;
    int partner = -1;  // index among the views, or -1

    bool dragSource() const { return eventMask == hotspot_event::kDragSource; }
    bool dropTarget() const { return eventMask == hotspot_event::kDropTarget; }
    bool linked() const { return dragSource() || dropTarget(); }
};

struct HotspotDecision {
    enum Kind {
        Answer,      // the sound stops and playback goes on after the hotspot's span
        ContinueAt,  // playback goes on after the span, the sound left alone
        Replay,      // the hotspot takes hold again, its sound from the start
        ArmPartner,  // the drag source was pressed: its drop target may answer
    };
    Kind kind;
    int hotspot;
    bool operator==(const HotspotDecision& o) const { return kind == o.kind && hotspot == o.hotspot; }
};
using HotspotDecisions = std::vector<HotspotDecision>;

class HotspotRules {
public:
    // hotspots in file order; heldModifiers is the set of modifier keys down now.
    HotspotRules(const std::vector<HotspotView>& hotspots, int64_t currentFrame, int32_t heldModifiers)
        : hotspots_(hotspots), currentFrame_(currentFrame), heldModifiers_(heldModifiers) {}

    // The hotspot whose span holds the current frame, the last in the file first;
    // -1 when none.
    int active() const;
    // The same, among those whose body or one of its eight handle squares holds
    // the point.
    int at(int32_t x, int32_t y) const;
    // The cursor a pointer at the point asks for: the hotspot's cursor + 11, or 0.
    int32_t cursorAt(int32_t x, int32_t y) const;

    HotspotDecisions leftDown(int32_t x, int32_t y) const;
    HotspotDecisions leftUp(int32_t x, int32_t y) const;
    HotspotDecisions leftDoubleClick(int32_t x, int32_t y) const;
    HotspotDecisions rightDown(int32_t x, int32_t y) const;
    HotspotDecisions rightUp(int32_t x, int32_t y) const;
    HotspotDecisions keyDown(uint32_t virtualKey) const;

private:
    bool spansCurrent(const HotspotView& h) const;
    bool modifiersMatch(const HotspotView& h) const { return h.modifiers == heldModifiers_; }
    HotspotDecisions replay(int hotspot) const;
    // A double click or a right-button release: answered when listened to and
    // meant, the hotspot's sound again when not listened to.
    HotspotDecisions listenedEvent(int32_t x, int32_t y, int32_t event) const;

    const std::vector<HotspotView>& hotspots_;
    int64_t currentFrame_;
    int32_t heldModifiers_;
};

}  // namespace quillet
