// Fuzz target: the hotspot rules over hotspots and viewer events decoded from the
// input, checked against what the rules promise: the answering hotspot is one whose
// span holds the frame and that lies under the pointer, the last such in the file;
// a drop answers only when armed; keys answer only the hotspots they name.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <vector>

#include "player/objects/hotspot_rules.h"

namespace {

using namespace quillet;

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t left() const { return size_ - at_; }
    template <typename T>
    T get() {
        T value{};
        if (left() >= sizeof value) {
            std::memcpy(&value, data_ + at_, sizeof value);
            at_ += sizeof value;
        } else {
            at_ = size_;
        }
        return value;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

void require(bool promise) {
    if (!promise) std::abort();
}

bool spans(const HotspotView& h, int64_t frame) {
    return h.firstFrame <= frame && frame - h.firstFrame < h.frameCount;
}

// Every handle square lies within 3 pixels of the body's extent, whichever way the
// stored corners run.
bool nearBody(const Rect& body, int64_t x, int64_t y) {
    const int64_t left = std::min(body.left, body.right), right = std::max(body.left, body.right);
    const int64_t top = std::min(body.top, body.bottom), bottom = std::max(body.top, body.bottom);
    return x >= left - 3 && x < right + 3 && y >= top - 3 && y < bottom + 3;
}

bool strictlyInside(const Rect& body, int64_t x, int64_t y) {
    return x >= body.left && x < body.right && y >= body.top && y < body.bottom;
}

void checkPointer(const std::vector<HotspotView>& hotspots, const HotspotRules& rules, int64_t frame, int32_t x,
                  int32_t y, const HotspotDecisions& decisions, bool mayArm) {
    require(decisions.size() <= 1);
    const int under = rules.at(x, y);
    for (const HotspotDecision& d : decisions) {
        require(d.hotspot >= 0 && static_cast<size_t>(d.hotspot) < hotspots.size());
        const HotspotView& h = hotspots[static_cast<size_t>(d.hotspot)];
        require(spans(h, frame));
        if (d.kind == HotspotDecision::Answer || d.kind == HotspotDecision::ContinueAt) require(d.hotspot == under);
        if (d.kind == HotspotDecision::Answer && h.dropTarget()) require(h.armed);
        if (d.kind == HotspotDecision::ArmPartner) require(mayArm && h.dragSource() && d.hotspot == under);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const int64_t frame = in.get<int32_t>();
    const int32_t held = in.get<uint8_t>() & 7;
    const size_t count = in.get<uint8_t>() % 33;
    std::vector<HotspotView> hotspots(count);
    for (HotspotView& h : hotspots) {
        h.firstFrame = in.get<int32_t>();
        h.frameCount = in.get<int32_t>();
        h.body = {in.get<int32_t>(), in.get<int32_t>(), in.get<int32_t>(), in.get<int32_t>()};
        h.eventMask = in.get<int32_t>();
        h.modifiers = in.get<uint8_t>() & 7;
        h.key = in.get<uint16_t>();
        h.cursor = in.get<int32_t>();
        h.armed = in.get<uint8_t>() & 1;
    }
    const HotspotRules rules(hotspots, frame, held);

    const int active = rules.active();
    for (size_t i = 0; i < count; ++i)
        if (spans(hotspots[i], frame)) require(active >= static_cast<int>(i));
    require(active < 0 || spans(hotspots[static_cast<size_t>(active)], frame));

    while (in.left() > 0) {
        const uint8_t event = in.get<uint8_t>() % 7;
        const int32_t x = in.get<int32_t>(), y = in.get<int32_t>();
        const int under = rules.at(x, y);
        if (under >= 0) {
            const HotspotView& h = hotspots[static_cast<size_t>(under)];
            require(spans(h, frame) && nearBody(h.body, x, y));
            require(rules.cursorAt(x, y) == static_cast<int32_t>(static_cast<uint32_t>(h.cursor) + 11u));
        } else {
            require(rules.cursorAt(x, y) == 0);
        }
        for (size_t i = 0; i < count; ++i)
            if (spans(hotspots[i], frame) && strictlyInside(hotspots[i].body, x, y)) require(under >= static_cast<int>(i));

        switch (event) {
        case 0: checkPointer(hotspots, rules, frame, x, y, rules.leftDown(x, y), true); break;
        case 1: checkPointer(hotspots, rules, frame, x, y, rules.leftUp(x, y), false); break;
        case 2: checkPointer(hotspots, rules, frame, x, y, rules.leftDoubleClick(x, y), false); break;
        case 3: checkPointer(hotspots, rules, frame, x, y, rules.rightDown(x, y), false); break;
        case 4: checkPointer(hotspots, rules, frame, x, y, rules.rightUp(x, y), false); break;
        default: {
            const uint32_t key = static_cast<uint32_t>(x);
            int previous = static_cast<int>(count);
            for (const HotspotDecision& d : rules.keyDown(key)) {
                require(d.hotspot >= 0 && d.hotspot < previous);  // each once, last in the file first
                previous = d.hotspot;
                const HotspotView& h = hotspots[static_cast<size_t>(d.hotspot)];
                require(spans(h, frame));
                if (d.kind == HotspotDecision::ContinueAt)
                    require(h.key == static_cast<uint16_t>(key) && h.modifiers == held);
                else
                    require(d.kind == HotspotDecision::Replay && h.eventMask == 0);
            }
        }
        }
    }
    return 0;
}
