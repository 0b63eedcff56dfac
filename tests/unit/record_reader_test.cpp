// The project description's typed records: reading, the failed state, scrambled
// texts and the version rule.

#include <gtest/gtest.h>

#include "common/byte_reader.h"
#include "launcher/project/project_secrets.h"
#include "launcher/project/project_version.h"
#include "launcher/project/record_reader.h"
#include "launcher/project/record_writer.h"
#include "launcher/project/text_scrambler.h"

namespace quillet::project {
namespace {

std::string rawRecord(uint8_t type, const std::string& payload, uint16_t declaredLength) {
    std::string bytes;
    ByteWriter out(bytes);
    out.u8(type);
    out.u16(declaredLength);
    out.bytes(payload);
    return bytes;
}

TEST(RecordReader, ReadsIntegersAndTextsInOrder) {
    RecordWriter writer;
    writer.integer(-7);
    writer.text("Working\\Path");
    writer.integer(2147483647);
    RecordReader reader;
    reader.openBytes(writer.bytes());
    EXPECT_EQ(reader.readInt(), -7);
    EXPECT_EQ(reader.readText(), "Working\\Path");
    EXPECT_EQ(reader.readInt(), 2147483647);
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(RecordReader, TextsAreStoredScrambled) {
    RecordWriter writer;
    writer.text("plain words");
    EXPECT_EQ(writer.bytes().find("plain"), std::string::npos);
}

// Each case: the bytes, then what the first read gets; every later read of a
// failed reader gets 0 or an empty text even where a good record follows. Records
// cut short are cut at the end of the file.
struct FailureCase {
    const char* name;
    std::string bytes;
    bool readText;
    bool cutAtEnd = false;
};

TEST(RecordReader, AFailedReadFailsEveryLaterRead) {
    RecordWriter good;
    good.integer(5);
    good.text("after");
    const std::vector<FailureCase> cases = {
        {"text where an integer is expected", rawRecord(kRecordText, "abcd", 4), false},
        {"integer of 3 bytes", rawRecord(kRecordInteger, "abc", 3), false},
        {"integer of 5 bytes", rawRecord(kRecordInteger, "abcde", 5), false},
        {"integer cut short", rawRecord(kRecordInteger, "ab", 4), false, true},
        {"integer where a text is expected", rawRecord(kRecordInteger, "abcd", 4), true},
        {"text longer than the file", rawRecord(kRecordText, "abc", 60000), true},
        {"text cut short", rawRecord(kRecordText, "abc", 4), true, true},
        {"unknown type", rawRecord(9, "abcd", 4), false},
        {"only a type byte", std::string(1, '\x01'), false, true},
        {"nothing at all (tag 255)", std::string(), false, true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordReader reader;
        reader.openBytes(c.cutAtEnd ? c.bytes : c.bytes + good.bytes());
        if (c.readText)
            EXPECT_EQ(reader.readText(), "");
        else
            EXPECT_EQ(reader.readInt(), 0);
        EXPECT_TRUE(reader.failed());
        EXPECT_EQ(reader.readInt(), 0);
        EXPECT_EQ(reader.readText(), "");
    }
}

TEST(RecordReader, NextTypeIsUnreadableAtTheEnd) {
    RecordReader reader;
    reader.openBytes(rawRecord(kRecordInteger, "abcd", 4));
    EXPECT_EQ(reader.nextType(), kRecordInteger);
    reader.readInt();
    EXPECT_EQ(reader.nextType(), kRecordUnreadable);
}

TEST(RecordReader, AMissingFileDoesNotOpen) {
    RecordReader reader;
    EXPECT_FALSE(reader.open("/nonexistent/orvane.dat"));
    EXPECT_EQ(reader.readInt(), 0);
    EXPECT_TRUE(reader.failed());
}

TEST(RecordReader, AStoredZeroByteCutsTheText) {
    std::string stored;
    ASSERT_TRUE(scrambleText("abcdef", stored));
    stored[3] = '\0';
    RecordReader reader;
    reader.openBytes(rawRecord(kRecordText, stored, static_cast<uint16_t>(stored.size())) +
                     rawRecord(kRecordInteger, std::string("\x2A\0\0\0", 4), 4));
    EXPECT_EQ(reader.readText(), "abc");
    // The whole record was consumed: the next one reads.
    EXPECT_EQ(reader.readInt(), 42);
}

TEST(TextScrambler, RoundTripsAZeroByteInsideAText) {
    const std::string plain("before\0after", 12);
    std::string stored;
    ASSERT_TRUE(scrambleText(plain, stored));
    EXPECT_EQ(stored.find('\0'), std::string::npos);
    EXPECT_EQ(unscrambleText(reinterpret_cast<const uint8_t*>(stored.data()), stored.size()), plain);
}

TEST(TextScrambler, RoundTripsEveryByteAtEveryKeyPosition) {
    for (size_t offset = 0; offset < kScrambleKeyLength; ++offset) {
        for (int value = 1; value < 256; ++value) {
            std::string plain(offset, 'x');
            plain += static_cast<char>(value);
            std::string stored;
            if (!scrambleText(plain, stored)) {
                // Only a byte that would turn into the cutting zero is refused.
                EXPECT_EQ(static_cast<uint8_t>(value + kScrambleKey[offset]), 0);
                continue;
            }
            EXPECT_EQ(unscrambleText(reinterpret_cast<const uint8_t*>(stored.data()), stored.size()), plain);
        }
    }
}

TEST(TextScrambler, CommonAccentedTextInUtf8IsStorable) {
    std::string stored;
    EXPECT_TRUE(scrambleText("Caf\xC3\xA9 M\xC3\xBCller \xC3\x85ngstr\xC3\xB6m \xE2\x80\x93 r\xC3\xA9sum\xC3\xA9", stored));
}

TEST(RecordWriter, RefusesTextsTheFormatCannotHold) {
    RecordWriter writer;
    EXPECT_THROW(writer.text(std::string(65536, 'a')), std::invalid_argument);
    const std::string zeroing(1, static_cast<char>(0x100 - kScrambleKey[0]));
    EXPECT_THROW(writer.text(zeroing), std::invalid_argument);
    EXPECT_NO_THROW(writer.text(std::string(65535, 'a')));
    // An accented letter meets the key's 'W' at its tenth byte; the message says where.
    try {
        writer.text("abcdefgh\xC3\xA9");
        ADD_FAILURE() << "stored a text that reads back cut";
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find("its byte 10 (0xA9)"), std::string::npos) << error.what();
    }
}

TEST(ProjectVersion, TheHeaderNoteBeginsAt304) {
    struct Case {
        ProjectVersion version;
        bool hasNote;
    };
    const Case cases[] = {
        {{3, 0, 3}, false}, {{3, 0, 4}, true}, {{3, 0, 5}, true}, {{3, 1, 0}, true},  {{4, 0, 0}, true},
        {{2, 9, 9}, false}, {{3, 0, 0}, false}, {{0, 0, 0}, false}, {{-3, 5, 5}, false}, {{3, -1, 9}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version.major) + "." + std::to_string(c.version.minor) + "." +
                     std::to_string(c.version.build));
        EXPECT_EQ(c.version.hasHeaderNote(), c.hasNote);
    }
}

}  // namespace
}  // namespace quillet::project
