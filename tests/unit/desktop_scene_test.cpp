#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "tools/moviewriter/desktop_scene.h"

namespace quillet {
namespace {

struct Recorded {
    std::vector<Picture> pictures;
    std::vector<FrameSpec> specs;
    std::vector<CaptionRecord> objects;
};

Recorded record(const DesktopSceneOptions& options, bool exercise = false) {
    Recorded out;
    auto frame = [&](const Picture& picture, const FrameSpec& spec) {
        out.pictures.push_back(picture);
        out.specs.push_back(spec);
    };
    out.objects = exercise ? recordExerciseScene(options, frame) : recordDesktopScene(options, frame);
    return out;
}

bool inside(const Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

const CaptionRecord* ofKind(const std::vector<CaptionRecord>& objects, uint32_t kind) {
    for (const CaptionRecord& r : objects)
        if (r.kind() == kind) return &r;
    return nullptr;
}

TEST(DesktopScene, TypesEachCharacterAsAKeyFrameAndClicksInPairs) {
    DesktopSceneOptions options;
    options.width = 320;
    options.height = 240;
    options.typedLines = {"Ab.", "c"};
    const Recorded scene = record(options);
    ASSERT_FALSE(scene.pictures.empty());

    std::string typed;
    int downs = 0, ups = 0;
    std::set<std::pair<int32_t, int32_t>> pointerPositions;
    for (const FrameSpec& spec : scene.specs) {
        EXPECT_EQ(spec.delayMs, 100);
        EXPECT_EQ(spec.standardCursor, 1);
        if (spec.inputMessage == kInputKeyDown) typed.push_back(static_cast<char>(spec.inputWParam));
        downs += spec.inputMessage == kInputLeftButtonDown;
        ups += spec.inputMessage == kInputLeftButtonUp;
        pointerPositions.insert({spec.cursorX, spec.cursorY});
        EXPECT_GE(spec.cursorX, 0);
        EXPECT_LT(spec.cursorX, options.width);
    }
    EXPECT_EQ(typed, "Ab.c");
    EXPECT_EQ(downs, 3);  // a double-click on the icon, a click into the window
    EXPECT_EQ(ups, 3);
    EXPECT_GT(pointerPositions.size(), 20u);
    for (const Picture& picture : scene.pictures) {
        EXPECT_EQ(picture.width, 320);
        EXPECT_EQ(picture.height, 240);
    }
    // The screen changes as the window opens and text appears.
    EXPECT_FALSE(scene.pictures.front() == scene.pictures.back());
}

TEST(DesktopScene, TypedCharactersReachThePage) {
    DesktopSceneOptions options;
    options.width = 640;
    options.height = 480;
    options.typedLines = {"W"};
    const Recorded scene = record(options);
    // Between the frame before the key and the key's own frame, some pixels turn
    // to ink: the glyph.
    for (size_t i = 1; i < scene.specs.size(); ++i) {
        if (scene.specs[i].inputMessage != kInputKeyDown) continue;
        const Picture& before = scene.pictures[i - 1];
        const Picture& after = scene.pictures[i];
        int inked = 0;
        for (size_t p = 0; p < after.pixels.size(); ++p)
            inked += before.pixels[p] == 0xFFFFFF && after.pixels[p] == 0x101010;
        EXPECT_GE(inked, 4 * 15);  // 'W' has at least 15 pixels, drawn 2 x 2
        return;
    }
    FAIL() << "no key frame";
}

TEST(DesktopScene, AnnotationsGoWithTheirSteps) {
    const Recorded scene = record(DesktopSceneOptions());
    const auto frames = static_cast<int32_t>(scene.pictures.size());
    ASSERT_EQ(scene.objects.size(), 4u);
    for (const CaptionRecord& r : scene.objects) {
        SCOPED_TRACE(r.kind());
        EXPECT_GE(r.header.firstFrame, 0);
        EXPECT_GT(r.header.frameCount, 0);
        EXPECT_LE(r.header.firstFrame + r.header.frameCount, frames);
    }
    // The balloon points at the icon the pointer double-clicks, and is gone once
    // the double click has happened.
    const CaptionRecord* balloon = ofKind(scene.objects, caption_kind::kRoundBalloon);
    ASSERT_TRUE(balloon);
    int32_t firstDown = -1;
    for (int32_t i = 0; i < frames && firstDown < 0; ++i)
        if (scene.specs[static_cast<size_t>(i)].inputMessage == kInputLeftButtonDown) firstDown = i;
    const FrameSpec& press = scene.specs[static_cast<size_t>(firstDown)];
    EXPECT_LT(std::abs(balloon->balloon.tailTip.x - press.cursorX), 30);
    EXPECT_LT(std::abs(balloon->balloon.tailTip.y - press.cursorY), 30);
    EXPECT_GT(balloon->header.firstFrame + balloon->header.frameCount, firstDown);
    EXPECT_FALSE(inside(balloon->header.bodyRect, balloon->balloon.tailTip.x, balloon->balloon.tailTip.y));
    // The titled box covers the typing and nothing before it.
    const CaptionRecord* titled = ofKind(scene.objects, caption_kind::kTitledCaption);
    ASSERT_TRUE(titled);
    for (int32_t i = 0; i < frames; ++i) {
        const bool key = scene.specs[static_cast<size_t>(i)].inputMessage == kInputKeyDown;
        const bool shown = i >= titled->header.firstFrame && i < titled->header.firstFrame + titled->header.frameCount;
        if (key) {
            EXPECT_TRUE(shown) << "key frame " << i;
        }
    }
    const CaptionRecord* badge = ofKind(scene.objects, caption_kind::kImageCaption);
    ASSERT_TRUE(badge);
    EXPECT_TRUE(badge->picture.usable());
    EXPECT_EQ(badge->picture.naturalWidth, static_cast<uint32_t>(badge->header.bodyRect.width()));
}

TEST(ExerciseScene, EachHoldIsWhereThePointerIsOverWhatItAsksFor) {
    DesktopSceneOptions options;
    options.width = 640;
    options.height = 480;
    const Recorded scene = record(options, true);
    std::vector<const CaptionRecord*> hotspots;
    for (const CaptionRecord& r : scene.objects)
        if (r.kind() == caption_kind::kHotspotCaption) hotspots.push_back(&r);
    ASSERT_EQ(hotspots.size(), 3u);  // a click, then a drag source with its drop target
    EXPECT_EQ(hotspots[0]->hotspot.eventMask, 0x100030);
    EXPECT_EQ(hotspots[1]->hotspot.eventMask, HotspotTail::kDragSource);
    EXPECT_EQ(hotspots[2]->hotspot.eventMask, HotspotTail::kDropTarget);
    EXPECT_EQ(hotspots[1]->hotspot.partnerId, hotspots[2]->header.objectId);
    EXPECT_EQ(hotspots[2]->hotspot.partnerId, hotspots[1]->header.objectId);
    for (const CaptionRecord* h : {hotspots[0], hotspots[1]}) {
        const FrameSpec& held = scene.specs[static_cast<size_t>(h->header.firstFrame)];
        EXPECT_TRUE(inside(h->header.bodyRect, held.cursorX, held.cursorY)) << "hotspot " << h->header.objectId;
        // What the viewer is asked to do happens in the recording right after.
        const FrameSpec& next = scene.specs[static_cast<size_t>(h->header.firstFrame + h->header.frameCount)];
        EXPECT_EQ(next.inputMessage, kInputLeftButtonDown);
    }
    // The drag ends over the drop target.
    for (const FrameSpec& spec : scene.specs) {
        if (spec.inputMessage == kInputLeftButtonUp && spec.cursorY > hotspots[1]->header.bodyRect.bottom) {
            EXPECT_TRUE(inside(hotspots[2]->header.bodyRect, spec.cursorX, spec.cursorY));
        }
    }
}

TEST(DesktopScene, TextDrawingClipsAtThePictureEdge) {
    Picture picture(20, 10, 0);
    drawSceneText(picture, 14, 5, "MM", 0xFFFFFF, 2);  // runs off the right and bottom
    int lit = 0;
    for (uint32_t p : picture.pixels) lit += p == 0xFFFFFF;
    EXPECT_GT(lit, 0);
    drawSceneText(picture, -100, -100, "unknown chars: \x01\x7f", 0xFFFFFF, 1);
}

}  // namespace
}  // namespace quillet
