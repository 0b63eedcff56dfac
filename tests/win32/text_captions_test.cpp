// Text boxes, balloons and pictures drawn with real GDI into memory contexts and
// checked pixel by pixel: bodies, frames, what stays of the target around them,
// side faces and shadows, tails, text placement, icons and bitmaps.

#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "canvas.h"
#include "player/objects/caption_geometry.h"
#include "player/objects/win32/caption_list.h"
#include "player/objects/win32/image_caption.h"
#include "player/objects/win32/stored_pictures.h"
#include "player/objects/win32/text_captions.h"
#include "tools/moviewriter/object_description.h"

namespace quillet {
namespace {

using testing::Canvas;
using namespace caption_kind;

// COLORREFs as stored, and what the canvas reads for them (0x00RRGGBB).
constexpr COLORREF kGreen = 0x00C000;
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGrey = 0x808080;
const uint32_t kGreenPixel = Canvas::rgb(kGreen), kBluePixel = Canvas::rgb(kBlue), kRedPixel = Canvas::rgb(kRed);

CaptionRecord textObject(uint32_t kind, Rect body, Rect bounds) {
    CaptionRecord r;
    r.header.kind = kind;
    r.header.bodyRect = body;
    r.header.boundsRect = bounds;
    r.header.textRect = body;
    r.header.fillColour = kBlue;
    r.header.lineColour = kRed;
    r.header.lineWidth = 3;
    r.cornerSize = Point{30, 30};
    r.balloon.tailTip = Point{body.left - 40, (body.top + body.bottom) / 2};
    r.balloon.tailBaseA = Point{(body.left + body.right) / 2, body.top};
    r.balloon.tailBaseB = Point{(body.left + body.right) / 2, body.bottom};
    return r;
}

class CaptionPixels : public ::testing::Test {
protected:
    void SetUp() override { canvas.fill(kGreen); }
    // Draws the object 1:1 onto a fresh green canvas.
    void draw(const CaptionRecord& record) {
        canvas.fill(kGreen);
        object = makeCaption(record);
        object->draw(canvas.dc(), nullptr, false, 0);
    }
    uint32_t at(int x, int y) const { return canvas.at(x, y); }
    int count(int left, int top, int right, int bottom, uint32_t pixel) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += at(x, y) == pixel;
        return n;
    }

    Canvas canvas{320, 240};
    std::unique_ptr<CCaption> object;
};

TEST_F(CaptionPixels, TheBoxIsFilledFramedInsideAndLeavesTheRestAlone) {
    draw(textObject(kBoxCaption, Rect{60, 60, 160, 120}, Rect{40, 40, 200, 160}));
    EXPECT_EQ(at(110, 90), kBluePixel) << "fill";
    for (int x : {60, 61, 62}) EXPECT_EQ(at(x, 90), kRedPixel) << "frame column " << x;
    EXPECT_EQ(at(63, 90), kBluePixel) << "the frame is 3 pixels wide, inside";
    EXPECT_EQ(at(159, 90), kRedPixel) << "the right edge's last column inside";
    EXPECT_EQ(at(160, 90), kGreenPixel) << "outside the body the target stays";
    EXPECT_EQ(at(45, 45), kGreenPixel);
    EXPECT_EQ(at(110, 119), kRedPixel);
    EXPECT_EQ(at(110, 120), kGreenPixel);
}

TEST_F(CaptionPixels, EveryKindFillsItsBodyAndOnlyItsShape) {
    const Rect body{100, 60, 220, 140};
    for (uint32_t kind = kBoxCaption; kind <= kEllipseBalloon; ++kind) {
        SCOPED_TRACE(kind);
        CaptionRecord r = textObject(kind, body, Rect{40, 40, 260, 180});
        draw(r);
        EXPECT_EQ(at(160, 100), kBluePixel) << "the body's middle";
        const bool rounded = kind == kRoundCaption || kind == kRoundBalloon;
        const bool elliptic = kind == kEllipseCaption || kind == kEllipseBalloon;
        EXPECT_EQ(at(101, 61) == kGreenPixel, rounded || elliptic) << "the top-left corner is cut off when curved";
        EXPECT_EQ(at(230, 100), kGreenPixel) << "right of the body";
        const bool balloon = kind >= kBoxBalloon;
        EXPECT_EQ(count(62, 95, 100, 105, kGreenPixel) < 38 * 10, balloon) << "the tail left of the body";
    }
}

TEST_F(CaptionPixels, AballoonWhoseBasePointsShareARowStillShowsItsTail) {
    CaptionRecord r = textObject(kBoxBalloon, Rect{150, 60, 250, 120}, Rect{40, 40, 260, 140});
    r.balloon.tailTip = Point{60, 90};
    r.balloon.tailBaseA = Point{150, 90};
    r.balloon.tailBaseB = Point{150, 90};
    draw(r);
    EXPECT_GT(count(60, 85, 150, 96, kGreenPixel), 0);
    EXPECT_GT(90 * 11 - count(60, 85, 150, 96, kGreenPixel), 40) << "a thin tail, two pixels at its base";
}

TEST_F(CaptionPixels, ARoundedBoxSmallerThanItsCornerIsDrawnAsAnEllipse) {
    CaptionRecord rounded = textObject(kRoundCaption, Rect{100, 100, 140, 130}, Rect{90, 90, 150, 140});
    rounded.cornerSize = Point{50, 50};
    draw(rounded);
    std::vector<uint32_t> asRounded;
    for (int y = 90; y < 140; ++y)
        for (int x = 90; x < 150; ++x) asRounded.push_back(at(x, y));
    CaptionRecord ellipse = rounded;
    ellipse.header.kind = kEllipseCaption;
    draw(ellipse);
    std::vector<uint32_t> asEllipse;
    for (int y = 90; y < 140; ++y)
        for (int x = 90; x < 150; ++x) asEllipse.push_back(at(x, y));
    EXPECT_EQ(asRounded, asEllipse);
    EXPECT_EQ(at(101, 101), kGreenPixel);
}

TEST_F(CaptionPixels, SideFacesAreLighterTopLeftAndDarkerBottomRight) {
    const Rect body{100, 80, 200, 140};
    CaptionRecord r = textObject(kBoxCaption, body, Rect{60, 40, 240, 180});
    r.header.lineColour = kGrey;
    r.header.depthOn = 1;
    r.header.depthCorner = 1;  // down-right
    r.header.depthX = r.header.depthY = 12;
    draw(r);
    EXPECT_EQ(at(205, 110), Canvas::rgb(shade(kGrey, face_light::kRight, 10)));
    EXPECT_EQ(at(150, 145), Canvas::rgb(shade(kGrey, face_light::kBottom, 10)));
    EXPECT_LT(at(205, 110) & 0xFF, 0x80u);
    EXPECT_EQ(at(95, 110), kGreenPixel) << "nothing on the left";

    r.header.depthCorner = 3;  // up-left: the stored vector points the wrong way and turns
    draw(r);
    EXPECT_EQ(at(99, 110), Canvas::rgb(shade(kGrey, face_light::kLeft, 10)));
    EXPECT_EQ(at(98, 110), kGreenPixel) << "to a single pixel";

    r.header.depthX = r.header.depthY = -12;
    draw(r);
    EXPECT_EQ(at(95, 110), Canvas::rgb(shade(kGrey, face_light::kLeft, 10)));
    EXPECT_EQ(at(150, 75), Canvas::rgb(shade(kGrey, face_light::kTop, 10)));
    EXPECT_GT(at(95, 110) & 0xFF, 0x80u);
    EXPECT_EQ(at(205, 110), kGreenPixel);
}

TEST_F(CaptionPixels, ZeroDepthTowardACornerIsOnePixel) {
    CaptionRecord r = textObject(kBoxCaption, Rect{100, 80, 200, 140}, Rect{60, 40, 240, 180});
    r.header.depthOn = 1;
    r.header.depthCorner = 1;
    r.header.depthX = 0;
    r.header.depthY = 10;
    draw(r);
    EXPECT_EQ(at(200, 110), Canvas::rgb(shade(kRed, face_light::kRight, 10))) << "one column of face";
    EXPECT_EQ(at(201, 110), kGreenPixel);
}

TEST_F(CaptionPixels, TheShadowCoversTheFacesWhereTheyMeet) {
    CaptionRecord r = textObject(kBoxCaption, Rect{100, 80, 200, 140}, Rect{60, 40, 260, 200});
    r.header.depthOn = 1;
    r.header.depthCorner = 1;
    r.header.depthX = r.header.depthY = 12;
    draw(r);
    const uint32_t face = at(204, 110);
    EXPECT_EQ(face, Canvas::rgb(shade(kRed, face_light::kRight, 10)));
    r.header.shadowOn = 1;
    r.header.shadowX = 3;
    r.header.shadowY = 20;
    draw(r);
    EXPECT_EQ(at(204, 110), Canvas::rgb(r.header.shadowRgb)) << "shadow over the face";
    EXPECT_EQ(at(211, 95), Canvas::rgb(shade(kRed, face_light::kRight, 10))) << "the face above the shadow";
    EXPECT_EQ(at(214, 140), Canvas::rgb(r.header.shadowRgb)) << "the shadow beyond the face";
    EXPECT_EQ(at(150, 110), kBluePixel) << "the body over everything";
}

TEST_F(CaptionPixels, CurvedBodiesShowAGradientOfFaces) {
    for (uint32_t kind : {kRoundCaption, kEllipseCaption, kEllipseBalloon}) {
        SCOPED_TRACE(kind);
        CaptionRecord r = textObject(kind, Rect{100, 80, 200, 140}, Rect{40, 40, 260, 200});
        r.header.lineColour = kGrey;
        r.header.depthOn = 1;
        r.header.depthCorner = 1;
        r.header.depthX = r.header.depthY = 14;
        draw(r);
        // Below the body's middle and right of it: faces, in more than one shade of
        // the line colour, and grey ones at that.
        std::set<uint32_t> shades;
        for (int y = 60; y < 160; ++y)
            for (int x = 60; x < 220; ++x) {
                const uint32_t p = at(x, y);
                const bool grey = (p & 0xFF) == ((p >> 8) & 0xFF) && (p & 0xFF) == (p >> 16);
                if (grey && p != kGreenPixel) shades.insert(p);
            }
        EXPECT_GT(shades.size(), 5u);
        EXPECT_NE(at(190, 148), kGreenPixel) << "the swept side below the lower right";
        EXPECT_EQ(at(102, 82), kGreenPixel) << "the corner away from the depth is cut off";
    }
}

TEST_F(CaptionPixels, TextIsCentredInItsKindsAreaAndEmptyTextStoresNothing) {
    Canvas measure(10, 10);
    win32::UniqueGdiObject font = fontFrom(LogFontBytes{});
    win32::ScopedSelect select(measure.dc(), font.get());
    struct Case {
        uint32_t kind;
        int32_t inset;  // left and right
    } cases[] = {{kBoxCaption, 4}, {kRoundCaption, 4}, {kEllipseCaption, 11}, {kBoxBalloon, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CaptionRecord r = textObject(c.kind, Rect{100, 100, 180, 200}, Rect{50, 50, 250, 250});
        r.cornerSize = Point{30, 30};  // 30 * 0.1465 = 4.4: 4
        r.text = "Hi";
        auto object = makeCaption(r);
        const Rect got = object->textRect(measure.dc());
        EXPECT_EQ(got.left, 100 + c.inset);
        EXPECT_EQ(got.right, 180 - c.inset);
        const Rect area = textArea(r);
        EXPECT_GT(got.height(), 0);
        EXPECT_EQ(got.top, area.top + (area.height() - got.height()) / 2) << "centred";
        EXPECT_EQ(object->record().header.textRect, got) << "kept";

        r.text.clear();
        r.header.textRect = Rect{1, 2, 3, 4};
        auto empty = makeCaption(r);
        const Rect space = empty->textRect(measure.dc());
        EXPECT_EQ(space.left, 104);
        EXPECT_EQ(space.right, 176);
        EXPECT_EQ(empty->record().header.textRect, (Rect{1, 2, 3, 4})) << "empty text stores nothing";
    }
}

TEST_F(CaptionPixels, TextAndTheTitleBarAreDrawnInTheirColours) {
    CaptionRecord r = textObject(kTitledCaption, Rect{40, 40, 280, 200}, Rect{40, 40, 280, 200});
    r.header.fillColour = 0xFFFFFF;
    r.header.textColour = kBlue;
    r.text = "WWWW";
    r.title.title = "MMMM";
    r.title.titleColour = kGreen;
    r.title.titleBar = Rect{40, 40, 280, 70};
    r.title.bodyTextRect = Rect{40, 70, 280, 200};
    draw(r);
    EXPECT_EQ(at(50, 45), kRedPixel) << "the bar in the line colour";
    EXPECT_GT(count(40, 40, 280, 70, kGreenPixel), 10) << "the title in its colour";
    EXPECT_GT(count(40, 70, 280, 200, kBluePixel), 10) << "the text in its colour";
    const Rect title = static_cast<const CTitledCaption&>(*object).record().title.titleTextRect;
    EXPECT_GE(title.top, 44);
    EXPECT_LE(title.bottom, 66);
    EXPECT_GE(object->record().header.textRect.top, 74);
}

// A 32 x 32 picture: a red square in a magenta (transparent) border.
Picture iconArt() {
    Picture art(32, 32, 0xFF00FF);
    art.fillRect(8, 8, 24, 24, 0xFF0000);
    return art;
}

TEST_F(CaptionPixels, AnIconKeepsItsTransparencyOneToOneAndLosesItScaled) {
    CaptionRecord r;
    r.header.kind = kImageCaption;
    r.header.bodyRect = r.header.boundsRect = Rect{100, 100, 132, 132};
    r.picture = iconPicture(iconArt(), 0xFF00FF);
    draw(r);
    EXPECT_EQ(at(116, 116), 0xFF0000u);
    EXPECT_EQ(at(102, 102), kGreenPixel) << "transparent at 1:1";
    ASSERT_TRUE(static_cast<CImageCaption&>(*object).hasPicture());

    CCaptionList list;
    list.referenceRect = Rect{0, 0, 160, 120};
    auto icon = makeCaption(r);
    icon->setOwner(&list);
    canvas.fill(kGreen);
    const RECT doubled{0, 0, 320, 240};
    icon->draw(canvas.dc(), &doubled, false, 0);
    EXPECT_EQ(at(232, 232), 0xFF0000u);
    EXPECT_EQ(at(203, 203), 0u) << "scaled, the colour bitmap is copied, black border and all";
}

TEST_F(CaptionPixels, ABitmapAtItsSizeOrStretchedWithAndWithoutAMask) {
    Picture image(20, 20, 0x0000FF);
    CaptionRecord r;
    r.header.kind = kImageCaption;
    r.header.bodyRect = r.header.boundsRect = Rect{100, 100, 140, 140};
    r.picture = bitmapPicture(image);
    r.picture.actualSize = 1;
    draw(r);
    EXPECT_EQ(at(105, 105), 0x0000FFu);
    EXPECT_EQ(at(130, 130), kGreenPixel) << "beyond a natural-size bitmap the target shows";

    r.picture.actualSize = 0;
    draw(r);
    EXPECT_EQ(at(130, 130), 0x0000FFu) << "stretched over the bounds";

    Picture mask(20, 20, 0);
    mask.fillRect(0, 0, 10, 20, 0xFFFFFF);  // the left half shows
    r.picture = bitmapPicture(image, &mask);
    r.picture.actualSize = 0;
    draw(r);
    EXPECT_EQ(at(105, 120), 0x0000FFu);
    EXPECT_EQ(at(135, 120), kGreenPixel) << "masked out";
}

TEST_F(CaptionPixels, APictureThatDidNotInflateDrawsNothing) {
    CaptionRecord r;
    r.header.kind = kImageCaption;
    r.header.bodyRect = r.header.boundsRect = Rect{100, 100, 140, 140};
    r.picture = bitmapPicture(Picture(20, 20, 0x0000FF));
    r.picture.imageDib.clear();  // as the reader leaves it
    draw(r);
    EXPECT_FALSE(static_cast<CImageCaption&>(*object).hasPicture());
    EXPECT_EQ(count(90, 90, 150, 150, kGreenPixel), 60 * 60);
}

TEST_F(CaptionPixels, StoredPicturesDrawWhatRenderingDrawsAndKeepTheTextPlace) {
    ObjectSection section;
    std::string error;
    ASSERT_TRUE(parseObjectDescription(
        "round-balloon id=1 body=100,60,220,130 tail=40,40 text=\"Stored\" fill=ffff00 depth=6,6 depth-corner=1 "
        "shadow=4,4\n"
        "titled id=2 body=20,150,200,230 title=T text=\"Body text\"\n",
        section.objects, error))
        << error;
    CaptionRecord icon;
    icon.header.kind = kImageCaption;
    icon.header.bodyRect = icon.header.boundsRect = icon.header.textRect = Rect{240, 20, 272, 52};
    icon.picture = iconPicture(iconArt(), 0xFF00FF);
    section.objects.push_back(icon);
    const ObjectSection plain = section;
    storeRenderedPictures(section);
    for (size_t i = 0; i < section.objects.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(section.objects[i].stored.present());
        if (section.objects[i].kind() != kImageCaption) {
            EXPECT_FALSE(section.objects[i].header.textRect == plain.objects[i].header.textRect)
                << "measured when rendered";
        }
        draw(plain.objects[i]);
        std::vector<uint32_t> rendered;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) rendered.push_back(at(x, y));
        // The stored picture is what an icon would composite; drawn as a plain
        // object of no kind, it must give the same pixels.
        CaptionRecord storedOnly = section.objects[i];
        if (storedOnly.kind() == kImageCaption) storedOnly.header.kind = kLast + 1;
        draw(storedOnly);
        EXPECT_EQ(object->renderCount(), 0) << "drawn from the stored picture";
        std::vector<uint32_t> stored;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) stored.push_back(at(x, y));
        EXPECT_EQ(stored, rendered);
    }
}

}  // namespace
}  // namespace quillet
