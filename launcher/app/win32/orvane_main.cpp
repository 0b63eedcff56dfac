#include <windows.h>
#include <commctrl.h>

#include "launcher/app/win32/loading_window.h"
#include "launcher/interface/win32/registered_messages.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // The shared messages exist before any window does.
    quillet::launcher::registerSharedMessages();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    quillet::launcher::LoadingWindow window(commandLine ? commandLine : "");
    window.run();
    return 0;
}
