// The launcher's Windows layer: the shared messages, the message filter, the
// library digest, the viewer library's components as the launcher makes them, and
// the loading window where the system fails it.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <atomic>
#include <fstream>
#include <set>
#include <thread>

#include "launcher/app/win32/launcher_host.h"
#include "launcher/app/win32/library_check.h"
#include "launcher/app/win32/loading_window.h"
#include "launcher/app/win32/message_filter.h"
#include "launcher/interface/message_names.h"
#include "launcher/interface/win32/orvane_viewer.h"
#include "launcher/interface/win32/registered_messages.h"
#include "launcher/project/record_writer.h"
#include "tests/driver/driver.h"

namespace quillet::launcher {
namespace {

TEST(SharedMessages, RegisterInOrderToTheSameNumbersEveryTime) {
    ASSERT_TRUE(registerSharedMessages());
    const UINT* numbers[] = {&MESSAGE_PAUSE_SOUND, &MESSAGE_RESTART_SOUND, &MESSAGE_SUB_MENU_LAUNCHED,
                             &MESSAGE_ACTION_WINDOW_LAUNCHED, &MESSAGE_LAUNCH_OBJECT_ACTIONS,
                             &MESSAGE_LAUNCH_EXISTING_MENU, &BREV_EDIT_INT_LINK, &UPDATE_VOLUME,
                             &BUTTON_ACTION_VIEWER, &BUTTON_ACTION_SEND_EMAIL, &BUTTON_ACTION_CD_AUDIO,
                             &BUTTON_ACTION_EXIT, &BUTTON_ACTION_EXIT_EJECT, &BUTTON_ACTION_PREV_MENU,
                             &UPDATE_LOADING_WINDOW};
    static_assert(sizeof numbers / sizeof numbers[0] == kSharedMessageCount);
    std::set<UINT> distinct;
    for (size_t i = 0; i < kSharedMessageCount; ++i) {
        SCOPED_TRACE(kSharedMessageNames[i]);
        EXPECT_GE(*numbers[i], 0xC000u);
        EXPECT_EQ(*numbers[i], ::RegisterWindowMessageA(kSharedMessageNames[i]));
        distinct.insert(*numbers[i]);
    }
    EXPECT_EQ(distinct.size(), kSharedMessageCount);
    const UINT before = UPDATE_LOADING_WINDOW;
    ASSERT_TRUE(registerSharedMessages());
    EXPECT_EQ(UPDATE_LOADING_WINDOW, before);
}

int g_lookups = 0;
int g_calls = 0;
FARPROC WINAPI countingLookup(HMODULE module, LPCSTR name) {
    ++g_lookups;
    EXPECT_STREQ(name, kFilterFunctionName);
    // The second module has no filter function.
    if (module == reinterpret_cast<HMODULE>(2)) return nullptr;
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(+[](void* message) -> int {
        ++g_calls;
        return static_cast<MSG*>(message)->message == WM_USER + 5 ? 1 : 0;
    }));
}

TEST(MessageFilter, LooksTheFunctionUpOncePerModule) {
    g_lookups = g_calls = 0;
    MessageFilter filter(&countingLookup);
    MSG taken{};
    taken.message = WM_USER + 5;
    MSG left{};
    left.message = WM_USER + 6;
    EXPECT_FALSE(filter.filter(taken));
    EXPECT_EQ(g_lookups, 0);

    filter.setModule(reinterpret_cast<HMODULE>(1));
    EXPECT_TRUE(filter.filter(taken));
    EXPECT_FALSE(filter.filter(left));
    EXPECT_TRUE(filter.filter(taken));
    EXPECT_EQ(g_lookups, 1);
    EXPECT_EQ(g_calls, 3);

    filter.setModule(reinterpret_cast<HMODULE>(2));
    EXPECT_FALSE(filter.filter(taken));
    EXPECT_FALSE(filter.filter(taken));
    EXPECT_EQ(g_lookups, 2);
    EXPECT_EQ(g_calls, 3);
}

TEST(LibraryCheck, DigestsAFileWithSha256) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "orvane_digest.txt";
    std::ofstream(path, std::ios::binary) << "abc";
    EXPECT_EQ(fileDigest(path), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    ::DeleteFileA(path.c_str());
    EXPECT_EQ(fileDigest(path), "");
    // The library this program runs with is the one the build took the digest of.
    EXPECT_EQ(fileDigest(loadedModulePath("OrvaneV.dll")), kViewerLibraryDigest);
}

TEST(ViewerLibrary, MakesAComponentOfEveryKindItHas) {
    LauncherHost host(nullptr);
    for (int32_t kind : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 98, 99}) EXPECT_TRUE(host.createComponent(kind)) << kind;
    for (int32_t kind : {-1, 11, 42, 97, 100}) EXPECT_FALSE(host.createComponent(kind)) << kind;
    EXPECT_TRUE(dynamic_cast<CWebViewer*>(host.createComponent(2)));
    EXPECT_TRUE(dynamic_cast<viewer::SettingsComponent*>(host.createComponent(98)));
    EXPECT_TRUE(dynamic_cast<viewer::SecurityComponent*>(host.createComponent(99)));
}

TEST(ViewerLibrary, ContentComponentsShowWhatTheyAre) {
    LauncherHost host(nullptr);
    auto* settings = static_cast<viewer::SettingsComponent*>(host.createComponent(98));
    auto* security = static_cast<viewer::SecurityComponent*>(host.createComponent(99));
    settings->security = security;
    security->setWorkingPath("Orvane\\Library Test");
    security->prepare();
    auto* content = dynamic_cast<ContentViewer*>(host.createComponent(9));
    ASSERT_TRUE(content);
    project::RecordWriter records;
    records.text("Logo");
    records.text("logo.bmp");
    project::RecordReader reader;
    reader.openBytes(records.bytes());
    content->setFirstValue(1);
    content->attachSettings(settings);
    content->readRecords(reader, 3, 0, 4);
    EXPECT_EQ(content->listText(), "Logo (Picture): logo.bmp");
    const std::string folder = security->targetFolder();
    EXPECT_EQ(folder.substr(folder.size() - 20), "\\Orvane\\Library Test");
    EXPECT_EQ(content->itemPath(), folder + "\\logo.bmp");
    content->setFirstValue(0);
    EXPECT_EQ(content->listText(), "Logo (Picture)");
}

TEST(ViewerLibrary, TheSecurityComponentKnowsAFileThatIsCurrent) {
    LauncherHost host(nullptr);
    auto* security = static_cast<viewer::SecurityComponent*>(host.createComponent(99));
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "orvane_current.txt";
    std::ofstream(path, std::ios::binary) << "twelve bytes";
    const int64_t when = 1700000000;  // seconds since 1970
    const uint64_t ticks = (static_cast<uint64_t>(when) + 11644473600ull) * 10000000ull;
    {
        HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        ::SetFileTime(file, nullptr, nullptr, &time);
        ::CloseHandle(file);
    }
    EXPECT_TRUE(security->isCurrent(path.c_str(), 12, when));
    EXPECT_FALSE(security->isCurrent(path.c_str(), 11, when));
    EXPECT_FALSE(security->isCurrent(path.c_str(), 12, when + 2));
    EXPECT_FALSE(security->isCurrent(folder, 0, when));
    ::DeleteFileA(path.c_str());
    EXPECT_FALSE(security->isCurrent(path.c_str(), 12, when));
    EXPECT_EQ(security->targetName("pages/index.html"), "pages\\index.html");
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The windows of thread, visible or not.
std::vector<HWND> threadWindows(DWORD thread) {
    std::vector<HWND> windows;
    ::EnumThreadWindows(thread, collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Without OLE nothing loads, and the window stays invisible: the launcher must say so
// and end rather than run for good where no one can see or close it.
TEST(LoadingWindow, WithoutOleItReportsAndEnds) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    std::atomic<DWORD> thread{0};
    std::atomic<bool> ended{false};
    std::thread launcher([&] {
        // OLE needs a single-threaded apartment; a thread in the multithreaded one cannot start it.
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        thread = ::GetCurrentThreadId();
        LoadingWindow window("");
        window.run();
        ::CoUninitialize();
        ended = true;
    });
    HWND box = nullptr;
    driver::waitUntil([&] {
        for (HWND window : threadWindows(thread))
            if (!driver::messageBoxText(window).empty()) box = window;
        return box != nullptr;
    }, 10000);
    const std::string text = box ? driver::messageBoxText(box) : std::string();
    if (box) driver::pressButton(box, "OK");
    const bool endedByItself = driver::waitUntil([&] { return ended.load(); }, 10000);
    // A window left running is closed from here, so that the test itself ends.
    if (!endedByItself)
        for (HWND window : threadWindows(thread)) ::PostMessageA(window, WM_CLOSE, 0, 0);
    launcher.join();
    EXPECT_EQ(text, kNoOleText);
    EXPECT_TRUE(endedByItself);
}

}  // namespace
}  // namespace quillet::launcher
