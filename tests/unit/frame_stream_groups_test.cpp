// The frame stream of each group of versions: the rules that only some groups
// follow (the delay limit, the empty run, the 50-shape limit), the record forms with
// their hold words and group starts, the oldest band headers and cursor shapes.

#include "player/container/frame_stream_groups.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "common/byte_reader.h"
#include "player/bitmaps/dib_layout.h"
#include "player/container/frame_data.h"
#include "player/container/keyed_cursor.h"
#include "tests/support/gated_movie_file.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

MovieWriter writerFor(int major, int minor) {
    MovieWriter writer;
    writer.setVersion(major, minor);
    writer.setScreen({16, 12, 32});
    writer.setBandHeight(4);
    return writer;
}

FrameStreamFormat formatOf(const MovieWriter& writer) {
    return frameStreamFormat(readersForVersion(writer.header().version()));
}

class GroupTest : public ::testing::Test {
protected:
    // Reads the writer's frame stream in the layout of its version, in the foreground
    // or on the loader thread.
    void load(const MovieWriter& writer, bool background) {
        auto file = std::make_unique<MemoryMovieFile>(writer.frameStream());
        const uint64_t end = file->size();
        data.ClearFrameData();
        if (background)
            data.loadFrameStreamInBackground(std::move(file), end, formatOf(writer));
        else
            data.LoadFrameStream(*file, end, formatOf(writer));
        data.waitForLoader();
    }
    PackedDibFactory bitmaps;
    FrameData data{bitmaps};
};

TEST_F(GroupTest, LongDelaysAreCutWhereTheGroupSaysSo) {
    struct Case {
        int major, minor;
        bool background;
        int32_t stored, played;
    } cases[] = {
        {0, 95, true, 5000, 50},  {0, 95, false, 5000, 50},  {3, 0, true, 5000, 5000},
        {1, 25, true, 3000, 3000}, {1, 25, true, 3001, 50},  {0, 9, true, -1, 50},  // compared unsigned
        {1, 3, true, 5000, 5000},  {1, 5, true, 5000, 5000},  // the middle group in the background
        {1, 3, false, 5000, 50},   {1, 55, false, 5000, 50}, {1, 8, false, 4000, 50},
        {1, 85, false, 5000, 5000}, {1, 9, false, 5000, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor) + (c.background ? " background" : ""));
        MovieWriter writer = writerFor(c.major, c.minor);
        writer.addFrame(Picture(16, 12, 1), {c.stored});
        load(writer, c.background);
        ASSERT_EQ(data.frameCount(), 1);
        EXPECT_EQ(data.frames()[0].delayMs, c.played);
    }
}

TEST_F(GroupTest, OnlyTheNewestGroupEndsAtAnEmptyRun) {
    for (int minor : {0, 8, 85}) {
        SCOPED_TRACE(minor);
        MovieWriter writer = writerFor(1, minor);
        writer.addFrame(Picture(16, 12, 1));
        writer.addFrame(Picture(16, 12, 2));
        for (int i = 0; i < 22; ++i) writer.addStoredFrame(FrameRecord(), {});
        writer.addFrame(Picture(16, 12, 3), {70});
        load(writer, minor != 85);
        if (minor == 85) {
            EXPECT_EQ(data.frameCount(), 2) << "the run ends the movie at its first record";
        } else {
            ASSERT_EQ(data.frameCount(), 25) << "every stored frame is read";
            EXPECT_EQ(data.frames()[24].delayMs, 70);
            EXPECT_EQ(data.frames()[24].bands.size(), 1u);
        }
    }
}

TEST_F(GroupTest, OnlyTheNewestGroupKeepsFiftyShapes) {
    for (int minor : {8, 9}) {
        SCOPED_TRACE(minor);
        MovieWriter writer = writerFor(1, minor);
        for (uint32_t id = 1; id <= 60; ++id) writer.addKeyedCursorShape(id, Picture(32, 32, 0xFF00FF));
        writer.addFrame(Picture(16, 12, 1));
        load(writer, false);
        EXPECT_EQ(data.cursorShapes().size(), minor == 8 ? 60u : 50u);
        EXPECT_EQ(data.findCursorShape(60) != nullptr, minor == 8);
    }
    // The current version too, and the oldest with its keyed images keeps all.
    MovieWriter current = writerFor(3, 0), oldest = writerFor(0, 9);
    for (uint32_t id = 1; id <= 60; ++id) {
        current.addKeyedCursorShape(id, Picture(32, 32, 0xFF00FF));
        oldest.addKeyedCursorShape(id, Picture(32, 32, 0xFF00FF));
    }
    load(current, true);
    EXPECT_EQ(data.cursorShapes().size(), 50u);
    load(oldest, true);
    EXPECT_EQ(data.cursorShapes().size(), 60u);

    // Without that limit a budget holds: two bitmaps a shape must leave graphics
    // handles for the rest of the process.
    MovieWriter many = writerFor(1, 8);
    for (uint32_t id = 1; id <= kCursorShapeBudget + 20; ++id) many.addCursorShape(id, "colour", "mask");
    many.addFrame(Picture(16, 12, 1));
    load(many, false);
    EXPECT_EQ(data.cursorShapes().size(), kCursorShapeBudget);
    EXPECT_EQ(data.frameCount(), 1) << "the shapes past the budget are read past";
}

TEST(FrameRecordForms, HoldWordsAndGroupStarts) {
    // Version 1.2's record: magnitude 300 with a sign word of 0 is a hold of -300 ms.
    std::string bytes;
    ByteWriter out(bytes);
    for (int32_t word : {2, 100, 0, 9, 5, 6, 256, 229, 300, 0}) out.i32(word);
    ASSERT_EQ(bytes.size(), frameRecordSize(FrameRecordForm::R40b));
    StoredFrameRecord stored = decodeFrameRecord(FrameRecordForm::R40b, reinterpret_cast<const uint8_t*>(bytes.data()));
    EXPECT_EQ(stored.record.holdMs, -300);
    EXPECT_EQ(stored.record.bandCount, 2);
    EXPECT_EQ(stored.record.inputMessage, 256u);
    EXPECT_EQ(stored.record.stopMark, 0);
    bytes.replace(36, 4, std::string("\x07\0\0\0", 4));  // any sign word but 0
    stored = decodeFrameRecord(FrameRecordForm::R40b, reinterpret_cast<const uint8_t*>(bytes.data()));
    EXPECT_EQ(stored.record.holdMs, 300);

    // The most negative magnitude wraps rather than overflowing.
    bytes.replace(32, 8, std::string("\0\0\0\x80\0\0\0\0", 8));
    EXPECT_EQ(decodeFrameRecord(FrameRecordForm::R40b, reinterpret_cast<const uint8_t*>(bytes.data())).record.holdMs,
              INT32_MIN);

    // Every form gives back what it stores: the oldest have the group start and no
    // hold, the others no group start.
    struct Case {
        FrameRecordForm form;
        size_t size;
        bool hold, group;
    } cases[] = {{FrameRecordForm::R36a, 36, false, true}, {FrameRecordForm::R40a, 40, true, true},
                 {FrameRecordForm::R44, 44, true, true},   {FrameRecordForm::R40b, 40, true, false},
                 {FrameRecordForm::R36b, 36, true, false}, {FrameRecordForm::Current, 40, true, false}};
    StoredFrameRecord written;
    written.record.bandCount = 3;
    written.record.delayMs = 120;
    written.record.cursorId = 0xABCD;
    written.record.cursorY = -4;
    written.record.inputWParam = 13;
    written.record.holdMs = -250;
    written.groupFirst = 17;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string encoded = encodeFrameRecord(c.form, written);
        ASSERT_EQ(encoded.size(), c.size);
        ASSERT_EQ(frameRecordSize(c.form), c.size);
        const StoredFrameRecord read = decodeFrameRecord(c.form, reinterpret_cast<const uint8_t*>(encoded.data()));
        EXPECT_EQ(read.record.delayMs, 120);
        EXPECT_EQ(read.record.cursorId, 0xABCDu);
        EXPECT_EQ(read.record.cursorY, -4);
        EXPECT_EQ(read.record.inputWParam, 13u);
        EXPECT_EQ(read.record.holdMs, c.hold ? -250 : 0);
        EXPECT_EQ(read.groupFirst, c.group ? 17 : 0);
    }
}

TEST_F(GroupTest, GroupStartsReachTheFramesAndClicksAreRewrittenEverywhere) {
    MovieWriter writer = writerFor(1, 0);
    FrameSpec spec;
    spec.groupFirst = 0;
    writer.addFrame(Picture(16, 12, 1), spec);
    spec.groupFirst = 1;
    spec.inputMessage = kInputKeyDown;
    spec.inputWParam = kRecordedClickKey;
    writer.addFrame(Picture(16, 12, 2), spec);
    load(writer, true);
    ASSERT_EQ(data.frameCount(), 2);
    EXPECT_EQ(data.frames()[1].groupFirst, 1);
    EXPECT_EQ(data.frames()[1].inputMessage, kInputLeftButtonDown);
    EXPECT_EQ(data.frames()[1].inputWParam, kRecordedClickKey);
}

TEST_F(GroupTest, AForegroundReadLetsMessagesThroughEvery50MsAndStaysBusy) {
    // The player lets window messages through while it reads; a close among them
    // must find the data busy, so that it waits for the read to end. A trip to the
    // window system can cost more than reading a frame, so it is made at the first
    // frame and then at most once per 50 ms of reading, not once per frame.
    for (int minor : {55, 85}) {
        SCOPED_TRACE(minor);
        MovieWriter writer = writerFor(1, minor);
        writer.addFrame(Picture(16, 12, 1));
        FrameRecord oneMs;
        oneMs.delayMs = 1;
        for (int k = 0; k < 20000; ++k) writer.addStoredFrame(oneMs, {});
        int calls = 0, notBusy = 0;
        data.setForegroundPump([&] {
            ++calls;
            if (data.busyState() == 0) ++notBusy;
        });
        const auto started = std::chrono::steady_clock::now();
        load(writer, false);
        const auto tookMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        ASSERT_EQ(data.frameCount(), 20001);
        EXPECT_GE(calls, 1);
        EXPECT_LE(calls, 1 + tookMs / FrameData::kForegroundPumpIntervalMs);
        EXPECT_EQ(notBusy, 0);
        EXPECT_EQ(data.busyState(), 0) << "idle once the read has ended";
        // Frames read on the loader thread let nothing through.
        calls = 0;
        load(writer, true);
        EXPECT_EQ(calls, 0);
    }
    data.setForegroundPump(nullptr);
}

TEST_F(GroupTest, ALoadWhileAnEarlierLoaderRunsStopsItAndReadsWhileOpening) {
    // An earlier movie whose loader is held halfway through its frames (noise does
    // not compress: the stream is several buffer loads long).
    MovieWriter earlier = writerFor(3, 0);
    earlier.setScreen({256, 256, 32});
    std::mt19937 random(11);
    Picture noise(256, 256);
    for (int i = 0; i < 20; ++i) {
        for (uint32_t& pixel : noise.pixels) pixel = random() & 0xFFFFFF;
        earlier.addFrame(noise, {30});
    }
    const std::string stream = earlier.frameStream();
    auto gated = std::make_unique<testing::GatedMovieFile>(stream);
    const auto gate = gated->gate();
    gate->at = stream.size() / 2;
    data.loadFrameStreamInBackground(std::move(gated), stream.size(), formatOf(earlier));
    for (int wait = 0; wait < 5000 && !gate->waiting.load(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(gate->waiting.load());

    // A 1.3 movie asks for the loader thread; it is read while opening instead,
    // so its long delay is cut, and nothing of the earlier movie is left in it.
    MovieWriter later = writerFor(1, 3);
    later.addFrame(Picture(16, 12, 0x111111), {5000});
    later.addFrame(Picture(16, 12, 0x222222), {40});
    auto file = std::make_unique<MemoryMovieFile>(later.frameStream());
    const uint64_t end = file->size();
    std::thread opener([gate] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        gate->open = true;
    });
    data.loadFrameStreamInBackground(std::move(file), end, formatOf(later));
    opener.join();
    EXPECT_FALSE(data.loaderRunning());
    ASSERT_EQ(data.frameCount(), 2);
    ASSERT_EQ(data.frames().count(), 2u);
    EXPECT_EQ(data.frames()[0].delayMs, 50);
    EXPECT_EQ(data.frames()[1].delayMs, 40);
    EXPECT_EQ(data.info().screenWidth, 16);
    EXPECT_TRUE(data.framesReady());
}

TEST_F(GroupTest, BandsMarkedAbsentHaveNoBytesAndNoSlot) {
    const Picture screen(16, 12, 0x445566);
    StoredBand absent = MovieWriter::makeBand(screen, 0, 4);
    absent.present = false;
    const StoredBand present = MovieWriter::makeBand(screen, 4, 4);
    for (int minor : {2, 25}) {
        SCOPED_TRACE(minor);
        MovieWriter writer = writerFor(1, minor);
        FrameRecord record;
        record.delayMs = 10;
        writer.addStoredFrame(record, minor == 2 ? std::vector<StoredBand>{absent, present}
                                                 : std::vector<StoredBand>{present});
        record.delayMs = 20;
        writer.addStoredFrame(record, {present});
        load(writer, false);
        ASSERT_EQ(data.frameCount(), 2);
        ASSERT_EQ(data.frames()[0].bands.size(), 1u);
        EXPECT_EQ(data.frames()[0].bands[0].topRow, 4);
        EXPECT_EQ(data.frames()[1].delayMs, 20) << "the next record was found behind the bands";
    }
}

TEST(KeyedCursor, MagentaBecomesTheMaskAndWhite) {
    Picture image(32, 32, 0xFF00FF);
    image.fillRect(0, 0, 10, 5, 0x112233);
    image.at(31, 31) = 0xFE00FF;  // near magenta is a colour of its own
    const std::string dib = packedDib(image);
    KeyedCursorPictures pictures;
    ASSERT_TRUE(makeKeyedCursorPictures(reinterpret_cast<const uint8_t*>(dib.data()), dib.size(), pictures));

    // Colour: a bottom-up 32-bit picture; mask: a bottom-up 1-bit picture, 1 = screen.
    auto colourAt = [&](int x, int y) {
        return ByteReader(&pictures.colour[kInfoHeaderSize + (static_cast<size_t>(31 - y) * 32 + x) * 4], 4).u32();
    };
    auto clearAt = [&](int x, int y) {
        const uint8_t byte = pictures.mask[kInfoHeaderSize + 8 + static_cast<size_t>(31 - y) * 4 + x / 8];
        return (byte >> (7 - x % 8)) & 1;
    };
    EXPECT_EQ(colourAt(0, 0), 0x112233u);
    EXPECT_EQ(clearAt(0, 0), 0);
    EXPECT_EQ(colourAt(9, 4), 0x112233u);
    EXPECT_EQ(colourAt(10, 4), 0xFFFFFFu);
    EXPECT_EQ(clearAt(10, 4), 1);
    EXPECT_EQ(clearAt(5, 5), 1);
    EXPECT_EQ(colourAt(31, 31), 0xFE00FFu);
    EXPECT_EQ(clearAt(31, 31), 0);

    // A smaller image leaves the rest of the square clear; a palette image is read
    // through its colour table.
    std::string small;
    ByteWriter out(small);
    for (uint32_t word : {40u, 8u, 2u}) out.u32(word);
    out.u16(1);
    out.u16(8);
    for (uint32_t word : {0u, 0u, 0u, 0u, 2u, 0u}) out.u32(word);
    out.u32(0xFF00FF);  // index 0: magenta
    out.u32(0x0000FF);  // index 1: blue
    out.bytes(std::string("\0\1\0\1\0\1\0\1", 8));  // bottom row
    out.bytes(std::string("\1\1\1\1\1\1\1\1", 8));  // top row
    ASSERT_TRUE(makeKeyedCursorPictures(reinterpret_cast<const uint8_t*>(small.data()), small.size(), pictures));
    EXPECT_EQ(colourAt(0, 0), 0x0000FFu);
    EXPECT_EQ(clearAt(0, 1), 1);
    EXPECT_EQ(clearAt(1, 1), 0);
    EXPECT_EQ(clearAt(8, 0), 1);
    EXPECT_EQ(clearAt(0, 2), 1);
    EXPECT_EQ(colourAt(8, 0), 0xFFFFFFu);

    // Pictures the mask cannot be made from.
    std::string cut = dib.substr(0, dib.size() - 1), rle = small;
    rle[16] = 1;  // compressed
    for (const std::string& bad : {std::string(), std::string("BM"), cut, rle})
        EXPECT_FALSE(makeKeyedCursorPictures(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), pictures));
}

TEST_F(GroupTest, TheOldestGroupStopsAtAShapeWithoutAMask) {
    MovieWriter writer = writerFor(0, 9);
    writer.addCursorShape(1, packedDib(Picture(32, 32, 0xFF00FF)), std::string());
    writer.addCursorShape(2, "not a picture", std::string());
    writer.addFrame(Picture(16, 12, 1));
    load(writer, true);
    EXPECT_EQ(data.frameCount(), 0) << "no mask, no frames";
    EXPECT_TRUE(data.frames().empty());
}

TEST_F(GroupTest, RawScreenPicturesAndTheOldestColourDepth) {
    for (int minor : {9, 95, 0, 1}) {
        SCOPED_TRACE(minor);
        MovieWriter writer = writerFor(minor == 0 || minor == 1 ? 1 : 0, minor);
        Picture first(16, 12, 0x0A0B0C);
        writer.addFrame(first);
        std::string stream = writer.frameStream();
        const FrameStreamLayout& layout = frameStreamLayout(formatOf(writer).group);
        if (layout.infoSize == 60) stream[60 + 14] = 16;  // the picture's bit count
        MemoryMovieFile file(stream);
        data.LoadFrameStream(file, file.size(), formatOf(writer));
        ASSERT_EQ(data.frameCount(), 1);
        const std::vector<uint8_t>& screen = data.screenBuffer();
        ASSERT_EQ(screen.size(), 2u * (40 + 16 * 12 * 4));
        if (layout.screen == ScreenPictureForm::Raw) {
            EXPECT_EQ(ByteReader(&screen[40], 4).u32(), 0x0A0B0Cu) << "the first screen's pixels";
            EXPECT_EQ(data.info().bitsPerPixel, layout.infoSize == 60 ? 16 : 32);
        } else {
            EXPECT_EQ(screen[40], 0) << "only the header and colour table are stored";
        }

        // A first screen longer than the rest of the stream leaves no frames.
        if (layout.screen == ScreenPictureForm::Raw) {
            stream.resize(layout.infoSize + 100);
            MemoryMovieFile cut(stream);
            data.LoadFrameStream(cut, cut.size(), formatOf(writer));
            EXPECT_EQ(data.frameCount(), 0);
        }
    }
}

TEST_F(GroupTest, LogoFormsAndTheFirstFormsCorner) {
    for (int minor : {3, 4, 5, 55, 6, 7, 8, 85}) {
        SCOPED_TRACE(minor);
        MovieWriter writer = writerFor(1, minor);
        writer.setRecordedArea({0, 2, 16, 12});
        LogoRecord logo;
        logo.corner = 3;
        MovieHeader::setText(logo.linkText, "link");
        MovieHeader::setText(logo.mailText, "mail");
        writer.setLogo(logo, packedDib(Picture(3, 2, 0x00FF00)));
        writer.addFrame(Picture(16, 12, 1), {60});
        load(writer, false);
        ASSERT_TRUE(data.hasLogo());
        ASSERT_EQ(data.frameCount(), 1);
        EXPECT_EQ(data.frames()[0].delayMs, 60) << "the frames follow the logo";
        // Top left (4, top + 4) for 1.3, whose form has no corner; else bottom right.
        EXPECT_EQ(data.logoRect().left, minor == 3 ? 4 : 16 - 3 - 4);
        EXPECT_EQ(data.logoRect().top, minor == 3 ? 2 + 4 : 12 - 2 - 4);
        EXPECT_EQ(data.logoRecord().link(), minor == 3 || minor == 4 ? "" : "link");
        EXPECT_EQ(data.logoRecord().mail(), minor == 85 ? "mail" : "");
    }
}

TEST_F(GroupTest, FrameCountsBeyondTheFileAllocateNothing) {
    for (int minor : {9, 95, 25, 3}) {
        SCOPED_TRACE(minor);
        MovieWriter writer = writerFor(minor == 9 || minor == 95 ? 0 : 1, minor);
        writer.addFrame(Picture(16, 12, 1));
        writer.setStoredFrameCount(INT32_MAX);
        load(writer, true);
        EXPECT_LE(data.frames().count(), 2u);
        EXPECT_EQ(data.frames()[0].bands.size(), 1u);
    }
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

// Streams put together word by word from the layouts of each group, without the
// writer: the movie information cut to its stored size, the first screen whole or
// as its header, no cursor shapes, then one frame with one band.
TEST(HandMadeStreams, EveryGroupReadsItsOwnLayout) {
    struct Case {
        int major, minor;
        size_t infoSize;
        bool rawScreen;
        std::vector<int32_t> record;  // the frame's words, in file order
        bool oldBandHeader;
        int32_t hold, groupFirst;
    } cases[] = {
        // bandCount delay standard id x y [group] input param [hold words]
        {0, 9, 60, true, {1, 70, 0, 5, 6, 7, 3, 513, 0}, true, 0, 3},
        {0, 95, 64, true, {1, 70, 0, 5, 6, 7, 3, 513, 0, -20}, true, -20, 3},
        {1, 0, 64, true, {1, 70, 0, 5, 6, 7, 3, 513, 0, 20, 0}, true, -20, 3},
        {1, 1, 64, false, {1, 70, 0, 5, 6, 7, 3, 513, 0, 20, 1}, true, 20, 3},
        {1, 2, 64, false, {1, 70, 0, 5, 6, 7, 513, 0, 20, 0}, true, -20, 0},
        {1, 25, 76, false, {1, 70, 0, 5, 6, 7, 513, 0, -20}, false, -20, 0},
        {1, 4, 80, false, {1, 70, 0, 5, 6, 7, 513, 0, -20, 0}, false, -20, 0},
        {1, 85, 80, false, {1, 70, 0, 5, 6, 7, 513, 0, -20, 0}, false, -20, 0},
    };
    const Picture screen(8, 4, 0x010203);
    const StoredBand band = MovieWriter::makeBand(screen, 0, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        MovieInfo info;
        info.frameCount = 1;
        info.dibSize = 40 + 8 * 4 * 4;
        info.recordedArea = Rect{0, 0, 8, 4};
        info.screenWidth = 8;
        info.screenHeight = 4;
        info.bitsPerPixel = 32;
        std::string stream = info.encode().substr(0, c.infoSize);
        ByteWriter out(stream);
        if (!c.rawScreen) out.u32(40);
        for (uint32_t word : {40u, 8u, 4u}) out.u32(word);
        out.u16(1);
        out.u16(32);
        out.zeros(24);
        if (c.rawScreen) out.zeros(8 * 4 * 4);
        out.u32(0);  // no cursor shapes
        for (int32_t word : c.record) out.i32(word);
        if (c.oldBandHeader) {
            out.i32(1);  // present
            out.zeros(8);
        }
        out.bytes(band.header.encode());
        out.bytes(band.bytes);

        MemoryMovieFile file(stream);
        PackedDibFactory bitmaps;
        FrameData data(bitmaps);
        data.LoadFrameStream(file, file.size(), frameStreamFormat(readersForVersion(FormatVersion(c.major, c.minor))));
        ASSERT_EQ(data.frameCount(), 1);
        const MovieFrame& frame = data.frames()[0];
        EXPECT_EQ(frame.delayMs, 70);
        EXPECT_EQ(frame.cursorId, 5u);
        EXPECT_EQ(frame.cursorY, 7);
        EXPECT_EQ(frame.inputMessage, 513u);
        EXPECT_EQ(frame.holdMs, c.hold);
        EXPECT_EQ(frame.groupFirst, c.groupFirst);
        ASSERT_EQ(frame.bands.size(), 1u);
        EXPECT_EQ(frame.bands[0].bandHeight, 4);
        EXPECT_EQ(data.info().screenHeight, 4);
    }
}

TEST(HandMadeStreams, EveryLogoForm) {
    const std::string picture = packedDib(Picture(2, 2, 0x00FF00));
    const std::string link = "http://a" + std::string(42, '\0');
    auto counted = [&] { return std::string("\x38\0\0\0", 4) + picture; };  // 56 bytes
    ASSERT_EQ(picture.size(), 56u);
    const std::string corner("\x02\0\0\0", 4);
    struct Case {
        LogoForm form;
        std::string bytes;
        uint32_t corner;
        bool link;
    } cases[] = {
        {LogoForm::L1, counted(), 0, false},
        {LogoForm::L2, corner + counted(), 2, false},
        {LogoForm::L3, corner + counted() + link, 2, true},
        {LogoForm::L4, corner + counted() + std::string(4, '\x7f') + link, 2, true},
        {LogoForm::L5, corner + link + std::string(2, '\0') + counted(), 2, true},
        {LogoForm::Current, corner + link + "m@x" + std::string(47, '\0') + counted(), 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.form));
        MemoryMovieFile file(c.bytes + "NEXT");
        BufferedReader in(file, file.size());
        LogoRecord record;
        std::vector<uint8_t> read;
        ASSERT_TRUE(readLogo(in, c.form, record, read));
        EXPECT_EQ(record.corner, c.corner);
        EXPECT_EQ(record.link(), c.link ? "http://a" : "");
        EXPECT_EQ(record.mail(), c.form == LogoForm::Current ? "m@x" : "");
        EXPECT_EQ(std::string(read.begin(), read.end()), picture);
        EXPECT_EQ(in.remaining(), 4u) << "the stream goes on behind the logo";
        // The word nothing reads is written as 0.
        std::string written = c.bytes;
        if (c.form == LogoForm::L4) written.replace(4 + 4 + 56, 4, std::string(4, '\0'));
        EXPECT_EQ(encodeLogo(c.form, record, picture), written);
    }
    // A picture longer than the rest of the file is refused.
    MemoryMovieFile cut(std::string("\xFF\xFF\xFF\x7F", 4));
    BufferedReader in(cut, cut.size());
    LogoRecord record;
    std::vector<uint8_t> read;
    EXPECT_FALSE(readLogo(in, LogoForm::L1, record, read));
    EXPECT_TRUE(read.empty());
}

}  // namespace
}  // namespace quillet
