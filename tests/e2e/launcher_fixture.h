#pragma once
// Runs the real launcher on disc folders made by the project builder, and watches
// it from outside: its windows, its log of reports and the files it extracts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"

namespace quillet::e2e {

void setDiscsFolder(const std::string& path);

constexpr char kDialogClass[] = "#32770";
constexpr char kLauncherCaption[] = "Orvane";
constexpr char kProjectClass[] = "OrvaneProject";
constexpr char kMainTitle[] = "Launcher Test";
constexpr char kMainProject[] = "E2E Main";
constexpr int kProgressControl = 1003;
constexpr int kIconControl = 1004;
constexpr int kMessageBoxText = 0xFFFF;

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A copy of a prepared disc in the test's folder; returns the copy's path.
    std::string copyDisc(const std::string& name);
    void writeAutoPlay(const std::string& disc, const std::string& startupLine);
    bool start(driver::Process& process, const std::string& disc);

    std::vector<std::string> logLines() const;
    int logCount(const std::string& line) const;

    // A window of the process, visible or not, with the class and caption and a
    // child of the given identifier.
    static HWND findWindow(DWORD processId, const char* className, const char* caption, int childId);
    HWND waitForLoadingWindow(const driver::Process& process);
    HWND waitForProject(const driver::Process& process, const char* title = kMainTitle);
    // A message box of the process captioned caption; text receives its text.
    HWND waitForMessageBox(const driver::Process& process, const char* caption, std::string& text);
    // The lines of the project window's list.
    static std::vector<std::string> projectLines(HWND project);
    // Closes the project window and expects the launcher to end.
    void closeProject(driver::Process& process, HWND project);

    static std::string targetFolder(const std::string& project);
    static size_t filesUnder(const std::string& folder);
    static std::string readFile(const std::string& path);

    std::string folder_;
    std::string log_;
};

}  // namespace quillet::e2e
