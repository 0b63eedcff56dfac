// The launcher started for real from disc folders made by the project builder.

#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "launcher_fixture.h"

namespace quillet::e2e {
namespace {

using driver::Process;
namespace fs = std::filesystem;

const char kDamagedLibraryText[] =
    "The viewer library OrvaneV.dll beside this program is damaged or is not the one it was made with. "
    "The disc cannot be started.";

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Pixels of the icon's blue ring inside the icon control.
int iconRingPixels(HWND window) {
    driver::Pixels pixels;
    if (!driver::captureClient(window, pixels)) return 0;
    RECT icon{};
    ::GetWindowRect(::GetDlgItem(window, kIconControl), &icon);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&icon), 2);
    int ring = 0;
    for (int y = std::max(0L, icon.top); y < std::min<long>(pixels.height, icon.bottom); ++y)
        for (int x = std::max(0L, icon.left); x < std::min<long>(pixels.width, icon.right); ++x) {
            const uint32_t p = pixels.at(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            ring += r < 80 && g > 60 && g < 130 && b > 170;
        }
    return ring;
}

void setLastWriteTime(const std::string& path, const FILETIME& time) {
    HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
}

FILETIME lastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void sendRemoval(HWND window, char drive) {
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (std::toupper(static_cast<unsigned char>(drive)) - 'A');
    volume.dbcv_flags = DBTF_MEDIA;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume),
                          SMTO_ABORTIFHUNG, 10000, &result);
}

TEST_F(LauncherTest, WithoutADescriptionTheWindowStaysWithItsTextsAndIconUntilClosed) {
    const std::string disc = copyDisc("main");
    fs::remove(disc + "\\orvane.dat");
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    HWND window = driver::waitForWindow(launcher.id(), kDialogClass, kLauncherCaption);
    ASSERT_TRUE(window);
    ASSERT_TRUE(driver::waitUntil([&] { return driver::windowText(::GetDlgItem(window, 1002)) == "Loading"; }));
    const std::vector<std::string> texts = driver::childTexts(window);
    EXPECT_TRUE(contains(texts, "Launcher Test"));
    EXPECT_TRUE(contains(texts, "Test Company"));
    // The window may be on the screen a moment before its icon has painted.
    EXPECT_TRUE(driver::waitUntil([&] { return iconRingPixels(window) > 20; })) << "no icon in the window";
    EXPECT_TRUE(logLines().empty());
    // No taskbar button: a tool window.
    EXPECT_TRUE(::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    ::PostMessageA(window, WM_SYSCOMMAND, 16, 0);
    HWND about = driver::waitForWindow(launcher.id(), kDialogClass, "About Orvane");
    ASSERT_TRUE(about);
    EXPECT_TRUE(contains(driver::childTexts(about), "Orvane 3"));
    ASSERT_TRUE(driver::pressButton(about, "OK"));
    ASSERT_TRUE(driver::waitForWindowGone(about));

    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.waitForExit());
    EXPECT_EQ(launcher.exitCode(), 0u);
}

TEST_F(LauncherTest, InvisibleWithoutADescriptionTheLauncherEnds) {
    const std::string disc = copyDisc("main");
    fs::remove(disc + "\\orvane.dat");
    writeAutoPlay(disc, "0,Launcher Test,Test Company");
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    EXPECT_TRUE(launcher.waitForExit());
}

TEST_F(LauncherTest, ShowWindowZeroRunsTheWholeLoadInvisible) {
    const std::string disc = copyDisc("main");
    writeAutoPlay(disc, "0,Launcher Test,Test Company");
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    bool everVisible = false;
    HWND project = nullptr;
    driver::waitUntil([&] {
        everVisible = everVisible || driver::findWindow(launcher.id(), kDialogClass, kLauncherCaption);
        project = driver::findWindow(launcher.id(), kProjectClass, kMainTitle);
        return project != nullptr;
    });
    ASSERT_TRUE(project);
    EXPECT_FALSE(everVisible);
    HWND loading = findWindow(launcher.id(), kDialogClass, kLauncherCaption, kProgressControl);
    ASSERT_TRUE(loading);
    EXPECT_FALSE(::IsWindowVisible(loading));
    EXPECT_EQ(logCount("report 6 0"), 1);
    closeProject(launcher, project);
}

TEST_F(LauncherTest, ExtractsThreeFilesAndTwoFoldersInFiveStepsAndShowsTheProject) {
    const std::string disc = copyDisc("main");
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    HWND loading = waitForLoadingWindow(launcher);
    ASSERT_TRUE(loading);
    HWND project = waitForProject(launcher);
    ASSERT_TRUE(project);
    EXPECT_FALSE(::IsWindowVisible(loading));
    EXPECT_EQ(logCount("report 0 2"), 1);
    EXPECT_EQ(logCount("report 2 3"), 1);
    EXPECT_EQ(logCount("report 3 0"), 5);
    EXPECT_EQ(logCount("report 4 2"), 1);
    EXPECT_EQ(logCount("report 5 0"), 2);
    const std::string target = targetFolder(kMainProject);
    EXPECT_EQ(filesUnder(target), 3u);
    EXPECT_EQ(readFile(target + "\\pages\\index.html"), "<html><body><h1>Index</h1></body></html>\n");

    const std::vector<std::string> lines = projectLines(project);
    EXPECT_TRUE(contains(lines, "pages (Folder): pages"));
    EXPECT_TRUE(contains(lines, "pictures (Slide show): pictures"));
    EXPECT_TRUE(contains(lines, "File: pages\\index.html"));
    EXPECT_TRUE(contains(lines, "File: pictures\\logo.bmp"));
    closeProject(launcher, project);
}

TEST_F(LauncherTest, FilesPresentAndCurrentAreNotExtractedAgainButStillRecorded) {
    const std::string disc = copyDisc("main");
    const std::string target = targetFolder(kMainProject);
    {
        Process first;
        ASSERT_TRUE(start(first, disc));
        closeProject(first, waitForProject(first));
    }
    // Same size and time, other bytes: extracted again, they would be the archive's.
    const std::string kept = target + "\\pages\\index.html", changed = target + "\\pages\\about.html";
    const std::string original = readFile(kept);
    const FILETIME time = lastWriteTime(kept);
    std::string altered = original;
    std::replace(altered.begin(), altered.end(), 'I', 'X');
    std::ofstream(kept, std::ios::binary | std::ios::trunc) << altered;
    setLastWriteTime(kept, time);
    std::ofstream(changed, std::ios::binary | std::ios::trunc) << "short";

    Process second;
    ASSERT_TRUE(start(second, disc));
    HWND project = waitForProject(second);
    ASSERT_TRUE(project);
    EXPECT_EQ(readFile(kept), altered);
    EXPECT_NE(readFile(changed), "short");
    EXPECT_TRUE(contains(projectLines(project), "File: pages\\index.html"));
    closeProject(second, project);
}

TEST_F(LauncherTest, AWrongArchiveAbandonsTheLoadAndTheLauncherEnds) {
    const std::string disc = copyDisc("wrong");
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    EXPECT_TRUE(launcher.waitForExit());
    EXPECT_EQ(logCount("report 7 0"), 1);
    EXPECT_EQ(logCount("report 6 0"), 0);
    EXPECT_EQ(filesUnder(targetFolder(kMainProject)), 0u);
}

TEST_F(LauncherTest, ACutDescriptionAbandonsTheLoad) {
    const std::string disc = copyDisc("main");
    const std::string description = readFile(disc + "\\orvane.dat");
    std::ofstream(disc + "\\orvane.dat", std::ios::binary | std::ios::trunc)
        << description.substr(0, description.size() / 2);
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    EXPECT_TRUE(launcher.waitForExit());
    ASSERT_FALSE(logLines().empty());
    EXPECT_EQ(logLines().back(), "report 7 0");
    EXPECT_EQ(filesUnder(targetFolder(kMainProject)), 0u);
}

TEST_F(LauncherTest, ARemovalNoticeClosesTheProjectOnlyForTheLaunchersDrive) {
    const std::string disc = copyDisc("main");
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    HWND project = waitForProject(launcher);
    ASSERT_TRUE(project);
    HWND loading = waitForLoadingWindow(launcher);
    ASSERT_TRUE(loading);
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(disc[0])));
    sendRemoval(loading, drive == 'Q' ? 'R' : 'Q');
    EXPECT_TRUE(::IsWindow(project));
    EXPECT_TRUE(launcher.running());
    EXPECT_EQ(logCount("note disc removed from " + std::string(1, drive) + ":"), 0);

    sendRemoval(loading, static_cast<char>(std::tolower(static_cast<unsigned char>(drive))));
    EXPECT_TRUE(driver::waitForWindowGone(project));
    EXPECT_TRUE(launcher.waitForExit());
    EXPECT_EQ(logCount("note disc removed from " + std::string(1, drive) + ":"), 1);
}

TEST_F(LauncherTest, ADamagedViewerLibraryIsReportedAndNothingLoads) {
    const std::string disc = copyDisc("main");
    std::ofstream(disc + "\\OrvaneV.dll", std::ios::binary | std::ios::app) << "tampered";
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    std::string text;
    HWND box = waitForMessageBox(launcher, kLauncherCaption, text);
    ASSERT_TRUE(box);
    EXPECT_EQ(text, kDamagedLibraryText);
    ASSERT_TRUE(driver::pressButton(box, "OK"));
    EXPECT_TRUE(launcher.waitForExit());
    EXPECT_EQ(logCount("report 0 2"), 0);
    EXPECT_EQ(filesUnder(targetFolder(kMainProject)), 0u);
}

TEST_F(LauncherTest, AnExpiredProjectIsRefusedByItsSecurityComponent) {
    const std::string disc = copyDisc("expired");
    std::error_code ignored;
    fs::remove_all(targetFolder("E2E Expired"), ignored);
    Process launcher;
    ASSERT_TRUE(start(launcher, disc));
    std::string text;
    HWND box = waitForMessageBox(launcher, kLauncherCaption, text);
    ASSERT_TRUE(box);
    EXPECT_EQ(text, "This disc's project expired on 2001-01-01.");
    ASSERT_TRUE(driver::pressButton(box, "OK"));
    EXPECT_TRUE(launcher.waitForExit());
    EXPECT_EQ(logCount("report 7 0"), 1);
    EXPECT_EQ(filesUnder(targetFolder("E2E Expired")), 0u);
}

}  // namespace
}  // namespace quillet::e2e
