#include "launcher/interface/win32/registered_messages.h"
#include "launcher/viewer/win32/component_state.h"

namespace quillet::viewer {

namespace {
constexpr char kComponentWindowClass[] = "OrvaneComponent";
}  // namespace

bool ComponentWindow::createHidden(uint32_t style, const ComponentArea& area, HWND owner) {
    // A window that is not a child has no identifier; the component's is implied.
    style &= ~static_cast<uint32_t>(WS_VISIBLE);
    return create(kComponentWindowClass, 0, style, "", area.left, area.top, area.right - area.left,
                  area.bottom - area.top, owner);
}

LRESULT ComponentWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && (message == launcher::BUTTON_ACTION_EXIT || message == launcher::BUTTON_ACTION_EXIT_EJECT)) {
        if (exitRequest_) exitRequest_();
        return 0;
    }
    return defaultMessage(message, wParam, lParam);
}

}  // namespace quillet::viewer
