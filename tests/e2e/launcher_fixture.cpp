#include "launcher_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillet::e2e {
namespace {

namespace fs = std::filesystem;

std::string g_discs;

std::string tempFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return temp;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* caption;
    int childId;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || driver::className(window) != search->className) return TRUE;
    if (search->caption && driver::windowText(window) != search->caption) return TRUE;
    if (search->childId && !::GetDlgItem(window, search->childId)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

void setDiscsFolder(const std::string& path) {
    if (path.empty() || path[0] != '/') {
        g_discs = path;
        return;
    }
    g_discs = "Z:" + path;
    for (char& c : g_discs)
        if (c == '/') c = '\\';
}

void LauncherTest::SetUp() {
    ASSERT_FALSE(g_discs.empty()) << "run with --discs=FOLDER";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = tempFolder() + "orvane_e2e_" + info->name();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
    fs::create_directories(folder_);
    log_ = folder_ + "\\launcher.log";
    fs::remove_all(targetFolder(kMainProject), ignored);
}

void LauncherTest::TearDown() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string LauncherTest::copyDisc(const std::string& name) {
    const std::string disc = folder_ + "\\" + name;
    fs::copy(g_discs + "\\" + name, disc, fs::copy_options::recursive);
    return disc;
}

void LauncherTest::writeAutoPlay(const std::string& disc, const std::string& startupLine) {
    std::ofstream(disc + "\\autorun.inf", std::ios::binary)
        << "[autorun]\r\nopen=Orvane.exe \"" << startupLine << "\"\r\nicon=Orvane.exe,0\r\n";
}

bool LauncherTest::start(driver::Process& process, const std::string& disc) {
    return process.start(disc + "\\Orvane.exe", {}, {"ORVANE_LOG=" + log_});
}

std::vector<std::string> LauncherTest::logLines() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int LauncherTest::logCount(const std::string& wanted) const {
    int count = 0;
    for (const std::string& line : logLines()) count += line == wanted;
    return count;
}

HWND LauncherTest::findWindow(DWORD processId, const char* className, const char* caption, int childId) {
    WindowSearch search{processId, className, caption, childId, nullptr};
    ::EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND LauncherTest::waitForLoadingWindow(const driver::Process& process) {
    HWND found = nullptr;
    driver::waitUntil([&] { return (found = findWindow(process.id(), kDialogClass, kLauncherCaption, kProgressControl)); });
    return found;
}

HWND LauncherTest::waitForProject(const driver::Process& process, const char* title) {
    return driver::waitForWindow(process.id(), kProjectClass, title);
}

HWND LauncherTest::waitForMessageBox(const driver::Process& process, const char* caption, std::string& text) {
    HWND box = nullptr;
    driver::waitUntil([&] {
        box = findWindow(process.id(), kDialogClass, caption, kMessageBoxText);
        return box && ::IsWindowVisible(box);
    });
    text = box ? driver::messageBoxText(box) : std::string();
    return box;
}

std::vector<std::string> LauncherTest::projectLines(HWND project) {
    std::vector<std::string> lines;
    HWND list = ::FindWindowExA(project, nullptr, "ListBox", nullptr);
    if (!list) return lines;
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    // Read as wide text: across processes Wine hands the list's text over in UTF-16.
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[1024] = {};
        if (::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) >= 1024) continue;
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        char text[2048] = {};
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        lines.emplace_back(text);
    }
    return lines;
}

void LauncherTest::closeProject(driver::Process& process, HWND project) {
    ASSERT_TRUE(project);
    ::PostMessageA(project, WM_CLOSE, 0, 0);
    EXPECT_TRUE(process.waitForExit()) << "the launcher did not end after its project window closed";
    EXPECT_EQ(process.exitCode(), 0u);
}

std::string LauncherTest::targetFolder(const std::string& project) { return tempFolder() + "Orvane\\" + project; }

size_t LauncherTest::filesUnder(const std::string& folder) {
    size_t files = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        files += it->is_regular_file();
    return files;
}

std::string LauncherTest::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace quillet::e2e
