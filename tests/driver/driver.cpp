#include "driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace quillet::driver {
namespace {

constexpr DWORD kPollMs = 10;

std::string quoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

struct Search {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (!::IsWindowVisible(window)) return TRUE;
    if (search->processId) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner != search->processId) return TRUE;
    }
    if (search->className && className(window) != search->className) return TRUE;
    if (search->caption && windowText(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK collectChild(HWND child, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(child);
    return TRUE;
}

std::vector<HWND> children(HWND window) {
    std::vector<HWND> found;
    ::EnumChildWindows(window, &collectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs) return condition();
        ::Sleep(kPollMs);
    }
}

namespace {

// This process's environment with entries replaced or added, as a block.
std::string environmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> entries;
    char* block = ::GetEnvironmentStringsA();
    for (const char* entry = block; entry && *entry; entry += std::strlen(entry) + 1) entries.push_back(entry);
    if (block) ::FreeEnvironmentStringsA(block);
    for (const std::string& change : changes) {
        const std::string name = change.substr(0, change.find('=') + 1);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::string& e) { return _strnicmp(e.c_str(), name.c_str(), name.size()) == 0; }),
                      entries.end());
        entries.push_back(change);
    }
    std::string result;
    for (const std::string& entry : entries) result += entry + '\0';
    return result + '\0';
}

}  // namespace

bool Process::start(const std::string& program, const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment) {
    kill();
    std::string commandLine = quoteArgument(program);
    for (const std::string& argument : arguments) commandLine += " " + quoteArgument(argument);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string block = environment.empty() ? std::string() : environmentWith(environment);
    if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                          block.empty() ? nullptr : &block[0], nullptr, &startup, &info)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", program.c_str(), ::GetLastError());
        return false;
    }
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool Process::running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Process::waitForExit(int timeoutMs) {
    return process_ && ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeoutMs)) ==
                           WAIT_OBJECT_0;
}

DWORD Process::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Process::kill() {
    if (running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
    process_.reset();
    id_ = 0;
}

HWND findWindow(DWORD processId, const char* wantedClass, const char* caption) {
    Search search{processId, wantedClass, caption, nullptr};
    ::EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(DWORD processId, const char* wantedClass, const char* caption, int timeoutMs) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(processId, wantedClass, caption)) != nullptr; },
              timeoutMs);
    return found;
}

bool waitForWindowGone(HWND window, int timeoutMs) {
    return waitUntil([&] { return !::IsWindow(window); }, timeoutMs);
}

std::string windowText(HWND window) {
    char text[2048] = {};
    // WM_GETTEXT rather than GetWindowText, which does not read the texts of
    // controls in other processes.
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::string className(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<std::string> childTexts(HWND window) {
    std::vector<std::string> texts;
    for (HWND child : children(window)) texts.push_back(windowText(child));
    return texts;
}

std::string messageBoxText(HWND box) {
    constexpr int kMessageTextId = 0xFFFF;
    HWND text = ::GetDlgItem(box, kMessageTextId);
    return text ? windowText(text) : std::string();
}

bool pressButton(HWND dialog, const std::string& text) {
    for (HWND child : children(dialog)) {
        if (className(child) != "Button") continue;
        std::string label = windowText(child);
        std::string plain;
        for (char c : label)
            if (c != '&') plain += c;
        if (plain != text) continue;
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(child), BN_CLICKED),
                       reinterpret_cast<LPARAM>(child));
        return true;
    }
    return false;
}

bool toolbarButtonRect(HWND toolbar, int command, RECT& rect) {
    // The toolbar writes the rectangle through a pointer: it must point into the
    // toolbar's own process.
    DWORD processId = 0;
    ::GetWindowThreadProcessId(toolbar, &processId);
    win32::UniqueHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process) return false;
    void* remote = ::VirtualAllocEx(process.get(), nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return false;
    const bool found = ::SendMessageA(toolbar, TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(remote)) &&
                       ::ReadProcessMemory(process.get(), remote, &rect, sizeof rect, nullptr);
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return found;
}

bool clickToolbarButton(HWND toolbar, int command) {
    RECT button{};
    if (!toolbarButtonRect(toolbar, command, button)) return false;
    // The pointer goes there too, so that the toolbar's tracking of it agrees.
    const int x = (button.left + button.right) / 2, y = (button.top + button.bottom) / 2;
    POINT screen{x, y};
    ::ClientToScreen(toolbar, &screen);
    ::SetCursorPos(screen.x, screen.y);
    postMouse(toolbar, Mouse::Move, x, y);
    click(toolbar, x, y);
    return true;
}

void sendCommand(HWND window, int id) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void pressKey(HWND window, int virtualKey) {
    UINT scan = ::MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    ::PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1 | (scan << 16));
    ::PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), 1 | (scan << 16) | (3u << 30));
}

void typeCharacter(HWND window, char character) {
    ::PostMessageA(window, WM_CHAR, static_cast<unsigned char>(character), 1);
}

void postMouse(HWND window, Mouse what, int x, int y) {
    static const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                    WM_MOUSEMOVE};
    const WPARAM buttons = what == Mouse::LeftDown || what == Mouse::LeftDoubleClick ? MK_LBUTTON
                           : what == Mouse::RightDown                                ? MK_RBUTTON
                                                                                     : 0;
    ::PostMessageA(window, messages[static_cast<int>(what)], buttons, MAKELPARAM(x, y));
}

void click(HWND window, int x, int y) {
    postMouse(window, Mouse::LeftDown, x, y);
    postMouse(window, Mouse::LeftUp, x, y);
}

void holdKey(int virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof input);
}

namespace {

// The screen's pixels of rectangle area.
bool captureScreen(const RECT& area, Pixels& pixels) {
    pixels.width = area.right - area.left;
    pixels.height = area.bottom - area.top;
    if (pixels.width <= 0 || pixels.height <= 0) return false;

    win32::WindowDc screen(nullptr);
    win32::UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
    win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.get(), pixels.width, pixels.height));
    if (!memory || !bitmap) return false;
    {
        win32::ScopedSelect select(memory.get(), bitmap.get());
        if (!::BitBlt(memory.get(), 0, 0, pixels.width, pixels.height, screen.get(), area.left, area.top, SRCCOPY))
            return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.values.assign(static_cast<size_t>(pixels.width) * pixels.height, 0);
    if (!::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, pixels.height,
                     pixels.values.data(), &info, DIB_RGB_COLORS))
        return false;
    for (uint32_t& value : pixels.values) value &= 0x00FFFFFF;
    return true;
}

}  // namespace

bool captureClient(HWND window, Pixels& pixels) {
    RECT client{};
    if (!::GetClientRect(window, &client)) return false;
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    return captureScreen(RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom}, pixels);
}

bool captureWindow(HWND window, Pixels& pixels) {
    RECT bounds{};
    return ::GetWindowRect(window, &bounds) && captureScreen(bounds, pixels);
}

bool saveBitmap(const Pixels& pixels, const std::string& path) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = pixels.width;
    info.biHeight = -pixels.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    DWORD pixelBytes = static_cast<DWORD>(pixels.values.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixelBytes;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.values.data()), pixelBytes);
    return static_cast<bool>(out);
}

}  // namespace quillet::driver
