#pragma once
// The main window's toolbar: its buttons, normal and disabled images, tooltips,
// button states and the play/pause look of the Play/Pause button.

#include <windows.h>
#include <commctrl.h>

#include "common/unique_resource.h"
#include "player/app/controller_rules.h"

namespace quillet {

struct ImageListTraits {
    static HIMAGELIST invalid() { return nullptr; }
    static void close(HIMAGELIST list) { ::ImageList_Destroy(list); }
};
using UniqueImageList = UniqueResource<HIMAGELIST, ImageListTraits>;

class MainToolbar {
public:
    // Creates the toolbar docked at the top of parent.
    bool create(HWND parent);
    HWND handle() const { return toolbar_; }
    // The width all buttons need side by side, and the toolbar's height.
    SIZE idealSize() const;
    int height() const;
    void autoSize();

    void setStates(const CommandStates& states);
    // Shows the pause look while busy, the play look otherwise.
    void showBusy(bool busy);
    // Fills a tooltip request (WM_NOTIFY with TTN_GETDISPINFO); false for others.
    static bool fillTooltip(LPARAM notification);

private:
    HWND toolbar_ = nullptr;
    UniqueImageList images_;
    UniqueImageList disabledImages_;
};

}  // namespace quillet
