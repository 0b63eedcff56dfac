#include "player/objects/hotspot_rules.h"

namespace quillet {
namespace {

using namespace hotspot_event;

constexpr int32_t kHandleHalf = 3;  // the handle squares are 6 by 6
constexpr int32_t kCursorBase = 11;

int32_t answerBit(int32_t event) { return event << kAnswerShift; }

// In 64 bits: a handle square of a body at the edge of the 32-bit range reaches past it.
bool inside(int64_t x, int64_t y, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

// The body, or one of the squares on its corners and edge midpoints.
bool hits(const Rect& body, int32_t x, int32_t y) {
    if (inside(x, y, body.left, body.top, body.right, body.bottom)) return true;
    const int32_t midX = static_cast<int32_t>((int64_t{body.left} + body.right) / 2);
    const int32_t midY = static_cast<int32_t>((int64_t{body.top} + body.bottom) / 2);
    for (int32_t px : {body.left, midX, body.right})
        for (int32_t py : {body.top, midY, body.bottom}) {
            if (px == midX && py == midY) continue;  // the centre is no handle
            if (inside(x, y, int64_t{px} - kHandleHalf, int64_t{py} - kHandleHalf, int64_t{px} + kHandleHalf,
                       int64_t{py} + kHandleHalf))
                return true;
        }
    return false;
}

}  // namespace

bool HotspotRules::spansCurrent(const HotspotView& h) const {
    return h.firstFrame <= currentFrame_ && currentFrame_ < int64_t{h.firstFrame} + h.frameCount;
}

int HotspotRules::active() const {
    for (int i = static_cast<int>(hotspots_.size()) - 1; i >= 0; --i)
        if (spansCurrent(hotspots_[static_cast<size_t>(i)])) return i;
    return -1;
}

int HotspotRules::at(int32_t x, int32_t y) const {
    for (int i = static_cast<int>(hotspots_.size()) - 1; i >= 0; --i) {
        const HotspotView& h = hotspots_[static_cast<size_t>(i)];
        if (spansCurrent(h) && hits(h.body, x, y)) return i;
    }
    return -1;
}

int32_t HotspotRules::cursorAt(int32_t x, int32_t y) const {
    const int h = at(x, y);
    // Any stored cursor value gives a value; only the known ones name a cursor.
    return h < 0 ? 0 : wrappingSum(hotspots_[static_cast<size_t>(h)].cursor, kCursorBase);
}

HotspotDecisions HotspotRules::replay(int hotspot) const {
    if (hotspot < 0) return {};
    return {{HotspotDecision::Replay, hotspot}};
}

HotspotDecisions HotspotRules::leftDown(int32_t x, int32_t y) const {
    const int h = at(x, y);
    if (h >= 0 && (hotspots_[static_cast<size_t>(h)].eventMask & kLeftDown)) {
        // The start of a drag: its drop target may now answer to the release.
        if (hotspots_[static_cast<size_t>(h)].dragSource()) return {{HotspotDecision::ArmPartner, h}};
        return {};
    }
    const int a = active();
    if (a >= 0 && hotspots_[static_cast<size_t>(a)].linked()) return replay(a);
    return {};
}

HotspotDecisions HotspotRules::leftUp(int32_t x, int32_t y) const {
    const int h = at(x, y);
    const int a = active();
    const HotspotView* activeOne = a >= 0 ? &hotspots_[static_cast<size_t>(a)] : nullptr;
    if (h >= 0 && (hotspots_[static_cast<size_t>(h)].eventMask & kLeftUp)) {
        const HotspotView& hit = hotspots_[static_cast<size_t>(h)];
        if (!(hit.eventMask & answerBit(kLeftUp))) return {};
        if (modifiersMatch(hit)) {
            // A drop counts only after a press on its drag source.
            if (hit.dropTarget() && !hit.armed) return {};
            return {{HotspotDecision::Answer, h}};
        }
        if (activeOne && !activeOne->linked()) return replay(a);
        return {};
    }
    if (!activeOne) return {};
    if (h >= 0) {
        if (activeOne->armed || !activeOne->linked()) return replay(a);
        return {};
    }
    if (activeOne->armed || !activeOne->linked()) return replay(a);
    return {};
}

HotspotDecisions HotspotRules::listenedEvent(int32_t x, int32_t y, int32_t event) const {
    const int h = at(x, y);
    if (h < 0) return replay(active());
    const HotspotView& hit = hotspots_[static_cast<size_t>(h)];
    if (!(hit.eventMask & event)) return replay(h);
    if ((hit.eventMask & answerBit(event)) && modifiersMatch(hit)) return {{HotspotDecision::Answer, h}};
    return {};
}

HotspotDecisions HotspotRules::leftDoubleClick(int32_t x, int32_t y) const {
    return listenedEvent(x, y, kLeftDoubleClick);
}

HotspotDecisions HotspotRules::rightUp(int32_t x, int32_t y) const { return listenedEvent(x, y, kRightUp); }

HotspotDecisions HotspotRules::rightDown(int32_t x, int32_t y) const {
    const int h = at(x, y);
    if (h < 0) return {};
    const int32_t mask = hotspots_[static_cast<size_t>(h)].eventMask;
    // Neither the modifiers nor the sound are looked at.
    if ((mask & kRightDown) && (mask & answerBit(kRightDown))) return {{HotspotDecision::ContinueAt, h}};
    return {};
}

HotspotDecisions HotspotRules::keyDown(uint32_t virtualKey) const {
    HotspotDecisions decisions;
    for (int i = static_cast<int>(hotspots_.size()) - 1; i >= 0; --i) {
        const HotspotView& h = hotspots_[static_cast<size_t>(i)];
        if (!spansCurrent(h)) continue;
        if (modifiersMatch(h) && static_cast<uint16_t>(virtualKey) == h.key)
            decisions.push_back({HotspotDecision::ContinueAt, i});
        else if (h.eventMask == 0)
            decisions.push_back({HotspotDecision::Replay, i});
    }
    return decisions;
}

}  // namespace quillet
