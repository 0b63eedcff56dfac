#include <gtest/gtest.h>

#include <set>

#include "tools/moviewriter/desktop_scene.h"

namespace quillet {
namespace {

struct Recorded {
    std::vector<Picture> pictures;
    std::vector<FrameSpec> specs;
};

Recorded record(const DesktopSceneOptions& options) {
    Recorded out;
    recordDesktopScene(options, [&](const Picture& picture, const FrameSpec& spec) {
        out.pictures.push_back(picture);
        out.specs.push_back(spec);
    });
    return out;
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
