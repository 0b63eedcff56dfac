#include "player/objects/object_section.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <map>

#include "common/byte_reader.h"
#include "player/objects/arrow_geometry.h"
#include "player/objects/reports_once.h"
#include "tools/moviewriter/object_description.h"

namespace quillet {
namespace {

using namespace caption_kind;

// Keeps what reading writes and says, in memory.
class MemoryHost : public ObjectReadHost {
public:
    Size screen() const override { return screenSize; }
    std::string createSoundFile(const std::string& name) override {
        if (!canCreate) return std::string();
        const std::string path = "T/" + (name.empty() ? "qlt" + std::to_string(files.size()) + ".tmp" : name);
        files[path];
        return path;
    }
    bool appendFile(const std::string& path, const uint8_t* bytes, size_t length) override {
        files[path].append(reinterpret_cast<const char*>(bytes), length);
        return true;
    }
    std::string attachedSoundPath(const AttachedSound& sound, bool separate) override {
        attached.push_back(sound);
        return separate ? "M/" + sound.name : "T/attached" + std::to_string(attached.size());
    }
    void report(const char* text) override { reports.push_back(text); }
    void afterSection(bool sweep) override { sweeps.push_back(sweep); }

    Size screenSize{800, 600};
    bool canCreate = true;
    std::map<std::string, std::string> files;
    std::vector<AttachedSound> attached;
    std::vector<std::string> reports;
    std::vector<bool> sweeps;
};

CompressedBlock packed(const std::string& raw) {
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    std::string out(length, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
    out.resize(length);
    return CompressedBlock{static_cast<uint32_t>(raw.size()), out};
}

ObjectSection readBack(const std::string& bytes, ObjectSectionForm form, MemoryHost& host,
                       const ObjectSection& start = ObjectSection()) {
    MemoryMovieFile file(bytes);
    BufferedReader in(file, file.size());
    return readObjectSection(in, form, host, start);
}

CaptionRecord object(uint32_t kind, int32_t id) {
    CaptionRecord r;
    r.header.kind = kind;
    r.header.objectId = id;
    r.header.firstFrame = id * 2;
    r.header.frameCount = 3;
    r.header.bodyRect = Rect{10, 20, 110, 80};
    r.header.boundsRect = Rect{5, 15, 120, 90};
    r.header.textRect = Rect{12, 22, 100, 70};
    r.header.lineColour = 0x0000FF;
    r.header.fillColour = 0xE0FFFF;
    r.header.lineWidth = 3;
    r.header.font[0] = 13;
    r.header.shadowOn = 1;
    r.header.shadowRgb = 0x101010;
    if (kind > kArrowLine && kind != kSoundCaption) r.text = "Object " + std::to_string(id);
    return r;
}

// One object of every kind, each with the fields of its tail set.
std::vector<CaptionRecord> everyKind() {
    std::vector<CaptionRecord> all;
    for (uint32_t kind = 0; kind <= kLast; ++kind) all.push_back(object(kind, static_cast<int32_t>(kind) + 1));
    CaptionRecord& arrow = all[kArrowLine];
    arrow.arrow = ArrowTail{2, {1, 2}, {3, 4}, {5, 6}, {10, 20}, {110, 80}};
    all[kRoundCaption].cornerSize = Point{12, 9};
    TitleTail& title = all[kTitledCaption].title;
    title = TitleTail{7, 8, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, "Title", 0x00AA00, {}};
    title.titleFont[5] = 77;
    for (uint32_t kind : {kBoxBalloon, kRoundBalloon, kEllipseBalloon}) {
        all[kind].balloon = BalloonTail{1, {30, 90}, {40, 130}, {35, 80}, {45, 80}};
        all[kind].tailOffset = Point{40 - 10, 130 - 20};
    }
    all[kRoundBalloon].cornerSize = Point{6, 6};
    PictureTail& picture = all[kImageCaption].picture;
    picture.pictureType = 1;
    picture.image = packed(std::string(64, 'i'));
    picture.hasMask = 1;
    picture.imageMask = packed(std::string(32, 'm'));
    picture.actualSize = 1;
    picture.reference = 4;
    picture.naturalWidth = 16;
    picture.naturalHeight = 8;
    SoundTail& sound = all[kSoundCaption].sound;
    sound.embedded = 1;
    sound.sound = packed("RIFF sound bytes");
    HotspotTail& hotspot = all[kHotspotCaption].hotspot;
    hotspot.modifiers = 2;
    hotspot.eventMask = 0x80008;
    hotspot.cursor = 11;
    hotspot.key = 0x41;
    hotspot.label = "Answer";
    hotspot.sound.hasSound = 1;
    hotspot.sound.name = "click.wav";
    return all;
}

void expectSameRecord(const CaptionRecord& a, const CaptionRecord& b) {
    EXPECT_EQ(a.header.encode(), b.header.encode());
    EXPECT_EQ(a.text, b.text);
    switch (a.kind()) {
    case kArrowLine:
        EXPECT_EQ(a.arrow.arrowStyle, b.arrow.arrowStyle);
        EXPECT_EQ(a.arrow.start, b.arrow.start);
        EXPECT_EQ(a.arrow.end, b.arrow.end);
        EXPECT_EQ(a.arrow.headTip, b.arrow.headTip);
        break;
    case kRoundCaption: EXPECT_EQ(a.cornerSize, b.cornerSize); break;
    case kTitledCaption:
        EXPECT_EQ(a.title.title, b.title.title);
        EXPECT_EQ(a.title.titleColour, b.title.titleColour);
        EXPECT_EQ(a.title.titleFont, b.title.titleFont);
        EXPECT_EQ(a.title.titleTextRect, b.title.titleTextRect);
        break;
    case kBoxBalloon:
    case kRoundBalloon:
    case kEllipseBalloon:
        EXPECT_EQ(a.balloon.tailTip, b.balloon.tailTip);
        EXPECT_EQ(a.balloon.tailBaseB, b.balloon.tailBaseB);
        EXPECT_EQ(a.tailOffset, b.tailOffset);
        EXPECT_EQ(a.cornerSize, b.cornerSize);
        break;
    case kImageCaption:
        EXPECT_EQ(a.picture.image.packed, b.picture.image.packed);
        EXPECT_EQ(a.picture.imageMask.rawSize, b.picture.imageMask.rawSize);
        EXPECT_EQ(a.picture.naturalHeight, b.picture.naturalHeight);
        EXPECT_EQ(a.picture.reference, b.picture.reference);
        break;
    case kHotspotCaption:
        EXPECT_EQ(a.hotspot.eventMask, b.hotspot.eventMask);
        EXPECT_EQ(a.hotspot.key, b.hotspot.key);
        EXPECT_EQ(a.hotspot.label, b.hotspot.label);
        EXPECT_EQ(a.hotspot.sound.name, b.hotspot.sound.name);
        break;
    default: break;
    }
}

TEST(ObjectSection, EveryKindRoundTripsInTheCurrentForm) {
    ObjectSection written;
    written.soundsSeparate = 1;
    written.cacheStored = 1;
    written.effectCounter = 4;
    written.objects = everyKind();
    written.objects[kBoxCaption].stored = StoredPicture{std::vector<uint8_t>(100, 7), std::vector<uint8_t>(100, 9)};
    MemoryHost host;
    const ObjectSection read = readBack(writeObjectSection(written), ObjectSectionForm::Form5, host);
    ASSERT_FALSE(read.stoppedEarly);
    ASSERT_EQ(read.objects.size(), written.objects.size());
    for (size_t i = 0; i < read.objects.size(); ++i) {
        SCOPED_TRACE(i);
        expectSameRecord(written.objects[i], read.objects[i]);
    }
    EXPECT_EQ(read.soundsSeparate, 1u);
    EXPECT_EQ(read.cacheStored, 1u);
    EXPECT_EQ(read.effectCounter, 5u) << "the counter is stored and then counted up";
    EXPECT_EQ(read.objects[kBoxCaption].stored.picture, written.objects[kBoxCaption].stored.picture);
    EXPECT_FALSE(read.objects[kRectFrame].stored.present()) << "an object without a picture gets an empty block";
    // The sound object's sound went to a fresh temporary file, inflated.
    EXPECT_EQ(read.objects[kSoundCaption].sound.path, "T/qlt0.tmp");
    EXPECT_EQ(host.files["T/qlt0.tmp"], "RIFF sound bytes");
    // The hotspot's sound lies beside the movie, by its name without the NUL the
    // writer counts.
    EXPECT_EQ(read.objects[kHotspotCaption].hotspot.sound.path, "M/click.wav");
    EXPECT_EQ(host.sweeps, std::vector<bool>{true});
    EXPECT_TRUE(host.reports.empty());
}

TEST(ObjectSection, OlderFormsReadTheirOwnPrefixesAndTails) {
    struct Case {
        ObjectSectionForm form;
        bool cacheStoredField;
        bool soundsSeparateField;
        bool sweeps;
    };
    for (const Case& c : {Case{ObjectSectionForm::Form1, false, false, false},
                          Case{ObjectSectionForm::Form2, false, false, false},
                          Case{ObjectSectionForm::Form3, true, false, false},
                          Case{ObjectSectionForm::Form4, true, true, true}}) {
        SCOPED_TRACE(static_cast<int>(c.form));
        ObjectSection written;
        written.soundsSeparate = 0;
        // Form 2 has no flag for it: its blocks are there when the list already
        // stores pictures, which a fresh list does not.
        written.cacheStored = c.form == ObjectSectionForm::Form2 ? 0 : 1;
        written.effectCounter = 2;
        written.objects = everyKind();
        if (c.form == ObjectSectionForm::Form1) written.objects.pop_back();  // no hotspots there
        written.objects[kSoundCaption].sound.name = "effect.wav";
        written.objects[kBoxCaption].stored = StoredPicture{std::vector<uint8_t>(40, 1), std::vector<uint8_t>(40, 2)};
        MemoryHost host;
        const ObjectSection read = readBack(writeObjectSection(written, c.form), c.form, host);
        ASSERT_FALSE(read.stoppedEarly);
        ASSERT_EQ(read.objects.size(), written.objects.size());
        EXPECT_EQ(read.soundsSeparate, c.soundsSeparateField ? 0u : 1u) << "a fresh list keeps 1";
        EXPECT_EQ(read.cacheStored, c.cacheStoredField ? 1u : 0u);
        // Form 2 carries picture blocks only when the list already stored them.
        EXPECT_EQ(read.objects[kBoxCaption].stored.present(), c.cacheStoredField);
        EXPECT_EQ(read.objects[kSoundCaption].sound.path, "T/effect.wav") << "older forms name the file";
        EXPECT_EQ(host.sweeps, std::vector<bool>{c.sweeps});
        for (size_t i = 0; i < read.objects.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(read.objects[i].text, written.objects[i].text);
            EXPECT_EQ(read.objects[i].header.bodyRect, written.objects[i].header.bodyRect);
        }
        if (c.form == ObjectSectionForm::Form1) {
            // The short header leaves the shadow at its defaults.
            EXPECT_EQ(read.objects[kBoxCaption].header.shadowRgb, 0x464646u);
            EXPECT_EQ(read.objects[kBoxCaption].header.shadowOn, 0);
        }
    }
    // Form 2 with a list that already stores pictures reads the blocks.
    ObjectSection written;
    written.cacheStored = 1;
    written.objects = {object(kBoxCaption, 1)};
    written.objects[0].stored = StoredPicture{std::vector<uint8_t>(40, 1), std::vector<uint8_t>(40, 2)};
    ObjectSection start;
    start.cacheStored = 1;
    MemoryHost host;
    EXPECT_TRUE(readBack(writeObjectSection(written, ObjectSectionForm::Form2), ObjectSectionForm::Form2, host, start)
                    .objects[0].stored.present());
}

TEST(ObjectSection, ArrowHeadsBeyondTheScreenAreDroppedExceptInTheOldestForm) {
    ObjectSection written;
    written.objects = {object(kArrowLine, 1)};
    written.objects[0].arrow = ArrowTail{1, {900, 10}, {-801, 700}, {800, -600}, {0, 0}, {10, 10}};
    for (ObjectSectionForm form : {ObjectSectionForm::Form1, ObjectSectionForm::Form3, ObjectSectionForm::Form5}) {
        MemoryHost host;
        const ArrowTail a = readBack(writeObjectSection(written, form), form, host).objects.at(0).arrow;
        if (form == ObjectSectionForm::Form1) {
            EXPECT_EQ(a.headLeft, (Point{900, 10}));
            continue;
        }
        EXPECT_EQ(a.headLeft, (Point{0, 10}));
        EXPECT_EQ(a.headRight, (Point{0, 0}));
        EXPECT_EQ(a.headTip, (Point{800, -600})) << "at the screen's size the coordinate stays";
        EXPECT_EQ(a.end, (Point{10, 10}));
    }
}

TEST(ObjectSection, UnknownKindsEndTheSectionKeepingWhatCameBefore) {
    ObjectSection written;
    written.objects = {object(kRectFrame, 1), object(kBoxCaption, 2), object(kEllipseFrame, 3)};
    std::string bytes = writeObjectSection(written);
    // The second record's kind becomes 13.
    const size_t second = 16 + encodeCaptionRecord(written.objects[0], ObjectSectionForm::Form5, 1).size();
    bytes[second] = 13;
    MemoryHost host;
    ObjectSection read = readBack(bytes, ObjectSectionForm::Form5, host);
    EXPECT_TRUE(read.stoppedEarly);
    EXPECT_TRUE(read.unknownKind);
    ASSERT_EQ(read.objects.size(), 1u);
    EXPECT_EQ(read.objects[0].header.objectId, 1);

    // Hotspots do not exist in the oldest form.
    written.objects = {object(kRectFrame, 1), object(kHotspotCaption, 2)};
    read = readBack(writeObjectSection(written, ObjectSectionForm::Form2), ObjectSectionForm::Form1, host);
    EXPECT_TRUE(read.stoppedEarly);
    EXPECT_TRUE(read.unknownKind);
    EXPECT_EQ(read.objects.size(), 1u);
}

TEST(ObjectSection, LengthsThatRunPastTheFileEndTheSection) {
    // Each case puts a huge value where a length or count is stored and expects
    // the objects before that record, nothing allocated for the length.
    struct Case {
        const char* what;
        uint32_t kind;
        size_t offsetInRecord;  // of the damaged word, from the record's start
    };
    const size_t text = ObjectHeader::kSize;
    for (const Case& c : {Case{"text length", kBoxCaption, text},
                          Case{"title length", kTitledCaption, text + 4 + 8 + 48},
                          Case{"label length", kHotspotCaption, text + 4 + 14},
                          Case{"image block", kImageCaption, text + 4 + 4 + 4},
                          Case{"sound block", kSoundCaption, text + 8 + 4}}) {
        SCOPED_TRACE(c.what);
        ObjectSection written;
        written.objects = {object(kRectFrame, 1), everyKind()[c.kind], object(kRectFrame, 3)};
        written.objects[1].text.clear();
        std::string bytes = writeObjectSection(written);
        const size_t second = 16 + encodeCaptionRecord(written.objects[0], ObjectSectionForm::Form5, 1).size();
        bytes.replace(second + c.offsetInRecord, 4, std::string("\xF0\xFF\xFF\x7F", 4));
        MemoryHost host;
        const ObjectSection read = readBack(bytes, ObjectSectionForm::Form5, host);
        EXPECT_TRUE(read.stoppedEarly);
        EXPECT_FALSE(read.unknownKind) << "a cut-off record is no unknown kind";
        ASSERT_EQ(read.objects.size(), 1u);
        EXPECT_EQ(read.objects[0].header.objectId, 1);
        EXPECT_TRUE(host.files.empty() || c.kind != kSoundCaption);
    }
    // A count far beyond the file reads what is there and reserves nothing for it.
    ObjectSection written;
    written.objects = {object(kRectFrame, 1)};
    std::string bytes = writeObjectSection(written);
    bytes.replace(8, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    MemoryHost host;
    const ObjectSection read = readBack(bytes, ObjectSectionForm::Form5, host);
    EXPECT_TRUE(read.stoppedEarly);
    EXPECT_EQ(read.objects.size(), 1u);
    EXPECT_LT(read.objects.capacity(), 16u);
}

TEST(ObjectSection, DamagedPicturesAndSoundsAreDroppedWithTheirMessages) {
    ObjectSection written;
    written.cacheStored = 1;
    written.objects = {object(kBoxCaption, 1), object(kSoundCaption, 2), object(kRectFrame, 3)};
    written.objects[0].stored = StoredPicture{std::vector<uint8_t>(64, 3), std::vector<uint8_t>(64, 4)};
    written.objects[1].sound.embedded = 1;
    written.objects[1].sound.sound = CompressedBlock{100, "not zlib data"};
    std::string bytes = writeObjectSection(written);
    // Spoil the picture's zlib stream: its first byte follows three length words.
    const size_t picture = 16 + encodeCaptionRecord(written.objects[0], ObjectSectionForm::Form5, 1).size() + 12;
    bytes[picture] = 0;
    MemoryHost host;
    ObjectSection read = readBack(bytes, ObjectSectionForm::Form5, host);
    ASSERT_EQ(read.objects.size(), 3u) << "the records after a damaged block are read";
    EXPECT_FALSE(read.objects[0].stored.present()) << "the object renders itself";
    EXPECT_TRUE(read.objects[1].sound.path.empty());
    EXPECT_EQ(host.reports, std::vector<std::string>{"Fail to Uncompression !"});

    // The oldest form words it otherwise; a folder that cannot be written comes first.
    host = MemoryHost();
    host.canCreate = false;
    written.objects[1].sound.sound = packed("fine");
    read = readBack(writeObjectSection(written, ObjectSectionForm::Form1), ObjectSectionForm::Form1, host);
    EXPECT_EQ(read.objects.size(), 3u);
    EXPECT_EQ(host.reports, std::vector<std::string>{"Fail to Create Temporary File"});
}

TEST(ObjectSection, EachKindOfFailureIsToldOnceAMovie) {
    ReportsOncePerKind reported;
    const std::pair<const char*, bool> reports[] = {
        {"Zlib Uncompression Error", true},
        {"Zlib Uncompression Error", false},
        {"file not found - sound file\nC:\\disc\\a.wav", true},
        {"file not found - sound file\nC:\\disc\\b.wav", false},  // another file, the same failure
        {"Fail to Create Temporary File", true},
    };
    for (const auto& [text, shown] : reports) EXPECT_EQ(reported.first(text), shown) << text;
    reported.clear();  // the next movie
    EXPECT_TRUE(reported.first("Zlib Uncompression Error"));
}

TEST(ObjectSection, APictureThatDoesNotInflateIsToldOfAndTheMovieGoesOn) {
    ObjectSection written;
    written.objects = {object(kImageCaption, 1), object(kImageCaption, 2), object(kRectFrame, 3)};
    for (CaptionRecord& r : written.objects) {
        r.picture.pictureType = 1;
        r.picture.image = packed(std::string(64, 'i'));
    }
    written.objects[0].picture.image = CompressedBlock{64, "no zlib stream"};
    MemoryHost host;
    const ObjectSection read = readBack(writeObjectSection(written), ObjectSectionForm::Form5, host);
    ASSERT_EQ(read.objects.size(), 3u);
    EXPECT_FALSE(read.objects[0].picture.usable()) << "that object has no picture";
    EXPECT_TRUE(read.objects[1].picture.usable());
    EXPECT_EQ(read.objects[1].picture.imageDib, std::vector<uint8_t>(64, 'i')) << "inflated as read";
    EXPECT_EQ(host.reports, std::vector<std::string>{"Zlib Uncompression Error"});

    // An icon needs both of its blocks; a picture type past the known ones reads
    // nothing more and has no picture.
    written.objects[0].picture = PictureTail();
    written.objects[0].picture.iconMask = packed("mask");
    written.objects[0].picture.iconColour = CompressedBlock{5, "bad"};
    written.objects[1].picture = PictureTail();
    written.objects[1].picture.pictureType = 7;
    host = MemoryHost();
    const ObjectSection again = readBack(writeObjectSection(written), ObjectSectionForm::Form5, host);
    ASSERT_EQ(again.objects.size(), 3u);
    EXPECT_FALSE(again.objects[0].picture.usable());
    EXPECT_FALSE(again.objects[1].picture.usable());
    EXPECT_EQ(again.objects[2].kind(), kRectFrame);
    EXPECT_EQ(host.reports.size(), 1u);
}

TEST(ObjectSection, StoredNamesCannotLeaveTheirFolderOrNameADevice) {
    struct Case {
        const char* stored;
        const char* path;
    } cases[] = {
        {"..\\..\\windows\\win.ini", "T/win.ini"},
        {"..", "T/qlt0.tmp"},  // a name of dots gets a fresh one
        // Device names, in any case, with an extension or spaces: a fresh name.
        {"CON", "T/qlt0.tmp"},
        {"con.wav", "T/qlt0.tmp"},
        {"Aux .wav", "T/qlt0.tmp"},
        {"COM1", "T/qlt0.tmp"},
        {"lpt9.txt", "T/qlt0.tmp"},
        {"COM\xB9.wav", "T/qlt0.tmp"},  // a superscript one, which Windows reads as a digit
        {"nul", "T/qlt0.tmp"},
        {"a?b.wav", "T/qlt0.tmp"},
        {"COM10.wav", "T/COM10.wav"},
        {"console.wav", "T/console.wav"},
    };
    for (const Case& c : cases) {
        ObjectSection written;
        written.objects = {object(kSoundCaption, 1)};
        written.objects[0].sound.name = c.stored;
        written.objects[0].sound.embedded = 1;
        written.objects[0].sound.sound = packed("x");
        MemoryHost host;
        const ObjectSection read =
            readBack(writeObjectSection(written, ObjectSectionForm::Form4), ObjectSectionForm::Form4, host);
        EXPECT_EQ(read.objects.at(0).sound.path, c.path) << c.stored;
    }
    // When a file of the stored name exists, the host tries these in turn.
    EXPECT_EQ(numberedSoundName("victim.txt", 0), "victim_000.txt");
    EXPECT_EQ(numberedSoundName("a.tar.gz", 12), "a.tar_012.gz");
    EXPECT_EQ(numberedSoundName("plain", 99), "plain_099");
}

TEST(ObjectSection, AStoredHotspotSoundOfNoLengthLeavesItsWordsToWhatFollows) {
    // Sounds kept in the movie: a data-follows flag with a compressed length of 0
    // means no sound, and the two lengths are read again as the next record's.
    ObjectSection written;
    written.soundsSeparate = 0;
    written.objects = {object(kHotspotCaption, 1)};
    HotspotTail& h = written.objects[0].hotspot;
    h.sound.hasSound = 1;
    h.sound.name = "gone.wav";
    h.sound.dataFollows = 1;
    h.sound.sound = packed("sound");
    MemoryHost host;
    ObjectSection read = readBack(writeObjectSection(written), ObjectSectionForm::Form5, host);
    ASSERT_EQ(read.objects.size(), 1u);
    EXPECT_EQ(read.objects[0].hotspot.sound.path, "T/attached1");
    EXPECT_EQ(host.attached.at(0).sound.packed, h.sound.sound.packed);

    // Now the flag with nothing behind it: the next record's header starts where
    // the lengths would be.
    std::string bytes = writeObjectSection(written);
    const size_t cut = bytes.size() - 8 - h.sound.sound.packed.size();
    bytes.resize(cut);
    bytes.replace(8, 4, std::string("\x02\0\0\0", 4));  // two objects
    CaptionRecord next = object(kRectFrame, 7);
    next.header.kind = kRectFrame;
    std::string nextBytes = encodeCaptionRecord(next, ObjectSectionForm::Form5, 0);
    // A rectangle whose kind word is 0 reads as a zero compressed length.
    bytes += nextBytes;
    host = MemoryHost();
    read = readBack(bytes, ObjectSectionForm::Form5, host);
    ASSERT_EQ(read.objects.size(), 2u);
    EXPECT_TRUE(read.objects[0].hotspot.sound.path.empty());
    EXPECT_EQ(read.objects[1].header.objectId, 7);
}

TEST(ArrowGeometry, HeadsAsHandComputed) {
    struct Case {
        const char* what;
        Point start, end;
        int32_t width;
        Point left, right, lineEnd;
    };
    // w = 2: the base lies 2w + 10 = 14 behind the tip (2w + 14 = 18 for steep lines).
    const Case cases[] = {
        // Vertical: the base is level, w + 5 to either side.
        {"vertical up", {50, 100}, {50, 20}, 2, {43, 34}, {57, 34}, {50, 27}},
        {"vertical down", {50, 20}, {50, 100}, 2, {43, 86}, {57, 86}, {50, 93}},
        // Horizontal to the right: Q = (86, 50); v = (-14, 0) turned by +-30 degrees:
        // (-12.124, 7) and (-12.124, -7), cut toward zero.
        {"shallow right", {0, 50}, {100, 50}, 2, {88, 57}, {88, 43}, {93, 50}},
        {"shallow left", {100, 50}, {0, 50}, 2, {12, 43}, {12, 57}, {7, 50}},
        // Slope 0.5: Q.x = 100 - 14 / sqrt(1.25) = 87.478 -> 87, Q.y = 0.5 * 87 = 43.5 -> 43;
        // v = (-13, -7): (-11.258 - 3.5, -6.062 + 6.5) = (-14.758, 0.438) -> (-14, 0)
        // and (-11.258 + 3.5, -6.5 - 6.062) = (-7.758, -12.562) -> (-7, -12).
        {"shallow slope", {0, 0}, {100, 50}, 2, {86, 50}, {93, 38}, {93, 46}},
        // Slope 2, end below the start: Q.y = 100 - 18 / sqrt(1.25) = 83.900 -> 83,
        // Q.x = 83 / 2 = 41.5 -> 41; v = (-9, -17): left (-7.794 - 8.5, -14.722 + 4.5)
        // = (-16.294, -10.222) -> (-16, -10); right (-7.794 + 8.5, -4.5 - 14.722)
        // = (0.706, -19.222) -> (0, -19).
        {"steep down", {0, 0}, {50, 100}, 2, {34, 90}, {50, 81}, {45, 91}},
        // The same line walked upwards: Q.y = 0 + 16.100 -> 16 below the tip,
        // Q.x = 50 + (16 - 100) / 2 = 8; v = (8, 16): left (6.928 + 8, 13.856 - 4)
        // -> (14, 9); right (6.928 - 8, 4 + 13.856) = (-1.072, 17.856) -> (-1, 17).
        {"steep up", {50, 100}, {0, 0}, 2, {14, 9}, {-1, 17}, {4, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ArrowHead head = arrowHeadAt(c.start, c.end, c.width);
        EXPECT_EQ(head.tip, c.end);
        EXPECT_EQ(head.left, c.left);
        EXPECT_EQ(head.right, c.right);
        EXPECT_EQ(head.lineEnd, c.lineEnd);
    }
}

TEST(ArrowGeometry, StylesAndTheDegenerateArrow) {
    const ArrowLayout none = layOutArrow({0, 50}, {100, 50}, 2, 0);
    EXPECT_FALSE(none.headAtEnd);
    EXPECT_EQ(none.lineEnd, (Point{100, 50}));
    const ArrowLayout both = layOutArrow({0, 50}, {100, 50}, 2, 2);
    ASSERT_TRUE(both.headAtEnd && both.headAtStart);
    EXPECT_EQ(both.lineStart, (Point{7, 50})) << "the line runs between the two midpoints";
    EXPECT_EQ(both.lineEnd, (Point{93, 50}));
    EXPECT_EQ(both.startHead.tip, (Point{0, 50}));
    // Start and end in one point: a vertical line by the rule, with its head below.
    const ArrowHead point = arrowHeadAt({30, 30}, {30, 30}, 1);
    EXPECT_EQ(point.baseCentre, (Point{30, 42}));
    EXPECT_EQ(arrowSlope({30, 30}, {30, 30}), 0.0f);
    EXPECT_EQ(arrowSlope({0, 0}, {0, 10}), 10.0f) << "a vertical line divides by 1";
}

TEST(ObjectDescription, LinesBecomeRecords) {
    std::vector<CaptionRecord> records;
    std::string error;
    ASSERT_TRUE(parseObjectDescription("# outlines\n"
                                       "rect id=1 first=3 frames=10 body=20,20,200,120 line=ff0000 width=3\n"
                                       "\n"
                                       "arrow id=2 start=40,40 end=160,90 style=2 line=0000ff\n"
                                       "box id=3 body=10,10,150,60 text=\"Click here\" fill=ffffe0\n",
                                       records, error))
        << error;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].header.lineColour, 0x0000FFu) << "RRGGBB is stored as 0x00BBGGRR";
    EXPECT_EQ(records[0].header.boundsRect, records[0].header.bodyRect);
    EXPECT_EQ(records[1].header.bodyRect, (Rect{40, 40, 160, 90}));
    EXPECT_EQ(records[1].header.lineWidth, 2) << "a new outline is 2 wide";
    EXPECT_EQ(records[1].arrow.headTip, (Point{160, 90}));
    EXPECT_LT(records[1].header.boundsRect.left, 40) << "the bounds take in the heads";
    EXPECT_EQ(records[2].text, "Click here");

    for (const char* bad : {"star id=1", "rect id=x", "rect body=1,2,3", "box text=\"open", "rect colour=red"}) {
        records.clear();
        EXPECT_FALSE(parseObjectDescription(bad, records, error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos);
    }
}

}  // namespace
}  // namespace quillet
