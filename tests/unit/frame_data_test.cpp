#include "player/container/frame_data.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "player/container/frame_time.h"
#include "tests/support/gated_movie_file.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

using testing::GatedMovieFile;

constexpr int32_t kWidth = 48;
constexpr int32_t kHeight = 60;

MovieWriter smallMovie() {
    MovieWriter writer;
    writer.setScreen({kWidth, kHeight, 32});
    return writer;
}

FrameRecord record(int32_t delay, int32_t hold = 0) {
    FrameRecord r;
    r.delayMs = delay;
    r.holdMs = hold;
    return r;
}

class FrameDataTest : public ::testing::Test {
protected:
    // Loads a frame stream in the foreground, or in the background and waits.
    void load(const MovieWriter& writer, bool background = false) {
        auto file = std::make_unique<MemoryMovieFile>(writer.frameStream());
        uint64_t end = file->size();
        if (background)
            data.loadFrameStreamInBackground(std::move(file), end);
        else
            data.LoadFrameStream(*file, end);
        data.waitForLoader();
    }
    PackedDibFactory bitmaps;
    FrameData data{bitmaps};
};

TEST_F(FrameDataTest, ReadsFramesBandsAndTheScreenFormat) {
    MovieWriter writer = smallMovie();
    Picture picture(kWidth, kHeight, 0x112233);
    writer.addFrame(picture, {100});
    picture.fillRect(0, 25, kWidth, 30, 0xFF0000);  // rows 25..29: the 20-row slot at 20
    picture.fillRect(0, 59, kWidth, 60, 0x00FF00);  // the last slot
    FrameSpec spec;
    spec.delayMs = 70;
    spec.cursorId = 77;
    spec.cursorX = 5;
    spec.cursorY = 6;
    spec.stopMark = 1;
    writer.addFrame(picture, spec);
    load(writer, true);

    ASSERT_EQ(data.frameCount(), 2);
    const MovieFrame& key = data.frames()[0];
    ASSERT_EQ(key.bands.size(), 1u);
    EXPECT_EQ(key.bands[0].topRow, 0);
    EXPECT_EQ(key.bands[0].bandHeight, kHeight);
    EXPECT_EQ(key.bands[0].unpackedSize, uint32_t(kWidth * kHeight * 4));
    const MovieFrame& second = data.frames()[1];
    // Both changed 20-row slots, next to each other, make one band.
    ASSERT_EQ(second.bands.size(), 1u);
    EXPECT_EQ(second.bands[0].topRow, 20);
    EXPECT_EQ(second.bands[0].bandHeight, 40);
    EXPECT_EQ(second.cursorId, 77u);
    EXPECT_EQ(second.stopMark, 1);
    EXPECT_EQ(second.keyPicture, -1);

    EXPECT_EQ(data.info().dibSize, 40 + kWidth * kHeight * 4);
    EXPECT_EQ(data.screenBuffer().size(), 2u * data.info().dibSize);
    EXPECT_EQ(data.screenBuffer()[0], 40);  // the screen format's header at the start
    EXPECT_EQ(data.info().currentArea, data.info().recordedArea);
    EXPECT_TRUE(data.framesReady());
    EXPECT_EQ(data.busyState(), 3) << "busy until the object index is built";
    data.BuildObjectTimeline({});
    EXPECT_EQ(data.busyState(), 0);
}

TEST_F(FrameDataTest, EmptyRunEndsTheMovieAtItsFirstRecord) {
    MovieWriter writer = smallMovie();
    writer.addFrame(Picture(kWidth, kHeight), {100});
    for (int i = 0; i < 21; ++i) writer.addStoredFrame(record(0), {});
    writer.addStoredFrame(record(100), {});  // content after the run is not reached
    load(writer, true);
    EXPECT_EQ(data.frameCount(), 1);

    // Twenty empty records are not a run: the frame after them counts.
    MovieWriter twenty = smallMovie();
    twenty.addFrame(Picture(kWidth, kHeight), {100});
    for (int i = 0; i < 20; ++i) twenty.addStoredFrame(record(0), {});
    twenty.addStoredFrame(record(100), {});
    load(twenty);
    EXPECT_EQ(data.frameCount(), 22);
}

TEST_F(FrameDataTest, CutOffStreamEndsAtItsLastWholeFrame) {
    MovieWriter writer = smallMovie();
    Picture picture(kWidth, kHeight, 1);
    for (int i = 0; i < 5; ++i) {
        picture.fillRect(0, 0, kWidth, 10, 0x100 * i);
        writer.addFrame(picture, {40});
    }
    writer.setStoredFrameCount(1000);  // the file holds five
    load(writer, true);
    EXPECT_EQ(data.frameCount(), 5);
    EXPECT_EQ(totalLength(data.frames()), 200);
}

TEST_F(FrameDataTest, InputRewriteAndCursorShapes) {
    MovieWriter writer = smallMovie();
    for (uint32_t id = 1; id <= 52; ++id)
        writer.addCursorShape(id % 51 == 0 ? 7 : id, std::string(8, char(id)), std::string(4, 'm'));
    FrameSpec click;
    click.inputMessage = kInputKeyDown;
    click.inputWParam = kRecordedClickKey;
    writer.addFrame(Picture(kWidth, kHeight), click);
    FrameSpec key;
    key.inputMessage = kInputKeyDown;
    key.inputWParam = 65;
    writer.addFrame(Picture(kWidth, kHeight), key);
    load(writer);

    EXPECT_EQ(data.frames()[0].inputMessage, kInputLeftButtonDown);
    EXPECT_EQ(data.frames()[0].inputWParam, kRecordedClickKey);
    EXPECT_EQ(data.frames()[1].inputMessage, kInputKeyDown);

    // 52 records: ids 1..50 and 52, with record 51 carrying id 7 again. Only the
    // first 50 records count, so record 51 (id 7) and record 52 are dropped.
    EXPECT_EQ(data.cursorShapes().size(), 50u);
    EXPECT_FALSE(data.findCursorShape(52));
    const CursorShape* seven = data.findCursorShape(7);
    ASSERT_TRUE(seven);
    EXPECT_EQ(static_cast<const PackedDibBitmap&>(*seven->colour).bytes()[0], 7);
}

TEST_F(FrameDataTest, LaterShapeWithTheSameIdReplacesTheEarlier) {
    MovieWriter writer = smallMovie();
    writer.addCursorShape(9, "first", "m");
    writer.addCursorShape(9, "second", "m");
    writer.addCursorShape(10, "", "");
    writer.addFrame(Picture(kWidth, kHeight));
    load(writer);
    const CursorShape* nine = data.findCursorShape(9);
    ASSERT_TRUE(nine);
    const auto& bytes = static_cast<const PackedDibBitmap&>(*nine->colour).bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second");
    ASSERT_TRUE(data.findCursorShape(10));
    EXPECT_FALSE(data.findCursorShape(10)->colour) << "an empty block makes no bitmap";
}

TEST_F(FrameDataTest, LogoGoesToItsCorner) {
    struct Case {
        uint32_t corner;
        Rect expected;
        Rect area = {8, 10, 48, 50};  // 40 wide, rows 10 to 50
    } cases[] = {
        {0, {4, 14, 9, 17}},    {1, {31, 14, 36, 17}}, {2, {4, 43, 9, 46}},
        {3, {31, 43, 36, 46}}, {4, {500, 500, 505, 503}}, {77, {500, 500, 505, 503}},
        // Stored areas at the ends of the 32-bit range: the sums wrap, nothing overflows.
        {0, {4, INT32_MIN + 1, 9, INT32_MIN + 4}, {0, INT32_MAX - 2, 40, INT32_MAX}},
        {3, {INT32_MAX - 9, INT32_MAX - 5, INT32_MAX - 4, INT32_MAX - 2}, {INT32_MIN + 1, 0, 0, INT32_MIN + 1}},
    };
    for (const Case& c : cases) {
        MovieWriter writer = smallMovie();
        writer.setRecordedArea(c.area);
        LogoRecord logo;
        logo.corner = c.corner;
        writer.setLogo(logo, packedDib(Picture(5, 3, 0xFFFFFF)));
        writer.addFrame(Picture(kWidth, kHeight));
        load(writer);
        EXPECT_EQ(data.logoRect(), c.expected) << c.corner;
    }
}

TEST_F(FrameDataTest, CursorAndLogoPicturesClaimingMoreThanTheirPlaceMakeNoBitmap) {
    // Converting a picture allocates by the size its header claims.
    struct Case {
        const char* what;
        Picture colour, mask, logo;
        bool colourMade, maskMade, logoMade;
    } cases[] = {
        {"a cursor and a logo of the most they may be", Picture(32, 32), Picture(32, 64), Picture(kWidth, kHeight), true, true, true},
        {"wider than a cursor", Picture(33, 32), Picture(33, 64), Picture(kWidth + 1, 3), false, false, false},
        {"taller than a cursor", Picture(32, 65), Picture(32, 65), Picture(5, kHeight + 1), false, false, false},
    };
    for (const Case& c : cases) {
        MovieWriter writer = smallMovie();
        const std::string colour = packedDib(c.colour), mask = packedDib(c.mask), logo = packedDib(c.logo);
        writer.addCursorShape(1, colour, mask);
        writer.setLogo(LogoRecord(), logo);
        writer.addFrame(Picture(kWidth, kHeight));
        load(writer);
        const CursorShape* shape = data.findCursorShape(1);
        ASSERT_TRUE(shape) << c.what;
        EXPECT_EQ(shape->colour != nullptr, c.colourMade) << c.what;
        EXPECT_EQ(shape->mask != nullptr, c.maskMade) << c.what;
        EXPECT_EQ(data.hasLogo(), c.logoMade) << c.what;
        EXPECT_EQ(data.frameCount(), 1) << c.what;
    }
}

TEST_F(FrameDataTest, LogoIsRead) {
    MovieWriter writer = smallMovie();
    LogoRecord logo;
    logo.corner = 2;
    std::string link = "http://example.invalid/";
    std::copy(link.begin(), link.end(), logo.linkText.begin());
    writer.setLogo(logo, packedDib(Picture(4, 4, 0xFFFFFF)));
    writer.addFrame(Picture(kWidth, kHeight));
    load(writer);
    EXPECT_TRUE(data.hasLogo());
    EXPECT_EQ(data.logoRecord().corner, 2u);
    EXPECT_EQ(data.logoRecord().link(), link);
    EXPECT_EQ(data.frameCount(), 1);
}

TEST_F(FrameDataTest, ClearingDuringLoadingWaitsForTheLoader) {
    // Noise does not compress, so the stream is several buffer loads long and the
    // loader thread reads most of it itself.
    constexpr int32_t kSide = 256;
    MovieWriter writer;
    writer.setScreen({kSide, kSide, 32});
    std::mt19937 random(5);
    Picture picture(kSide, kSide);
    for (int i = 0; i < 20; ++i) {
        for (uint32_t& pixel : picture.pixels) pixel = random() & 0xFFFFFF;
        writer.addFrame(picture, {30});
    }
    std::string stream = writer.frameStream();
    auto gated = std::make_unique<GatedMovieFile>(stream);
    const auto gate = gated->gate();
    std::unique_ptr<MovieFile> owned = std::move(gated);
    gate->at = stream.size() / 2;  // hold the loader halfway
    data.loadFrameStreamInBackground(std::move(owned), stream.size());
    for (int wait = 0; wait < 5000 && !gate->waiting.load(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(gate->waiting.load());
    EXPECT_EQ(data.busyState(), 2);
    EXPECT_TRUE(data.framesReady()) << "published at frame index 3, before the gate";
    EXPECT_GT(data.frames().filled(), 3u);
    EXPECT_LT(data.frames().filled(), 20u);

    std::thread clearer([&] { data.ClearFrameData(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    // The loader is held: nothing may have been freed under it.
    EXPECT_EQ(data.busyState(), 2);
    EXPECT_EQ(data.frames().count(), 20u);
    gate->open = true;
    clearer.join();
    EXPECT_EQ(data.busyState(), 0);
    EXPECT_EQ(data.frames().count(), 0u);
}

TEST_F(FrameDataTest, HostileCountsAllocateNothingAndEndTheStream) {
    // A stream whose numbers claim far more than the file holds.
    struct Case {
        const char* what;
        std::function<void(MovieWriter&)> make;
        int32_t expectedFrames;
    } cases[] = {
        {"frame count", [](MovieWriter& w) { w.addFrame(Picture(kWidth, kHeight)); w.setStoredFrameCount(INT32_MAX); }, 1},
        {"negative frame count", [](MovieWriter& w) { w.addFrame(Picture(kWidth, kHeight)); w.setStoredFrameCount(-5); }, 0},
        {"band count", [](MovieWriter& w) {
             FrameRecord r = record(10);
             w.addStoredFrame(r, {});
             r.bandCount = INT32_MAX;
             std::string bytes = r.encode();
             w.appendRaw(bytes);
             w.setStoredFrameCount(5);
         }, 2},
        {"band size", [](MovieWriter& w) {
             StoredBand band;
             band.header.compressedSize = 0xFFFFFFF0u;
             band.bytes = "";
             w.addStoredFrame(record(10), {band});
             w.addStoredFrame(record(10), {});
         }, 1},
        {"shape count", [](MovieWriter& w) {
             w.addFrame(Picture(kWidth, kHeight));
             for (int i = 0; i < 3; ++i) w.addCursorShape(1, "", "");
         }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MovieWriter writer = smallMovie();
        c.make(writer);
        load(writer, true);
        EXPECT_EQ(data.frameCount(), c.expectedFrames);
        EXPECT_LT(data.memoryHeld(), writer.frameStream().size() + data.screenBuffer().size() + 4096);
    }

    // A shape count the file cannot hold, written by hand after the screen format.
    MovieWriter writer = smallMovie();
    writer.addFrame(Picture(kWidth, kHeight));
    std::string stream = writer.frameStream();
    size_t countAt = MovieInfo::kSize + 4 + 40;
    stream.replace(countAt, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    MemoryMovieFile file(stream);
    data.LoadFrameStream(file, stream.size());
    EXPECT_EQ(data.frameCount(), 0);
}

TEST(FrameDataMemory, RunningOutOfMemoryInTheHeaderPartLeavesAMovieWithoutFrames) {
    // Bitmaps run out at the third cursor shape.
    class RunningOut : public BitmapFactory {
    public:
        std::unique_ptr<DeviceBitmap> fromPackedDib(const uint8_t* dib, size_t length) override {
            if (++made > 4) throw std::bad_alloc();
            return PackedDibFactory().fromPackedDib(dib, length);
        }
        int made = 0;
    };
    MovieWriter writer = smallMovie();
    for (uint32_t id = 1; id <= 5; ++id) writer.addCursorShape(id, "colour", "mask");
    writer.addFrame(Picture(kWidth, kHeight));
    for (bool background : {false, true}) {
        RunningOut bitmaps;
        FrameData data(bitmaps);
        auto file = std::make_unique<MemoryMovieFile>(writer.frameStream());
        const uint64_t end = file->size();
        if (background) {
            data.loadFrameStreamInBackground(std::move(file), end);
        } else {
            data.LoadFrameStream(*file, end);
        }
        data.waitForLoader();
        EXPECT_EQ(data.frameCount(), 0) << background;
        EXPECT_TRUE(data.framesReady()) << background;
        EXPECT_TRUE(data.cursorShapes().empty()) << background;
    }
}

TEST_F(FrameDataTest, WaitingForAFrameFollowsTheLoader) {
    constexpr int32_t kSide = 256;  // noise: each frame is a quarter of a buffer load
    MovieWriter writer;
    writer.setScreen({kSide, kSide, 32});
    std::mt19937 random(7);
    Picture picture(kSide, kSide);
    for (int i = 0; i < 24; ++i) {
        for (uint32_t& pixel : picture.pixels) pixel = random() & 0xFFFFFF;
        writer.addFrame(picture, {30});
    }
    std::string stream = writer.frameStream();
    auto gated = std::make_unique<GatedMovieFile>(stream);
    const auto gate = gated->gate();
    gate->at = stream.size() / 3;
    data.loadFrameStreamInBackground(std::move(gated), stream.size());
    for (int wait = 0; wait < 5000 && !gate->waiting.load(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(gate->waiting.load());
    const size_t held = data.frames().filled();
    ASSERT_LT(held, 23u);

    std::atomic<bool> stop{false};
    EXPECT_TRUE(data.waitForFrame(held - 1, stop)) << "a frame already read is there at once";
    // A frame behind the gate: a stop request ends the wait.
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop = true;
    });
    EXPECT_FALSE(data.waitForFrame(23, stop));
    stopper.join();
    // Opened, the loader reads on and the wait sees the last frame.
    stop = false;
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        gate->open = true;
    });
    EXPECT_TRUE(data.waitForFrame(23, stop));
    opener.join();
    // Past the end: the wait ends with the loader.
    EXPECT_FALSE(data.waitForFrame(24, stop));
    EXPECT_FALSE(data.loaderRunning());
}

TEST_F(FrameDataTest, BandsThatGetNoMemoryLeaveEmptySlotsAndLoadingGoesOn) {
    constexpr int32_t kSide = 128;
    MovieWriter writer;
    writer.setScreen({kSide, kSide, 32});
    std::mt19937 random(3);
    Picture picture(kSide, kSide);
    for (int i = 0; i < 12; ++i) {
        for (uint32_t& pixel : picture.pixels) pixel = random() & 0xFFFFFF;
        writer.addFrame(picture, {10});
    }
    // Noise does not compress: each frame's bands hold about 64 KB.
    data.limitBandMemory(200 * 1024);
    load(writer, true);
    EXPECT_EQ(data.frameCount(), 12) << "the movie keeps its length";
    int empty = 0, kept = 0;
    for (size_t i = 0; i < 12; ++i) {
        const MovieFrame& frame = data.frames()[i];
        ASSERT_FALSE(frame.bands.empty());
        for (const FrameBand& band : frame.bands) (band.data ? kept : empty)++;
        EXPECT_EQ(frame.delayMs, 10) << "records after a refused band are still read in step";
    }
    EXPECT_GT(kept, 0);
    EXPECT_GT(empty, 0);
    EXPECT_LE(data.memoryHeld(), 200 * 1024 + data.frames().bytesHeld() + data.screenBuffer().capacity());
}

TEST_F(FrameDataTest, ImplausibleScreenSizesLeaveAMovieWithoutFrames) {
    MovieWriter writer = smallMovie();
    writer.addFrame(Picture(kWidth, kHeight));
    std::string stream = writer.frameStream();
    MovieInfo info = MovieInfo::decode(reinterpret_cast<const uint8_t*>(stream.data()));
    for (int32_t dibSize : {0, -40, INT32_MAX, info.dibSize * 2}) {
        MovieInfo changed = info;
        changed.dibSize = dibSize;
        std::string damaged = changed.encode() + stream.substr(MovieInfo::kSize);
        MemoryMovieFile file(damaged);
        data.LoadFrameStream(file, damaged.size());
        EXPECT_EQ(data.frameCount(), 0) << dibSize;
        EXPECT_TRUE(data.screenBuffer().size() < (1u << 20)) << dibSize;
    }
}

TEST_F(FrameDataTest, ScreenHeadersThatDoNotDescribeTheScreenLeaveAMovieWithoutFrames) {
    MovieWriter writer = smallMovie();
    writer.addFrame(Picture(kWidth, kHeight));
    const std::string stream = writer.frameStream();
    const size_t headerAt = MovieInfo::kSize + 4;
    auto put = [](std::string& bytes, size_t at, uint32_t value, size_t size) {
        for (size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    struct Field {
        size_t offset, size;
        uint32_t value;
    };
    struct Case {
        const char* what;
        std::vector<Field> fields;
        bool kept;
    } cases[] = {
        {"as written", {}, true},
        {"8 bits with a full colour table", {{14, 2, 8}}, true},
        {"bit-field masks at 32 bits", {{16, 4, 3}}, true},
        {"top-down rows", {{8, 4, static_cast<uint32_t>(-kHeight)}}, true},
        // The header size plus the colour table wraps to 0 in 32-bit arithmetic.
        {"header size that wraps the offset", {{0, 4, 0xFFFFFC00u}, {14, 2, 8}}, false},
        {"header size past the buffer", {{0, 4, 0x7FFFFFF0u}}, false},
        {"core header", {{0, 4, 12}}, false},
        {"wider than the screen", {{4, 4, kWidth * 64}}, false},
        {"negative width", {{4, 4, static_cast<uint32_t>(-kWidth)}}, false},
        {"height not the screen's", {{8, 4, kHeight + 1}}, false},
        {"no such bit depth", {{14, 2, 7}}, false},
        {"run-length compression", {{14, 2, 8}, {16, 4, 1}}, false},
        {"colour table past the buffer", {{14, 2, 8}, {32, 4, 0x40000000u}}, false},
    };
    for (const Case& c : cases) {
        std::string damaged = stream;
        for (const Field& f : c.fields) put(damaged, headerAt + f.offset, f.value, f.size);
        MemoryMovieFile file(damaged);
        data.LoadFrameStream(file, damaged.size());
        EXPECT_EQ(data.frameCount(), c.kept ? 1 : 0) << c.what;
        EXPECT_EQ(data.screenBuffer().empty(), !c.kept) << c.what;
    }
}

TEST(FrameList, ACountWhoseSizeWouldWrapIsRefused) {
    // Sized from a count in the file: in a 32-bit process a count times the record
    // size can wrap to a small block that the loader would then write past.
    FrameList frames;
    EXPECT_THROW(frames.size(SIZE_MAX / sizeof(MovieFrame) + 1), std::bad_alloc);
    EXPECT_EQ(frames.count(), 0u);
    frames.size(3);
    EXPECT_EQ(frames.count(), 3u);
}

TEST(FrameTime, Arithmetic) {
    FrameList frames;
    for (auto [delay, hold] : std::vector<std::pair<int, int>>{{100, 0}, {50, -30}, {20, 500}, {0, 0}}) {
        MovieFrame frame;
        frame.delayMs = delay;
        frame.holdMs = hold;
        frames.append(std::move(frame));
    }
    EXPECT_EQ(timeOfFrame(frames, 0), 0);
    EXPECT_EQ(timeOfFrame(frames, 2), 150);
    EXPECT_EQ(timeOfFrame(frames, 4), -1);
    EXPECT_EQ(timeOfFrame(frames, -1), -1);

    EXPECT_EQ(frameAtTime(frames, 0), 0);
    EXPECT_EQ(frameAtTime(frames, 1), 1);
    EXPECT_EQ(frameAtTime(frames, 100), 1);
    EXPECT_EQ(frameAtTime(frames, 101), 2);
    EXPECT_EQ(frameAtTime(frames, 180), 2);  // the negative hold counts: 100+50+30
    EXPECT_EQ(frameAtTime(frames, 181), 3);
    EXPECT_EQ(frameAtTime(frames, 200), 3);  // the positive hold does not
    EXPECT_EQ(frameAtTime(frames, 201), -1);
    EXPECT_EQ(frameAtTime(frames, 0xFFFFFFFFu), -1);

    EXPECT_EQ(playTimeBefore(frames, 0), 0);
    EXPECT_EQ(playTimeBefore(frames, 2), 180);  // what frameAtTime counts
    EXPECT_EQ(playTimeBefore(frames, 99), 200);

    // The narration is paused for the whole of the third frame, hold and delay.
    EXPECT_EQ(narrationTimeBefore(frames, 2), 180);
    EXPECT_EQ(narrationTimeBefore(frames, 3), 180);
    EXPECT_EQ(narrationTimeBefore(frames, 99), 180);

    EXPECT_EQ(lengthUpTo(frames, 2), 180);
    EXPECT_EQ(lengthUpTo(frames, 99), 700);
    EXPECT_EQ(totalLength(frames), 700);

    FrameList empty;
    EXPECT_EQ(frameAtTime(empty, 0), -1);
    EXPECT_EQ(totalLength(empty), 0);
}

TEST(ObjectTimeline, FramesLearnTheirObjects) {
    ObjectTimeline timeline;
    timeline.build(10, {
                           {2, 3, 1, 100},   // frames 2..4, ends at 5
                           {8, 50, 2, 101},  // past the end: ends in the last frame
                           {4, 2, kSoundObjectKind, 102},
                           {12, 1, kSoundObjectKind, 103},  // beyond the last frame
                           {0, 0, 1, 104},                  // no frames: ends at its first
                           {-3, 5, 1, 105},                 // a negative start is cut at 0
                       });
    EXPECT_EQ(timeline.at(2).visibleObjects, (std::vector<int32_t>{100}));
    EXPECT_EQ(timeline.at(4).visibleObjects, (std::vector<int32_t>{100}));
    EXPECT_TRUE(timeline.at(5).visibleObjects.empty());
    EXPECT_EQ(timeline.at(5).endingObjects, (std::vector<int32_t>{100}));
    EXPECT_EQ(timeline.at(9).visibleObjects, (std::vector<int32_t>{101}));
    EXPECT_EQ(timeline.at(9).endingObjects, (std::vector<int32_t>{101}));
    EXPECT_EQ(timeline.at(4).specialObject, 102);
    for (size_t i : {0, 1, 2, 3, 5, 9}) EXPECT_EQ(timeline.at(i).specialObject, -1) << i;
    EXPECT_EQ(timeline.at(0).visibleObjects, (std::vector<int32_t>{105}));
    EXPECT_EQ(timeline.at(2).endingObjects, (std::vector<int32_t>{105}));
    EXPECT_TRUE(timeline.at(0).endingObjects.empty()) << "an object of no frames at 0 ends nowhere";
}

}  // namespace
}  // namespace quillet
