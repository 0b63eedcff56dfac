// Annotation objects in the real player: outlines, arrows, text boxes, balloons
// and pictures over the recorded pictures, on screen at their frames and gone
// outside them.

#include <gtest/gtest.h>

#include "player_fixture.h"
#include "test_movies.h"
#include "tools/moviewriter/desktop_scene.h"
#include "tools/moviewriter/object_description.h"

namespace quillet::e2e {
namespace {

constexpr uint32_t kRed = 0xFF0000;   // as captured, 0x00RRGGBB
constexpr uint32_t kBlue = 0x0000FF;

class ObjectsTest : public PlayerTest {
protected:
    // Starts the movie and waits for its view; start_ is when it came up.
    HWND play(const TestMovie& movie, const char* name) {
        movie_ = movie;
        if (!player_.start(packedPlayer(name, movie.bytes))) return nullptr;
        HWND view = waitForView(player_);
        start_ = ::GetTickCount();
        return view;
    }
    void waitUntilMs(int ms) const {
        while (static_cast<int>(::GetTickCount() - start_) < ms) ::Sleep(5);
    }
    // The frame on screen, told by the background's colour in a corner the
    // pictures' bars, the cursor and the objects never reach.
    int frameOf(const driver::Pixels& pixels) const {
        for (size_t k = 0; k < movie_.pictures.size(); ++k)
            if (pixels.at(310, 235) == movie_.pictures[k].at(310, 235)) return static_cast<int>(k);
        return -1;
    }

    driver::Process player_;
    TestMovie movie_;
    DWORD start_ = 0;
};

TEST_F(ObjectsTest, OutlinesAndArrowsShowAtTheirFramesOnly) {
    TestMovieShape shape{12, 500};
    std::string error;
    ASSERT_TRUE(parseObjectDescription("rect  id=1 first=4 frames=4 body=40,60,200,160 line=ff0000 width=4\n"
                                       "arrow id=2 first=2 frames=8 start=220,200 end=300,120 line=0000ff width=3\n",
                                       shape.objects, error))
        << error;
    HWND view = play(makeTestMovie(shape), "objects.exe");
    ASSERT_TRUE(view);
    for (int k : {1, 3, 5, 8, 10}) {
        waitUntilMs(500 * k + 250);
        driver::Pixels pixels;
        ASSERT_TRUE(driver::captureClient(view, pixels));
        const int frame = frameOf(pixels);
        ASSERT_GE(frame, 0) << "at " << 500 * k + 250 << " ms";
        SCOPED_TRACE("frame " + std::to_string(frame));
        const bool rectangle = frame >= 4 && frame < 8, arrow = frame >= 2 && frame < 10;
        EXPECT_EQ(pixels.at(41, 110) == kRed, rectangle) << "the rectangle's left edge";
        EXPECT_EQ(pixels.at(120, 62) == kRed, rectangle) << "its top edge";
        EXPECT_EQ(pixels.at(120, 110) == kRed, false) << "no fill";
        EXPECT_EQ(pixels.at(240, 180) == kBlue, arrow) << "the arrow's line";
        EXPECT_EQ(pixels.at(294, 128) == kBlue, arrow) << "inside its head";
    }
    closePlayer(player_);
}

TEST_F(ObjectsTest, BalloonsBoxesAndPicturesShowAtTheirFramesOnly) {
    TestMovieShape shape{12, 500};
    std::string error;
    ASSERT_TRUE(parseObjectDescription(
        "oval-balloon id=1 first=2 frames=6 body=60,40,220,120 tail=20,200 fill=ffff00 line=000000 width=2 "
        "depth=8,8 depth-corner=1 shadow=6,6 text=\"Look\"\n"
        "titled id=2 first=5 frames=4 body=180,150,300,220 title=T fill=ffffff line=00a000 text=\"Note\"\n",
        shape.objects, error))
        << error;
    Picture badge(24, 24, 0xFF00FF);
    shape.objects.push_back(CaptionRecord());
    CaptionRecord& image = shape.objects.back();
    image.header.kind = caption_kind::kImageCaption;
    image.header.objectId = 3;
    image.header.frameCount = 3;
    image.header.bodyRect = image.header.boundsRect = Rect{250, 20, 274, 44};
    image.picture = bitmapPicture(badge);
    image.picture.actualSize = 1;
    HWND view = play(makeTestMovie(shape), "captions.exe");
    ASSERT_TRUE(view);
    for (int k : {1, 3, 6, 9}) {
        waitUntilMs(500 * k + 250);
        driver::Pixels pixels;
        ASSERT_TRUE(driver::captureClient(view, pixels));
        const int frame = frameOf(pixels);
        ASSERT_GE(frame, 0);
        SCOPED_TRACE("frame " + std::to_string(frame));
        const Picture& recorded = movie_.pictures[static_cast<size_t>(frame)];
        const bool balloon = frame >= 2 && frame < 8, titled = frame >= 5 && frame < 9, picture = frame < 3;
        EXPECT_EQ(pixels.at(80, 80) == 0xFFFF00, balloon) << "inside the balloon's body";
        EXPECT_EQ(pixels.at(40, 180) == 0xFFFF00, balloon) << "its tail";
        EXPECT_EQ(pixels.at(70, 45), recorded.at(70, 45)) << "outside the ellipse, the recording";
        EXPECT_EQ(pixels.at(186, 156) == 0x00A000, titled) << "the title bar in the line colour";
        EXPECT_EQ(pixels.at(260, 30) == 0xFF00FF, picture) << "the picture";
    }
    closePlayer(player_);
}

// A picture object over frames 0-9 whose stored image is not a zlib stream.
CaptionRecord pictureThatDoesNotInflate() {
    CaptionRecord image;
    image.header.kind = caption_kind::kImageCaption;
    image.header.frameCount = 10;
    image.header.bodyRect = image.header.boundsRect = Rect{20, 20, 60, 60};
    image.picture = bitmapPicture(Picture(40, 40, 0xFF00FF));
    image.picture.image.packed = "not a zlib stream";
    return image;
}

TEST_F(ObjectsTest, APictureThatDoesNotInflateIsToldOfAndTheMoviePlaysOn) {
    TestMovieShape shape{10, 100};
    const CaptionRecord image = pictureThatDoesNotInflate();
    shape.objects = {image, image};  // told of once for both
    shape.objects[1].header.objectId = 1;
    std::string error;
    ASSERT_TRUE(parseObjectDescription("rect id=2 frames=10 body=100,100,200,200 line=ff0000 width=4\n",
                                       shape.objects, error));
    TestMovie movie = makeTestMovie(shape);
    driver::Process player;
    ASSERT_TRUE(player.start(packedPlayer("damaged.exe", movie.bytes), {"/q"}));
    std::string text;
    HWND box = waitForBox(player, "Tavrix", text);
    ASSERT_TRUE(box);
    EXPECT_EQ(text, "Zlib Uncompression Error");
    ASSERT_TRUE(driver::pressButton(box, "OK"));
    driver::waitUntil([&] { return !::IsWindow(box); }, 5000);
    HWND view = waitForView(player);
    ASSERT_TRUE(view) << "the movie plays, with no second report before it";
    driver::Pixels pixels;
    ASSERT_TRUE(driver::waitUntil([&] { return driver::captureClient(view, pixels) && pixels.at(101, 150) == kRed; }))
        << "with the objects after the damaged one";
    EXPECT_NE(pixels.at(40, 40), 0xFF00FFu) << "and without the damaged picture";
    EXPECT_TRUE(player.waitForExit()) << "to its end";
    EXPECT_EQ(player.exitCode(), 0u);
}

TEST_F(ObjectsTest, ACloseThatComesWhileTheMovieOpensWaitsForTheOpen) {
    // The report of a damaged picture comes while the movie opens, before the
    // loader counts as busy. A close that the report's message loop lets through,
    // as a second player starting would post it, must not take the document away
    // under the open: the player ends once the open is over.
    TestMovieShape shape{10, 100};
    const CaptionRecord image = pictureThatDoesNotInflate();
    shape.objects = {image};
    TestMovie movie = makeTestMovie(shape);
    driver::Process player;
    ASSERT_TRUE(player.start(packedPlayer("closing.exe", movie.bytes)));
    std::string text;
    HWND box = waitForBox(player, "Tavrix", text);
    ASSERT_TRUE(box);
    HWND main = ::GetWindow(box, GW_OWNER);
    ASSERT_TRUE(main) << "the report has the main window for its owner";
    // Both posted to the same thread: the box's own loop takes the close in first.
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(driver::pressButton(box, "OK"));
    EXPECT_TRUE(player.waitForExit()) << "the close was lost";
    EXPECT_EQ(player.exitCode(), 0u) << "the close took the document away under the open";
}

TEST_F(ObjectsTest, TheDemoSessionShowsItsBalloonOverTheRecording) {
    DesktopSceneOptions options;
    options.width = 640;
    options.height = 480;
    options.frameDelayMs = 50;
    MovieWriter writer;
    writer.setScreen({640, 480, 32});
    std::vector<Picture> pictures;
    writer.objects().objects = recordDesktopScene(options, [&](const Picture& picture, const FrameSpec& spec) {
        writer.addFrame(picture, spec);
        pictures.push_back(picture);
    });
    const CaptionRecord* balloon = nullptr;
    for (const CaptionRecord& r : writer.objects().objects)
        if (r.kind() == caption_kind::kRoundBalloon) balloon = &r;
    ASSERT_TRUE(balloon);
    const Rect body = balloon->header.bodyRect;
    const uint32_t stored = balloon->header.fillColour;  // 0x00BBGGRR
    const uint32_t fill = ((stored & 0xFF) << 16) | (stored & 0xFF00) | ((stored >> 16) & 0xFF);
    const int middle = balloon->header.firstFrame + balloon->header.frameCount / 2;

    driver::Process player;
    ASSERT_TRUE(player.start(packedPlayer("demo.exe", writer.build())));
    HWND view = waitForView(player);
    ASSERT_TRUE(view);
    const DWORD start = ::GetTickCount();
    while (static_cast<int>(::GetTickCount() - start) < middle * 50) ::Sleep(5);
    driver::Pixels pixels;
    ASSERT_TRUE(driver::captureClient(view, pixels));
    EXPECT_EQ(pixels.at(body.left + 8, body.top + 8), fill) << "the balloon's fill inside its body";
    EXPECT_EQ(pixels.at(body.right + 20, body.top + 2), pictures[0].at(body.right + 20, body.top + 2))
        << "the desktop beside it";
    closePlayer(player);
}

}  // namespace
}  // namespace quillet::e2e
