#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "player/app/win32/quillet_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);

    quillet::QuilletApp app;
    app.InitInstance(arguments);
    app.ExitInstance();
    return 0;
}
