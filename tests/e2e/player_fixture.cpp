#include "player_fixture.h"

#include <fstream>
#include <sstream>

namespace quillet::e2e {
namespace {

std::string g_playerPath;
std::string g_producerPath;
std::string g_movietoolPath;
std::string g_recorderPath;

std::string windowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string converted = "Z:" + path;
    for (char& c : converted)
        if (c == '/') c = '\\';
    return converted;
}

}  // namespace

const std::string& playerPath() { return g_playerPath; }
void setPlayerPath(const std::string& path) { g_playerPath = windowsPath(path); }
const std::string& producerPath() { return g_producerPath; }
void setProducerPath(const std::string& path) { g_producerPath = windowsPath(path); }
const std::string& movietoolPath() { return g_movietoolPath; }
void setMovietoolPath(const std::string& path) { g_movietoolPath = windowsPath(path); }
const std::string& recorderPath() { return g_recorderPath; }
void setRecorderPath(const std::string& path) { g_recorderPath = windowsPath(path); }

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void PlayerTest::SetUp() {
    ASSERT_FALSE(playerPath().empty()) << "run with --player=PATH";
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::string(temp) + "quillet_e2e_" + info->test_suite_name() + "_" + info->name();
    ::CreateDirectoryA(folder_.c_str(), nullptr);
}

void PlayerTest::TearDown() {
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((folder_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            ::DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder_.c_str());
}

std::string PlayerTest::packedPlayer(const std::string& name, const std::string& movie) {
    std::string path = folder_ + "\\" + name;
    const std::string bytes = packMovie(readFileBytes(playerPath()), movie);
    writeFileBytes(path, bytes);
    EXPECT_EQ(readFileBytes(path).size(), bytes.size()) << "could not write " << path;
    return path;
}

std::string PlayerTest::plainPlayer(const std::string& name) {
    std::string path = folder_ + "\\" + name;
    EXPECT_TRUE(::CopyFileA(playerPath().c_str(), path.c_str(), FALSE))
        << "could not copy the player to " << path << ": error " << ::GetLastError();
    return path;
}

HWND PlayerTest::waitForBox(const driver::Process& process, const char* caption, std::string& text) {
    HWND box = driver::waitForWindow(process.id(), kDialogClass, caption);
    text = box ? driver::messageBoxText(box) : std::string();
    return box;
}

HWND PlayerTest::waitForMainWindow(const driver::Process& process) {
    return driver::waitForWindow(process.id(), kDialogClass, kMainCaption);
}

HWND PlayerTest::waitForView(const driver::Process& process, int timeoutMs) {
    return driver::waitForWindow(process.id(), kViewClass, nullptr, timeoutMs);
}

void PlayerTest::closePlayer(driver::Process& process) {
    HWND main = waitForMainWindow(process);
    ASSERT_TRUE(main) << "no main window";
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(process.waitForExit()) << "the player did not end after its window closed";
    EXPECT_EQ(process.exitCode(), 0u);
}

}  // namespace quillet::e2e
