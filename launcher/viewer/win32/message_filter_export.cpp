#include "launcher/interface/win32/orvane_viewer.h"
#include "launcher/viewer/win32/project_window.h"

extern "C" int FilterDllMsg(void* message) {
    quillet::viewer::ProjectWindow* window = quillet::viewer::ProjectWindow::current();
    return message && window && window->filterMessage(*static_cast<const MSG*>(message)) ? 1 : 0;
}
