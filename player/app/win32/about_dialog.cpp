#include "player/app/win32/about_dialog.h"

#include "player/app/maker_addresses.h"
#include "player/app/win32/shell_open.h"
#include "player/app/win32/resource.h"

namespace quillet {

void AboutDialog::run(HWND owner) { runModal(IDD_ABOUT, owner); }

void AboutDialog::onCommand(int id, int, HWND) {
    switch (id) {
    case IDOK:
    case IDCANCEL: endModal(id); break;
    case ID_ABOUT_WEB: openWithShell(handle(), kMakerWebSite); break;
    case ID_SUPPORT_MAIL: openWithShell(handle(), mailCommand(kMakerSupportAddress)); break;
    default: break;
    }
}

}  // namespace quillet
