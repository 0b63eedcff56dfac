#include "player/app/player_options.h"

#include <gtest/gtest.h>

#include <set>

namespace quillet {
namespace {

PlayerOptions parse(const std::vector<std::string>& arguments,
                    const std::set<std::string>& existing = {}) {
    PlayerOptions options;
    ParseCommandLine(arguments, options,
                     [&](const std::string& path) { return existing.count(path) > 0; });
    return options;
}

TEST(ParseCommandLine, DefaultsWithoutArguments) {
    PlayerOptions options = parse({});
    EXPECT_STREQ(options.fileName, "");
    EXPECT_EQ(options.viewX, -1);
    EXPECT_EQ(options.viewY, -1);
    EXPECT_EQ(options.controllerX, -1);
    EXPECT_EQ(options.controllerY, -1);
    EXPECT_EQ(options.quitAfterPlay + options.pFlag + options.loopPlay +
                  options.minimizeController + options.overRecordedArea + options.noCaption +
                  options.topmost + options.startTime + options.endTime,
              0);
}

TEST(ParseCommandLine, EveryOption) {
    PlayerOptions options = parse({"/q", "/p", "/l", "/h", "/o", "/nc", "/t", "/st:1500",
                                   "/et:9000", "/tx:10", "/ty:20", "/sx:30", "/sy:40"});
    EXPECT_EQ(options.quitAfterPlay, 1);
    EXPECT_EQ(options.pFlag, 1);
    EXPECT_EQ(options.loopPlay, 1);
    EXPECT_EQ(options.minimizeController, 1);
    EXPECT_EQ(options.overRecordedArea, 1);
    EXPECT_EQ(options.noCaption, 1);
    EXPECT_EQ(options.topmost, 1);
    EXPECT_EQ(options.startTime, 1500);
    EXPECT_EQ(options.endTime, 9000);
    EXPECT_EQ(options.viewX, 10);
    EXPECT_EQ(options.viewY, 20);
    EXPECT_EQ(options.controllerX, 30);
    EXPECT_EQ(options.controllerY, 40);
}

TEST(ParseCommandLine, KeywordRules) {
    struct Case {
        std::string argument;
        int32_t PlayerOptions::*field;
        int32_t expected;
    } cases[] = {
        {"/Q", &PlayerOptions::quitAfterPlay, 1},    // capitals are lowered first
        {"/NCAPTION", &PlayerOptions::noCaption, 1}, // "nc" is a prefix
        {"/tt", &PlayerOptions::topmost, 0},         // two letters t are nothing
        {"/qq", &PlayerOptions::quitAfterPlay, 0},
        {"q", &PlayerOptions::quitAfterPlay, 0},     // no slash, no option
        {"/tx:-5", &PlayerOptions::viewX, -5},       // negative: the view stays centred
        {"/tx:", &PlayerOptions::viewX, 0},          // no digits give 0
        {"/ty:12abc", &PlayerOptions::viewY, 12},    // leading digits
        {"/ST:250", &PlayerOptions::startTime, 250},
        {"/et:99999999999", &PlayerOptions::endTime, INT32_MAX},
    };
    for (const Case& c : cases) {
        PlayerOptions options = parse({c.argument});
        EXPECT_EQ(options.*c.field, c.expected) << c.argument;
    }
}

TEST(ParseCommandLine, ExistingFileNamesTheTitle) {
    PlayerOptions options = parse({"Demo.EXE", "other.exe", "/l"}, {"demo.exe", "other.exe"});
    EXPECT_STREQ(options.fileName, "other.exe");  // the later one replaces the earlier
    EXPECT_EQ(options.loopPlay, 1);

    // A file whose name starts with a slash is also tested as an option.
    options = parse({"/q"}, {"/q"});
    EXPECT_STREQ(options.fileName, "/q");
    EXPECT_EQ(options.quitAfterPlay, 1);
}

TEST(ParseCommandLine, OverlongArgumentsAreIgnored) {
    std::string longName(300, 'a');
    PlayerOptions options = parse({"/q" + std::string(300, ' '), longName}, {longName});
    EXPECT_EQ(options.quitAfterPlay, 0);
    EXPECT_STREQ(options.fileName, "");
    options = parse({std::string(255, 'b')}, {std::string(255, 'b')});
    EXPECT_EQ(std::string(options.fileName), std::string(255, 'b'));
}

}  // namespace
}  // namespace quillet
