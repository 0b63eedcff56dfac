// qdriver: the test driver for scripts. Waits for windows, reads their texts,
// presses buttons, closes windows and saves their pixels.
//
//   qdriver wait CLASS CAPTION [TIMEOUT_MS]   prints the window handle ("-" matches any)
//   qdriver text HWND | texts HWND | box HWND
//   qdriver press HWND LABEL
//   qdriver close HWND | command HWND ID | key HWND VK | char HWND C
//   qdriver capture HWND OUT.bmp | capture-window HWND OUT.bmp   (client area, or all)
//   qdriver click HWND X Y | drag HWND X1 Y1 X2 Y2      (client coordinates)
//   qdriver settle HWND QUIET_MS [TIMEOUT_MS]   waits until the picture stays the same
//   qdriver wait-capture CLASS CAPTION OUT.bmp [TIMEOUT_MS]
//                                  waits for the window and saves it once it is drawn,
//                                  without asking anything of the window's program

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "driver.h"

using namespace quillet::driver;

namespace {

HWND parseWindow(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(text, nullptr, 0)));
}

const char* anyOr(const char* text) { return std::string(text) == "-" ? nullptr : text; }

// Whether the window's picture stays unchanged for quietMs within timeoutMs.
bool settle(HWND window, int quietMs, int timeoutMs) {
    Pixels last;
    DWORD sameSince = ::GetTickCount();
    return waitUntil(
        [&] {
            Pixels now;
            if (!captureClient(window, now)) return false;
            if (now.width != last.width || now.height != last.height || now.values != last.values) {
                last = std::move(now);
                sameSince = ::GetTickCount();
                return false;
            }
            return static_cast<int>(::GetTickCount() - sameSince) >= quietMs;
        },
        timeoutMs);
}

int usage() {
    std::fputs("usage: qdriver wait CLASS CAPTION [TIMEOUT_MS] | text HWND | texts HWND | box HWND"
               " | press HWND LABEL | close HWND | command HWND ID | key HWND VK | char HWND C"
               " | capture HWND OUT.bmp | capture-window HWND OUT.bmp"
               " | wait-capture CLASS CAPTION OUT.bmp [TIMEOUT_MS]"
               " | click HWND X Y | drag HWND X1 Y1 X2 Y2 | settle HWND QUIET_MS [TIMEOUT_MS]\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    std::string command = argv[1];
    if (command == "wait" && argc >= 4) {
        int timeout = argc >= 5 ? std::atoi(argv[4]) : kDefaultTimeoutMs;
        HWND window = waitForWindow(0, anyOr(argv[2]), anyOr(argv[3]), timeout);
        if (!window) return 1;
        std::printf("0x%lx\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
        return 0;
    }
    if (command == "wait-capture" && argc >= 5) {
        int timeout = argc >= 6 ? std::atoi(argv[5]) : kDefaultTimeoutMs;
        HWND window = waitForWindow(0, anyOr(argv[2]), anyOr(argv[3]), timeout);
        Pixels pixels;
        // Drawn: more than a background's one or two colours.
        auto drawn = [&] {
            if (!window || !captureClient(window, pixels)) return false;
            std::set<uint32_t> colours(pixels.values.begin(), pixels.values.end());
            return colours.size() > 2;
        };
        if (!waitUntil(drawn, timeout) || !saveBitmap(pixels, argv[4])) return 1;
        std::printf("0x%lx\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
        return 0;
    }
    HWND window = parseWindow(argv[2]);
    if (!::IsWindow(window)) {
        std::fprintf(stderr, "qdriver: no window %s\n", argv[2]);
        return 1;
    }
    if (command == "text") {
        std::printf("%s\n", windowText(window).c_str());
    } else if (command == "texts") {
        for (const std::string& text : childTexts(window)) std::printf("%s\n", text.c_str());
    } else if (command == "box") {
        std::printf("%s\n", messageBoxText(window).c_str());
    } else if (command == "press" && argc >= 4) {
        return pressButton(window, argv[3]) ? 0 : 1;
    } else if (command == "close") {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    } else if (command == "command" && argc >= 4) {
        sendCommand(window, std::atoi(argv[3]));
    } else if (command == "key" && argc >= 4) {
        pressKey(window, std::atoi(argv[3]));
    } else if (command == "char" && argc >= 4) {
        typeCharacter(window, argv[3][0]);
    } else if (command == "capture" && argc >= 4) {
        Pixels pixels;
        if (!captureClient(window, pixels) || !saveBitmap(pixels, argv[3])) return 1;
    } else if (command == "capture-window" && argc >= 4) {
        Pixels pixels;
        if (!captureWindow(window, pixels) || !saveBitmap(pixels, argv[3])) return 1;
    } else if (command == "click" && argc >= 5) {
        click(window, std::atoi(argv[3]), std::atoi(argv[4]));
    } else if (command == "drag" && argc >= 7) {
        const int x1 = std::atoi(argv[3]), y1 = std::atoi(argv[4]), x2 = std::atoi(argv[5]), y2 = std::atoi(argv[6]);
        postMouse(window, Mouse::LeftDown, x1, y1);
        postMouse(window, Mouse::Move, (x1 + x2) / 2, (y1 + y2) / 2);
        postMouse(window, Mouse::LeftUp, x2, y2);
    } else if (command == "settle" && argc >= 4) {
        return settle(window, std::atoi(argv[3]), argc >= 5 ? std::atoi(argv[4]) : kDefaultTimeoutMs) ? 0 : 1;
    } else {
        return usage();
    }
    return 0;
}
