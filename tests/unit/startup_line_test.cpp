// The launcher's start-up line, the loading window's progress and the drive of a
// removal notice.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>

#include "launcher/app/disc_drive.h"
#include "launcher/app/loading_progress.h"
#include "launcher/app/startup_line.h"

namespace quillet::launcher {
namespace {

TEST(StartupLine, SplitsNumberTitleAndCompany) {
    struct Case {
        const char* line;
        int showWindow;
        const char* title;
        const char* company;
    };
    const Case cases[] = {
        {"1,My Title,My Company", 1, "My Title", "My Company"},
        {"\"1, My Title , My Company \"", 1, "My Title", "My Company"},
        {"0,Title,Company", 0, "Title", "Company"},
        {"12abc,T,C", 12, "T", "C"},
        {" 7 ,T,C", 7, "T", "C"},
        {"abc,T,C", 0, "T", "C"},
        {"-1,T,C", -1, "T", "C"},
        {"99999999999999,T,C", INT_MAX, "T", "C"},
        {"1,Title,Acme, Inc., Europe", 1, "Title", "Acme, Inc., Europe"},
        {"1,Title", 1, "Title", ""},
        {"1,,Company", 1, "", "Company"},
        {"Just a company line", 0, "", "Just a company line"},
        {"  \"Quoted\" company  ", 0, "", "Quoted company"},
        {"", 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const StartupLine line = parseStartupLine(c.line);
        EXPECT_EQ(line.showWindow, c.showWindow);
        EXPECT_EQ(line.title, c.title);
        EXPECT_EQ(line.company, c.company);
    }
}

TEST(StartupLine, TakesTheFirstQuotedTextOfTheAutoPlayFile) {
    struct Case {
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        {"[autorun]\r\nopen=Orvane.exe \"1,Title,Company\"\r\nicon=Orvane.exe\r\n", "\"1,Title,Company\""},
        {"open=\"1,Two\r\nLines\" \"second\"", "\"1,Two  Lines\""},
        {"[autorun]\nopen=Orvane.exe\n", ""},
        {"open=\"1,unterminated", "\"1,unterminated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(quotedStartupLine(c.text), c.line);
    }
}

TEST(StartupLine, ReadsNoMoreThanTheLimitOfTheAutoPlayFile) {
    const std::string path = ::testing::TempDir() + "autorun_limit.inf";
    const std::string early = "open=x \"1,Early,Line\"\n";
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string(kAutoPlayReadLimit - 5, ' ') << "\"1,Late,Line\"";
    }
    EXPECT_EQ(quotedStartupLine(readAutoPlayText(path)), "\"1,La");
    {
        std::ofstream out(path, std::ios::binary);
        out << early << std::string(30000, 'x');
    }
    const std::string text = readAutoPlayText(path);
    EXPECT_EQ(text.size(), kAutoPlayReadLimit);
    EXPECT_EQ(parseStartupLine(quotedStartupLine(text)).title, "Early");
    std::remove(path.c_str());
    EXPECT_EQ(readAutoPlayText(path), "");
}

TEST(LoadingProgress, FollowsTheLoadersReports) {
    LoadingProgress progress;
    EXPECT_EQ(progress.phase, kPhaseBuilt);
    struct Step {
        uint32_t code;
        int32_t value;
        const char* phase;
        int32_t rangeEnd;
        int32_t position;
        LoadingProgress::Action action;
    };
    using A = LoadingProgress::Action;
    const Step steps[] = {
        {0, 2, kPhaseLoading, 2, 0, A::None},   {1, 0, kPhaseLoading, 2, 1, A::None},
        {1, 0, kPhaseLoading, 2, 2, A::None},   {2, 3, kPhaseExtracting, 3, 0, A::None},
        {3, 0, kPhaseExtracting, 3, 1, A::None}, {3, 0, kPhaseExtracting, 3, 2, A::None},
        {8, 9, kPhaseExtracting, 3, 2, A::None}, {4, 2, kPhaseStarting, 2, 0, A::None},
        {5, 0, kPhaseStarting, 2, 1, A::None},  {6, 0, kPhaseStarting, 2, 1, A::StartProject},
        {7, 0, kPhaseStarting, 2, 1, A::Close}, {0xFFFFFFFF, 0, kPhaseStarting, 2, 1, A::None},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE("code " + std::to_string(step.code));
        EXPECT_EQ(progress.apply(step.code, step.value), step.action);
        EXPECT_EQ(progress.phase, step.phase);
        EXPECT_EQ(progress.rangeEnd, step.rangeEnd);
        EXPECT_EQ(progress.position, step.position);
    }
}

TEST(DiscDrive, NamesTheLowestDriveOfTheMask) {
    EXPECT_EQ(driveOfUnitMask(1u << 3), "D:");
    EXPECT_EQ(driveOfUnitMask((1u << 25) | (1u << 4)), "E:");
    EXPECT_EQ(driveOfUnitMask(1u << 0), "A:");
    EXPECT_EQ(driveOfUnitMask(1u << 26), "");
    EXPECT_EQ(driveOfUnitMask(0), "");
}

TEST(DiscDrive, ComparesWithTheProgramsDriveWithoutCase) {
    EXPECT_TRUE(isDriveOf("D:", "d:\\Orvane.exe"));
    EXPECT_TRUE(isDriveOf("Z:", "Z:\\tmp\\disc\\Orvane.exe"));
    EXPECT_FALSE(isDriveOf("E:", "D:\\Orvane.exe"));
    EXPECT_FALSE(isDriveOf("", "D:\\Orvane.exe"));
    EXPECT_FALSE(isDriveOf("D:", "\\\\server\\share\\Orvane.exe"));
}

}  // namespace
}  // namespace quillet::launcher
