#include "player/objects/hotspot_rules.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using namespace hotspot_event;
using D = HotspotDecision;
constexpr int32_t kCtrl = hotspot_modifier::kCtrl;

HotspotView hotspot(int32_t mask, Rect body = {10, 10, 50, 40}, int32_t modifiers = 0) {
    HotspotView h;
    h.firstFrame = 5;
    h.frameCount = 2;
    h.body = body;
    h.eventMask = mask;
    h.modifiers = modifiers;
    return h;
}

int32_t answers(int32_t event) { return event | (event << kAnswerShift); }
// A new hotspot's mask: it hears the press and the release, and the release (a
// click) answers it. Exactly 0x100010 would make it a drop target.
constexpr int32_t kClick = 0x100030;

// One row: hotspots, the event, where, the modifiers held, and what must follow.
struct Row {
    const char* what;
    std::vector<HotspotView> hotspots;
    enum Event { LeftDown, LeftUp, DoubleClick, RightDown, RightUp } event;
    Point at;
    int32_t held;
    HotspotDecisions expected;
};

TEST(HotspotRules, EntryPointsDecideAsTheTableSays) {
    const Point in{20, 20}, out{200, 200};
    HotspotView source = hotspot(kDragSource, {10, 10, 30, 30});
    source.partner = 1;
    HotspotView target = hotspot(kDropTarget, {100, 100, 140, 140});
    target.partner = 0;
    HotspotView armedTarget = target;
    armedTarget.armed = true;
    const std::vector<Row> rows = {
        {"a click answers a click hotspot", {hotspot(kClick)}, Row::LeftUp, in, 0, {{D::Answer, 0}}},
        {"with Ctrl held, not one without modifiers: its sound again", {hotspot(kClick)}, Row::LeftUp, in,
         kCtrl, {{D::Replay, 0}}},
        {"Ctrl expected and held", {hotspot(kClick, {10, 10, 50, 40}, kCtrl)}, Row::LeftUp, in, kCtrl,
         {{D::Answer, 0}}},
        {"a release it listens to but is not answered by", {hotspot(kLeftUp)}, Row::LeftUp, in, 0, {}},
        {"a click beside the hotspot", {hotspot(kClick)}, Row::LeftUp, out, 0, {{D::Replay, 0}}},
        {"a click on a handle square counts as on it", {hotspot(kClick)}, Row::LeftUp, {52, 25}, 0,
         {{D::Answer, 0}}},
        {"a press on a click hotspot does nothing", {hotspot(kClick)}, Row::LeftDown, in, 0, {}},
        {"a press on a hotspot deaf to presses, not a drag: nothing", {hotspot(answers(kLeftDoubleClick))},
         Row::LeftDown, in, 0, {}},
        {"a press on the drag source arms its target", {source, target}, Row::LeftDown, {20, 20}, 0,
         {{D::ArmPartner, 0}}},
        {"a drop on a target not armed does nothing", {source, target}, Row::LeftUp, {120, 120}, 0, {}},
        {"a drop on the armed target answers", {source, armedTarget}, Row::LeftUp, {120, 120}, 0, {{D::Answer, 1}}},
        {"a press beside a drag: the active one (the target, last in the file) again", {source, target},
         Row::LeftDown, out, 0, {{D::Replay, 1}}},
        {"a release beside an armed target: again", {source, armedTarget}, Row::LeftUp, out, 0, {{D::Replay, 1}}},
        {"a release beside a target not armed: nothing", {source, target}, Row::LeftUp, out, 0, {}},
        {"a double click answers its hotspot", {hotspot(answers(kLeftDoubleClick))}, Row::DoubleClick, in, 0,
         {{D::Answer, 0}}},
        {"a double click on a click hotspot: again", {hotspot(kClick)}, Row::DoubleClick, in, 0,
         {{D::Replay, 0}}},
        {"a right press answers, modifiers or not", {hotspot(answers(kRightDown))}, Row::RightDown, in, kCtrl,
         {{D::ContinueAt, 0}}},
        {"a right press on a click hotspot: nothing", {hotspot(kClick)}, Row::RightDown, in, 0, {}},
        {"a right release answers its hotspot", {hotspot(answers(kRightUp))}, Row::RightUp, in, 0, {{D::Answer, 0}}},
        {"a right release on a right-press hotspot: again", {hotspot(answers(kRightDown))}, Row::RightUp, in, 0,
         {{D::Replay, 0}}},
        {"two overlapping hotspots: the later in the file takes it",
         {hotspot(kClick), hotspot(kClick)}, Row::LeftUp, in, 0, {{D::Answer, 1}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const HotspotRules rules(row.hotspots, 5, row.held);
        HotspotDecisions got;
        switch (row.event) {
        case Row::LeftDown: got = rules.leftDown(row.at.x, row.at.y); break;
        case Row::LeftUp: got = rules.leftUp(row.at.x, row.at.y); break;
        case Row::DoubleClick: got = rules.leftDoubleClick(row.at.x, row.at.y); break;
        case Row::RightDown: got = rules.rightDown(row.at.x, row.at.y); break;
        case Row::RightUp: got = rules.rightUp(row.at.x, row.at.y); break;
        }
        EXPECT_EQ(got, row.expected);
    }
}

TEST(HotspotRules, KeysAndTheSpan) {
    HotspotView keyed = hotspot(0);
    keyed.key = 'A';
    keyed.modifiers = kCtrl;
    std::vector<HotspotView> hotspots = {keyed};
    EXPECT_EQ(HotspotRules(hotspots, 5, kCtrl).keyDown('A'), (HotspotDecisions{{D::ContinueAt, 0}}));
    EXPECT_EQ(HotspotRules(hotspots, 5, kCtrl).keyDown(0x10041), (HotspotDecisions{{D::ContinueAt, 0}}))
        << "keys are compared as 16-bit values";
    EXPECT_EQ(HotspotRules(hotspots, 5, 0).keyDown('A'), (HotspotDecisions{{D::Replay, 0}}))
        << "without its modifiers: a wrong answer, and an event mask of 0 replays";
    EXPECT_EQ(HotspotRules(hotspots, 5, kCtrl).keyDown('B'), (HotspotDecisions{{D::Replay, 0}}));
    hotspots[0].eventMask = kClick;
    EXPECT_TRUE(HotspotRules(hotspots, 5, kCtrl).keyDown('B').empty()) << "a mouse hotspot ignores wrong keys";

    // Outside the span nothing is active, and nothing is under the pointer.
    EXPECT_EQ(HotspotRules(hotspots, 4, 0).active(), -1);
    EXPECT_EQ(HotspotRules(hotspots, 7, 0).active(), -1);
    EXPECT_EQ(HotspotRules(hotspots, 6, 0).active(), 0);
    EXPECT_TRUE(HotspotRules(hotspots, 7, 0).leftUp(20, 20).empty());
    hotspots[0].cursor = 3;
    EXPECT_EQ(HotspotRules(hotspots, 5, 0).cursorAt(20, 20), 14);
    EXPECT_EQ(HotspotRules(hotspots, 5, 0).cursorAt(200, 20), 0);
    EXPECT_EQ(HotspotRules(hotspots, 5, 0).cursorAt(50, 40), 14) << "the corner's handle square";
    EXPECT_EQ(HotspotRules(hotspots, 5, 0).cursorAt(30, 25), 14);
    EXPECT_EQ(HotspotRules(hotspots, 5, 0).cursorAt(54, 25), 0) << "past the handle";

    // Stored values at the ends of the 32-bit range: the handle squares reach past
    // them, and a cursor beyond the known ones asks for none of them.
    hotspots[0].body = {INT32_MAX - 10, INT32_MIN, INT32_MAX, INT32_MIN + 10};
    hotspots[0].cursor = INT32_MAX;
    const HotspotRules edge(hotspots, 5, 0);
    EXPECT_EQ(edge.at(INT32_MAX, INT32_MIN + 5), 0) << "on the right edge's handle square";
    EXPECT_EQ(edge.at(INT32_MAX - 5, INT32_MIN), 0);
    EXPECT_EQ(edge.at(INT32_MAX - 14, INT32_MIN), -1);
    EXPECT_EQ(edge.cursorAt(INT32_MAX, INT32_MIN + 5), INT32_MIN + 10);
}

}  // namespace
}  // namespace quillet
