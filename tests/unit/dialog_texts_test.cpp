// What the player's dialogs show and accept: the File Properties texts, the Setup
// dialog's Times box, and the addresses the web and mail buttons open.

#include <gtest/gtest.h>

#include "player/app/file_properties_texts.h"
#include "player/app/maker_addresses.h"
#include "player/app/play_settings_entry.h"
#include "player/app/text_format.h"

namespace quillet {
namespace {

// The string table's texts.
FilePropertiesFormats formats() {
    FilePropertiesFormats f;
    f.description = "Description : %s";
    f.createdBy = "Created by : %s";
    f.date = "Date : %s";
    f.recordedArea = "Recorded Area : %d, %d, %d, %d (L, T, R, B)";
    f.fileSize = "File Size : %s KB";
    f.fileLength = "File Length : %d Sec";
    f.fileSizeUnknown = "File Size : Unknown";
    return f;
}

TEST(TextFormat, DigitGroupsFromTheRight) {
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}, {100000, "100,000"},
        {18446744073709551615u, "18,446,744,073,709,551,615"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(withDigitGroups(value), text) << value;
    EXPECT_EQ(withDigitGroups(1234567, 4, '.'), "123.4567");
}

TEST(TextFormat, FieldsAreFilledInOrderOrByNumber) {
    EXPECT_EQ(formatText("%d, %d (%s)", {"1", "2", "x"}), "1, 2 (x)");
    EXPECT_EQ(formatText("between %1 and %2, not %1", {"1", "10"}), "between 1 and 10, not 1");
    EXPECT_EQ(formatText("100%% of %s", {"it"}), "100% of it");
    EXPECT_EQ(formatText("%s and %s", {"one"}), "one and ") << "a missing argument gives nothing";
    EXPECT_EQ(formatText("%x %", {}), "%x %") << "anything else stays as it is";
    // A movie's text holding fields is copied, not filled.
    EXPECT_EQ(formatText("Description : %s", {"%s %d %1 %%"}), "Description : %s %d %1 %%");
}

TEST(FilePropertiesTexts, FileSizeInWholeKilobytesOfAThousandBytes) {
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "File Size : 0 KB"},          {999, "File Size : 0 KB"},
        {1000, "File Size : 1 KB"},       {1023999, "File Size : 1,023 KB"},
        {1024000, "File Size : 1,024 KB"}, {1234567890, "File Size : 1,234,567 KB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(fileSizeText(bytes, formats()), text) << bytes;
    EXPECT_EQ(fileSizeText(std::nullopt, formats()), "File Size : Unknown");
}

TEST(FilePropertiesTexts, VersionLineOnlyForTheProductsSignature) {
    EXPECT_EQ(versionLine("Tavrix Movie Ver. 2.0"), "Tavrix Movie Ver. 2.0 Final");
    EXPECT_EQ(versionLine("Tavrix"), "Tavrix Final");
    EXPECT_EQ(versionLine("Compact Movie Ver. 3.0, Pro."), "");
    EXPECT_EQ(versionLine("Tavri"), "");
    EXPECT_EQ(versionLine("tavrix movie"), "");
    EXPECT_EQ(versionLine(""), "");
}

TEST(FilePropertiesTexts, LengthInWholeSeconds) {
    EXPECT_EQ(lengthSeconds(0), 0);
    EXPECT_EQ(lengthSeconds(999), 0);
    EXPECT_EQ(lengthSeconds(2500), 2);
    EXPECT_EQ(lengthSeconds(int64_t{5000000000}), 5000000);
    EXPECT_EQ(lengthSeconds(-1500), 0) << "delays that add up below zero give no length";
}

TEST(FilePropertiesTexts, EveryFieldFromTheMovie) {
    MovieHeader header;
    MovieHeader::setText(header.signature, "Tavrix Movie Ver. 3.0");
    MovieHeader::setText(header.description, "Installing the printer");
    MovieHeader::setText(header.createdBy, "R. Okafor");
    MovieHeader::setText(header.date, "2006-12-02, 11:21:48");
    const MovieFacts movie{header, Rect{-4, 10, 800, 610}, 61999, uint64_t{2345678}};
    const FilePropertiesTexts texts = filePropertiesTexts(movie, formats());
    EXPECT_EQ(texts.versionLine, "Tavrix Movie Ver. 3.0 Final");
    EXPECT_EQ(texts.description, "Description : Installing the printer");
    EXPECT_EQ(texts.createdBy, "Created by : R. Okafor");
    EXPECT_EQ(texts.date, "Date : 2006-12-02, 11:21:48");
    EXPECT_EQ(texts.recordedArea, "Recorded Area : -4, 10, 800, 610 (L, T, R, B)");
    EXPECT_EQ(texts.fileLength, "File Length : 61 Sec");
    EXPECT_EQ(texts.fileSize, "File Size : 2,345 KB");

    MovieHeader empty;
    const FilePropertiesTexts none = filePropertiesTexts({empty, Rect{}, 0, std::nullopt}, formats());
    EXPECT_EQ(none.versionLine, "");
    EXPECT_EQ(none.description, "Description : ");
    EXPECT_EQ(none.fileSize, "File Size : Unknown");
}

TEST(PlaySettingsEntry, TimesMustBeAnIntegerFromOneToTen) {
    struct Case {
        const char* text;
        TimesEntryResult result;
        int32_t value;
    };
    const Case cases[] = {
        {"1", TimesEntryResult::Accepted, 1},
        {"10", TimesEntryResult::Accepted, 10},
        {" 3 ", TimesEntryResult::Accepted, 3},
        {"+4", TimesEntryResult::Accepted, 4},
        {"007", TimesEntryResult::Accepted, 7},
        {"0", TimesEntryResult::OutOfRange, 0},
        {"11", TimesEntryResult::OutOfRange, 0},
        {"-1", TimesEntryResult::OutOfRange, 0},
        {"99999999999999999999", TimesEntryResult::OutOfRange, 0},
        {"", TimesEntryResult::NotAnInteger, 0},
        {"  ", TimesEntryResult::NotAnInteger, 0},
        {"-", TimesEntryResult::NotAnInteger, 0},
        {"3x", TimesEntryResult::NotAnInteger, 0},
        {"x3", TimesEntryResult::NotAnInteger, 0},
        {"2.5", TimesEntryResult::NotAnInteger, 0},
        {"1 2", TimesEntryResult::NotAnInteger, 0},
    };
    for (const Case& c : cases) {
        const TimesEntry entry = readTimesEntry(c.text);
        EXPECT_EQ(entry.result, c.result) << '"' << c.text << '"';
        EXPECT_EQ(entry.value, c.value) << '"' << c.text << '"';
    }
}

TEST(MakerAddresses, TheMoviesOwnAddressesComeFirst) {
    EXPECT_EQ(authorWebAddress("https://author.example.org/"), "https://author.example.org/");
    EXPECT_EQ(authorWebAddress(""), kMakerWebSite);
    EXPECT_EQ(authorMailCommand("author@example.org"), "mailto:author@example.org");
    EXPECT_EQ(authorMailCommand(""), std::string("mailto:") + kMakerSupportAddress);
}

}  // namespace
}  // namespace quillet
