// Annotation objects drawn with real GDI into memory contexts, checked pixel by
// pixel: outlines 1:1 and mapped, arrow heads, the picture-and-mask composite,
// stored pictures, hotspot activation, and objects in playback and stills.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "canvas.h"
#include "common/win32/file_system.h"
#include "player/objects/win32/caption_list.h"
#include "player/objects/win32/temporary_object_files.h"
#include "player/objects/win32/hotspot_caption.h"
#include "player/objects/win32/shape_captions.h"
#include "player/bitmaps/win32/dib.h"
#include "player/playback/win32/player.h"
#include "run_recorder.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

using testing::Canvas;
using namespace caption_kind;

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;
constexpr uint32_t kWhitePixel = 0xFFFFFF;

CaptionRecord outline(uint32_t kind, Rect body, int32_t width, COLORREF colour = kRed) {
    CaptionRecord r;
    r.header.kind = kind;
    r.header.bodyRect = body;
    r.header.boundsRect = body;
    r.header.lineWidth = width;
    r.header.lineColour = colour;
    return r;
}

// A kind that renders: its body in one colour. It counts its renders.
class SolidCaption : public CCaption {
public:
    SolidCaption(CaptionRecord record, COLORREF colour) : CCaption(std::move(record)), colour_(colour) {}

protected:
    bool renders() const override { return true; }
    void renderPicture(HDC dc) override { paint(dc, colour_); }
    void renderMask(HDC dc) override {
        const Rect& b = boundsRect();
        RECT all{b.left, b.top, b.right, b.bottom};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        paint(dc, 0xFFFFFF);
    }

private:
    void paint(HDC dc, COLORREF colour) {
        const Rect& b = bodyRect();
        RECT body{b.left, b.top, b.right, b.bottom};
        win32::UniqueGdiObject brush(::CreateSolidBrush(colour));
        ::FillRect(dc, &body, static_cast<HBRUSH>(brush.get()));
    }
    COLORREF colour_;
};

// A picture and mask of a filled body, as a writer would store them.
StoredPicture storedSquare(const Rect& bounds, const Rect& body, COLORREF colour) {
    win32::WindowDc screen(nullptr);
    return storeOutline(screen.get(), bounds, colour, [&](HDC dc, uint32_t c) {
        RECT r{body.left, body.top, body.right, body.bottom};
        win32::UniqueGdiObject brush(::CreateSolidBrush(c));
        ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
    });
}

class RecordingHost : public CaptionHost {
public:
    void holdAtObject() override { ++holds; }
    void continueAt(int64_t frame) override { continued.push_back(frame); }
    void playObjectSound(const std::string& path) override { sounds.push_back(path); }
    void stopObjectSound() override {}
    int holds = 0;
    std::vector<int64_t> continued;
    std::vector<std::string> sounds;
};

class ObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        canvas.fill(0xFFFFFF);
        list.referenceRect = Rect{0, 0, 200, 200};
        list.setHost(&host);
    }
    CCaption& add(std::unique_ptr<CCaption> object) {
        CCaption& added = *object;
        list.add(std::move(object));
        return added;
    }

    Canvas canvas{200, 200};
    CCaptionList list;
    RecordingHost host;
};

TEST_F(ObjectsTest, RectangleAndEllipseOutlinesOneToOneAndMapped) {
    // 1:1 the pen is as wide as the line, inside the body.
    CCaption& wide = add(makeCaption(outline(kRectFrame, {20, 20, 120, 100}, 6)));
    wide.draw(canvas.dc(), nullptr, false, 0);
    EXPECT_EQ(canvas.at(20, 60), Canvas::rgb(kRed));
    EXPECT_EQ(canvas.at(25, 60), Canvas::rgb(kRed));
    EXPECT_EQ(canvas.at(26, 60), kWhitePixel) << "no fill";
    EXPECT_EQ(canvas.at(19, 60), kWhitePixel) << "the frame stays inside the body";

    // Mapped onto half the size: width 6 gives a 1-pixel pen, 8 a 2-pixel one.
    const RECT half{0, 0, 100, 100};
    canvas.fill(0xFFFFFF);
    wide.draw(canvas.dc(), &half, false, 0);
    EXPECT_EQ(canvas.at(10, 30), Canvas::rgb(kRed));
    EXPECT_EQ(canvas.at(11, 30), kWhitePixel);
    canvas.fill(0xFFFFFF);
    CCaption& wider = add(makeCaption(outline(kRectFrame, {20, 20, 120, 100}, 8)));
    wider.draw(canvas.dc(), &half, false, 0);
    EXPECT_EQ(canvas.at(11, 30), Canvas::rgb(kRed));
    EXPECT_EQ(canvas.at(12, 30), kWhitePixel);

    canvas.fill(0xFFFFFF);
    CCaption& ellipse = add(makeCaption(outline(kEllipseFrame, {20, 20, 120, 100}, 4, kBlue)));
    ellipse.draw(canvas.dc(), nullptr, false, 0);
    EXPECT_EQ(canvas.at(21, 60), Canvas::rgb(kBlue)) << "the leftmost point of the ellipse";
    EXPECT_EQ(canvas.at(70, 21), Canvas::rgb(kBlue)) << "its top";
    EXPECT_EQ(canvas.at(22, 22), kWhitePixel) << "a corner of the body lies outside it";
    EXPECT_EQ(canvas.at(70, 60), kWhitePixel);
}

TEST_F(ObjectsTest, ArrowHeadIsFilledAndTheLineEndsInsideIt) {
    CaptionRecord r = outline(kArrowLine, {10, 50, 150, 50}, 2, kBlue);
    r.arrow.start = {10, 50};
    r.arrow.end = {150, 50};
    r.arrow.arrowStyle = 1;
    auto& arrow = static_cast<CArrowLine&>(add(makeCaption(r)));
    arrow.draw(canvas.dc(), nullptr, false, 0);
    // The head: (138, 57), (138, 43), (150, 50).
    EXPECT_EQ(arrow.record().arrow.headLeft, (Point{138, 57}));
    EXPECT_EQ(arrow.record().arrow.headRight, (Point{138, 43}));
    EXPECT_EQ(canvas.at(142, 50), Canvas::rgb(kBlue));
    EXPECT_EQ(canvas.at(140, 46), Canvas::rgb(kBlue)) << "filled, not just framed";
    EXPECT_EQ(canvas.at(140, 41), kWhitePixel);
    EXPECT_EQ(canvas.at(60, 50), Canvas::rgb(kBlue)) << "the line";
    EXPECT_EQ(canvas.at(60, 54), kWhitePixel);
    EXPECT_EQ(canvas.at(5, 50), kWhitePixel) << "no head at the start in style 1";
    EXPECT_FLOAT_EQ(arrow.slope(), 0.0f);
    EXPECT_TRUE(arrow.headRegion());
}

TEST_F(ObjectsTest, CompositeChangesOnlyWhatTheObjectPaints) {
    canvas.fill(0x336699);
    CaptionRecord r = outline(kBoxCaption, {40, 40, 80, 80}, 1);
    r.header.boundsRect = Rect{30, 30, 90, 90};
    r.stored = storedSquare(r.header.boundsRect, r.header.bodyRect, kRed);
    ASSERT_TRUE(r.stored.present());
    CCaption& box = add(makeCaption(r));
    box.draw(canvas.dc(), nullptr, false, 0);
    EXPECT_EQ(canvas.at(60, 60), Canvas::rgb(kRed));
    EXPECT_EQ(canvas.at(35, 35), Canvas::rgb(0x336699)) << "inside the bounds, outside the object";
    EXPECT_EQ(canvas.at(20, 20), Canvas::rgb(0x336699));
    EXPECT_EQ(box.renderCount(), 0) << "the stored picture stands in for rendering";

    // Mapped onto half the size, at an offset.
    canvas.fill(0x336699);
    const RECT target{100, 100, 200, 200};
    box.draw(canvas.dc(), &target, false, 0);
    EXPECT_EQ(canvas.at(130, 130), Canvas::rgb(kRed));
    EXPECT_EQ(canvas.at(117, 117), Canvas::rgb(0x336699));
    EXPECT_EQ(canvas.at(60, 60), Canvas::rgb(0x336699));
}

// Pixels named as a direct target are composited in one pass, a device bitmap by
// block transfers: the two agree pixel for pixel, with the object half off every
// edge and the coordinates moved as playback moves them.
TEST_F(ObjectsTest, CompositeOntoPixelsMatchesTheBlockTransfers) {
    CaptionRecord r = outline(kBoxCaption, {-20, 5, 41, 58}, 1);
    r.header.boundsRect = Rect{-23, 0, 44, 61};
    r.stored = storedSquare(r.header.boundsRect, r.header.bodyRect, kRed);
    ASSERT_TRUE(r.stored.present());
    CCaption& onSection = add(makeCaption(r));
    CCaption& onBitmap = add(makeCaption(r));

    Canvas section(50, 40);
    const CCaptionList::DirectTarget direct(list, section.dc(), section.pixels());
    win32::WindowDc screen(nullptr);
    win32::UniqueMemoryDc bitmapDc(::CreateCompatibleDC(screen.get()));
    win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.get(), 50, 40));
    win32::ScopedSelect select(bitmapDc.get(), bitmap.get());
    for (const auto& [dc, object] : {std::pair(section.dc(), &onSection), std::pair(bitmapDc.get(), &onBitmap)}) {
        const RECT all{0, 0, 50, 40};
        win32::UniqueGdiObject brush(::CreateSolidBrush(0x336699));
        ::FillRect(dc, &all, static_cast<HBRUSH>(brush.get()));
        for (const POINT origin : {POINT{0, -12}, POINT{30, 7}}) {
            ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
            object->draw(dc, nullptr, false, 0);
        }
        ::SetViewportOrgEx(dc, 0, 0, nullptr);
    }
    Canvas copied(50, 40);
    ::BitBlt(copied.dc(), 0, 0, 50, 40, bitmapDc.get(), 0, 0, SRCCOPY);
    EXPECT_EQ(section.at(10, 10), Canvas::rgb(kRed));
    EXPECT_EQ(section.at(49, 39), Canvas::rgb(kRed));
    EXPECT_EQ(section.at(49, 0), Canvas::rgb(0x336699));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) ASSERT_EQ(section.at(x, y), copied.at(x, y)) << x << ", " << y;
}

TEST_F(ObjectsTest, StoredPictureFirstThenRenderedAfterInvalidate) {
    CaptionRecord r = outline(kBoxCaption, {40, 40, 80, 80}, 1);
    r.stored = storedSquare(r.header.boundsRect, r.header.bodyRect, kBlue);
    auto owned = std::make_unique<SolidCaption>(r, kRed);
    SolidCaption& solid = *owned;
    add(std::move(owned));
    solid.draw(canvas.dc(), nullptr, false, 0);
    EXPECT_EQ(canvas.at(60, 60), Canvas::rgb(kBlue));
    EXPECT_EQ(solid.renderCount(), 0);
    solid.invalidate();
    solid.draw(canvas.dc(), nullptr, false, 0);
    EXPECT_EQ(canvas.at(60, 60), Canvas::rgb(kRed)) << "after invalidate the object renders from its fields";
    EXPECT_EQ(solid.renderCount(), 1);
    solid.draw(canvas.dc(), nullptr, false, 0);
    EXPECT_EQ(solid.renderCount(), 1) << "rendered once, then composited";
}

TEST_F(ObjectsTest, LookupsAndAZeroWideReference) {
    CaptionRecord first = outline(kRectFrame, {1, 1, 3, 3}, 1);
    first.header.objectId = 7;
    CaptionRecord second = outline(kRectFrame, {100, 100, 150, 150}, 1, kBlue);
    second.header.objectId = 7;
    add(makeCaption(first));
    add(makeCaption(second));
    ASSERT_EQ(list.findById(7), list.objects()[0].get()) << "the first in file order wins";
    EXPECT_EQ(list.findById(8), nullptr);
    list.drawById(canvas.dc(), 8, nullptr, false, 0);
    EXPECT_EQ(canvas.at(125, 100), kWhitePixel) << "a missing id draws nothing";

    // A reference of no width or height scales by the target's size over 1.
    list.referenceRect = Rect{0, 0, 0, 0};
    const RECT target{0, 0, 50, 50};
    list.drawById(canvas.dc(), 7, &target, false, 0);
    EXPECT_EQ(canvas.at(50, 75), Canvas::rgb(kRed)) << "(1, 1, 3, 3) maps to (50, 50, 150, 150)";
    EXPECT_EQ(canvas.at(45, 75), kWhitePixel);
}

TEST(ObjectFilesTest, FilesThePlayerDidNotMakeSurviveReadingAndClosing) {
    const std::string folder = win32::tempFolder() + "\\";
    const std::string victim = folder + "victim.txt", scratch = folder + "tvmeffect1";
    auto contents = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return in ? bytes.str() : std::string("(none)");
    };
    for (const std::string& path : {victim, scratch}) std::ofstream(path, std::ios::binary) << "someone else's";
    {
        TemporaryObjectFiles files;
        // Two sound objects stored under the planted file's name: each gets a file
        // of its own, and neither is the planted one.
        const std::string first = files.createSoundFile("victim.txt");
        const std::string second = files.createSoundFile("victim.txt");
        EXPECT_EQ(first, folder + "victim_000.txt");
        EXPECT_EQ(second, folder + "victim_001.txt");
        const uint8_t sound[] = {'R', 'I', 'F', 'F'};
        EXPECT_TRUE(files.appendFile(first, sound, sizeof sound));
        EXPECT_EQ(contents(first), "RIFF");
        // A list whose stored effect counter names scratch files the player never made.
        CCaptionList list;
        ObjectSection section;
        section.effectCounter = 5;
        list.load(section);
        list.clear();
        files.deleteCreated();
        EXPECT_EQ(contents(first), "(none)") << "what the player made goes";
        EXPECT_EQ(contents(second), "(none)");
    }
    EXPECT_EQ(contents(victim), "someone else's");
    EXPECT_EQ(contents(scratch), "someone else's");
    ::DeleteFileA(victim.c_str());
    ::DeleteFileA(scratch.c_str());
}

TEST_F(ObjectsTest, HotspotsHoldPlaybackOrShowTheirMarker) {
    ObjectSection section;
    CaptionRecord source = outline(kHotspotCaption, {20, 20, 60, 60}, 1);
    source.header.objectId = 1;
    source.hotspot.eventMask = HotspotTail::kDragSource;
    source.hotspot.partnerId = 2;
    CaptionRecord target = outline(kHotspotCaption, {100, 100, 160, 140}, 1);
    target.header.objectId = 2;
    target.hotspot.eventMask = HotspotTail::kDropTarget;
    target.hotspot.partnerId = 1;
    section.objects = {source, target};
    list.load(section);
    list.setHost(&host);
    auto* drag = dynamic_cast<CHotspotCaption*>(list.objects()[0].get());
    auto* drop = dynamic_cast<CHotspotCaption*>(list.objects()[1].get());
    ASSERT_TRUE(drag && drop);
    EXPECT_EQ(drag->partner(), drop) << "linked both ways";
    EXPECT_EQ(drop->partner(), drag);
    EXPECT_TRUE(list.hasHotspots());

    drop->setArmed(true);
    drag->draw(canvas.dc(), nullptr, true, 0);
    EXPECT_EQ(host.holds, 1);
    EXPECT_TRUE(list.hotspotsActive);
    EXPECT_FALSE(drop->armed()) << "activation disarms the partner";
    EXPECT_EQ(canvas.at(40, 40), kWhitePixel) << "in stop-at-object mode nothing is drawn";

    drag->draw(canvas.dc(), nullptr, false, 0);
    EXPECT_EQ(canvas.at(40, 25), Canvas::rgb(0x64FF00)) << "the editor's marker";
    EXPECT_EQ(canvas.at(20, 40), Canvas::rgb(0xFF0000));
}

// Objects over a played movie: at their frames and only there, and each rendered once.
class ObjectPlaybackTest : public ::testing::Test {
protected:
    static constexpr int kSide = 64;

    void SetUp() override {
        MovieWriter writer;
        writer.setScreen({kSide, kSide, 32});
        writer.setRecordedArea({0, 0, kSide, kSide});
        for (int i = 0; i < 40; ++i) writer.addFrame(Picture(kSide, kSide, 0x202020 + static_cast<uint32_t>(i)), {5});
        stream = writer.frameStream();
        MemoryMovieFile file(stream);
        data.LoadFrameStream(file, file.size());

        CaptionRecord rect = outline(kRectFrame, {8, 8, 40, 40}, 2);
        rect.header.objectId = 1;
        rect.header.firstFrame = 10;
        rect.header.frameCount = 5;
        CaptionRecord box = outline(kBoxCaption, {44, 44, 60, 60}, 1);
        box.header.objectId = 2;
        box.header.frameCount = 40;
        auto solid = std::make_unique<SolidCaption>(box, kBlue);
        counted = solid.get();
        ObjectSection section;
        section.objects = {rect};
        list.load(section);
        list.add(std::move(solid));
        list.referenceRect = Rect{0, 0, kSide, kSide};
        data.BuildObjectTimeline(list.spans());
        view = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, kSide, kSide, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override { ::DestroyWindow(view); }

    std::string stream;
    GdiBitmapFactory bitmaps;
    FrameData data{bitmaps};
    CursorOverlay cursors;
    FrameCompositor compositor{data, cursors};
    CCaptionList list;
    SolidCaption* counted = nullptr;
    testing::Recorder recorder;
    HWND view = nullptr;
};

TEST_F(ObjectPlaybackTest, ObjectsShowAtTheirFramesAndRenderOnce) {
    Player player(data, compositor, recorder.window);
    std::vector<std::pair<int64_t, bool>> outlineShown;
    player.setPresentObserver([&](int64_t frame, uint32_t, int64_t) {
        outlineShown.push_back({frame, (::GetPixel(compositor.composedDc(), 8, 20) & 0xFFFFFF) == kRed});
    });
    ASSERT_TRUE(player.play(view, nullptr, nullptr, &list, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    ASSERT_FALSE(outlineShown.empty());
    for (const auto& [frame, shown] : outlineShown)
        EXPECT_EQ(shown, frame >= 10 && frame < 15) << "frame " << frame;
    EXPECT_EQ(counted->renderCount(), 1) << "rendered once for the whole run";

    // Stills show the same.
    Canvas still(kSide, kSide);
    for (int64_t frame : {9, 10, 14, 15}) {
        ASSERT_TRUE(compositor.renderStill(still.dc(), frame, -1, &list, false, false));
        EXPECT_EQ(still.at(8, 20) == Canvas::rgb(kRed), frame >= 10 && frame < 15) << "still of frame " << frame;
        EXPECT_EQ(still.at(50, 50), Canvas::rgb(kBlue));
    }
    EXPECT_EQ(counted->renderCount(), 1);
}

TEST_F(ObjectPlaybackTest, AHotspotActsOnceInARunAndNeverInAStill) {
    CaptionRecord spot = outline(kHotspotCaption, {20, 20, 40, 40}, 1);
    spot.header.objectId = 3;
    spot.header.firstFrame = 20;
    spot.header.frameCount = 6;
    ObjectSection section;
    section.objects = {spot};
    list.load(section);
    RecordingHost host;
    list.setHost(&host);
    data.BuildObjectTimeline(list.spans());

    // A run that starts inside the span holds there, once, rather than acting on
    // every frame after it.
    Player player(data, compositor, recorder.window);
    player.setPosition(22);
    ASSERT_TRUE(player.play(view, nullptr, nullptr, &list, false, false));
    ASSERT_TRUE(recorder.waitForEnd());
    EXPECT_EQ(recorder.end().wParam, 0u) << "held";
    EXPECT_EQ(recorder.end().lParam, 22);
    EXPECT_EQ(host.holds, 1);
    player.onRunEnded(false, 22, nullptr, view, &list);
    host.holds = 0;

    // Stills at the first frame, with the mode on and off: no hold, no marker.
    Canvas still(kSide, kSide);
    for (bool mode : {true, false}) {
        compositor.setStopAtObjectMode(mode);
        ASSERT_TRUE(compositor.renderStill(still.dc(), 20, -1, &list, false, false));
        EXPECT_EQ(host.holds, 0) << "mode " << mode;
        EXPECT_NE(still.at(30, 21), Canvas::rgb(0x64FF00)) << "the editor's marker, mode " << mode;
    }
}

}  // namespace
}  // namespace quillet
