#include "player/app/win32/main_toolbar.h"

#include <cstring>
#include <string>

#include "common/win32/handles.h"
#include "common/win32/string_resources.h"
#include "player/app/win32/resource.h"

namespace quillet {
namespace {

constexpr int kImageWidth = 22;
constexpr int kImageHeight = 20;
constexpr int kButtonWidth = 29;
constexpr int kButtonHeight = 27;
constexpr int kImageCount = 10;
constexpr int kPlayPauseImage = 3;
constexpr COLORREF kTransparent = RGB(255, 0, 255);
constexpr size_t kTooltipLength = 80;

struct ButtonSpec {
    int command;  // 0: a separator
    int image;
};
// Toolbar positions 0 to 9.
constexpr ButtonSpec kButtons[] = {
    {ID_VISIT_WEB, 9}, {0, 0}, {ID_FILE_OPEN, 0}, {ID_PROPERTIES, 2}, {0, 0},
    {ID_PLAY_PAUSE, 3}, {ID_STOP, 5}, {0, 0}, {ID_SETUP, 6}, {ID_INFO, 7},
};

UniqueImageList loadImageStrip(int bitmapId) {
    UniqueImageList list(::ImageList_Create(kImageWidth, kImageHeight, ILC_COLOR24 | ILC_MASK, kImageCount, 0));
    win32::UniqueGdiObject strip(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId)));
    if (list && strip) ::ImageList_AddMasked(list.get(), static_cast<HBITMAP>(strip.get()), kTransparent);
    return list;
}

}  // namespace

bool MainToolbar::create(HWND parent) {
    const DWORD style = WS_CHILD | WS_VISIBLE | CCS_TOP | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_WRAPABLE |
                        TBSTYLE_TOOLTIPS;
    toolbar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    if (!toolbar_) return false;
    ::SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(kImageWidth, kImageHeight));
    ::SendMessageA(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(kButtonWidth, kButtonHeight));
    images_ = loadImageStrip(IDB_TOOLBAR);
    disabledImages_ = loadImageStrip(IDB_TOOLBAR_DISABLED);
    ::SendMessageA(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
    ::SendMessageA(toolbar_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabledImages_.get()));

    TBBUTTON buttons[std::size(kButtons)] = {};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        if (kButtons[i].command == 0) {
            buttons[i].fsStyle = BTNS_SEP;
        } else {
            buttons[i].iBitmap = kButtons[i].image;
            buttons[i].idCommand = kButtons[i].command;
            buttons[i].fsState = TBSTATE_ENABLED;
            buttons[i].fsStyle = BTNS_BUTTON;
        }
    }
    ::SendMessageA(toolbar_, TB_ADDBUTTONSA, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    ::SendMessageA(toolbar_, TB_ENABLEBUTTON, ID_FILE_OPEN, FALSE);
    autoSize();
    return true;
}

SIZE MainToolbar::idealSize() const {
    SIZE size{};
    ::SendMessageA(toolbar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    return size;
}

int MainToolbar::height() const {
    RECT bounds{};
    ::GetWindowRect(toolbar_, &bounds);
    return bounds.bottom - bounds.top;
}

void MainToolbar::autoSize() { ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0); }

void MainToolbar::setStates(const CommandStates& states) {
    const std::pair<int, bool> commands[] = {
        {ID_FILE_OPEN, states.open}, {ID_PROPERTIES, states.properties}, {ID_PLAY_PAUSE, states.playPause},
        {ID_STOP, states.stop},      {ID_SETUP, states.setup},           {ID_INFO, states.info},
    };
    for (const auto& [command, enabled] : commands) {
        const bool now = ::SendMessageA(toolbar_, TB_ISBUTTONENABLED, command, 0) != 0;
        if (now != enabled) ::SendMessageA(toolbar_, TB_ENABLEBUTTON, command, enabled ? TRUE : FALSE);
    }
}

void MainToolbar::showBusy(bool busy) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    win32::UniqueGdiObject picture(::LoadBitmapA(instance, MAKEINTRESOURCEA(busy ? IDB_PAUSE : IDB_PLAY)));
    win32::UniqueGdiObject mask(::LoadBitmapA(instance, MAKEINTRESOURCEA(busy ? IDB_PAUSE_MASK : IDB_PLAY_MASK)));
    if (!picture || !mask) return;
    ::ImageList_Replace(images_.get(), kPlayPauseImage, static_cast<HBITMAP>(picture.get()),
                        static_cast<HBITMAP>(mask.get()));
    ::InvalidateRect(toolbar_, nullptr, TRUE);
}

bool MainToolbar::fillTooltip(LPARAM notification) {
    auto* header = reinterpret_cast<NMHDR*>(notification);
    if (header->code != TTN_GETDISPINFOA) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(notification);
    const std::string text = win32::loadString(static_cast<UINT>(header->idFrom));
    const size_t lineBreak = text.find('\n');
    const std::string tip = lineBreak == std::string::npos ? std::string() : text.substr(lineBreak + 1);
    const size_t length = std::min(tip.size(), kTooltipLength - 1);
    std::memcpy(info->szText, tip.data(), length);
    info->szText[length] = '\0';
    info->lpszText = info->szText;
    return true;
}

}  // namespace quillet
