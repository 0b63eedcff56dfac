#include "player/app/win32/play_properties_dialog.h"

#include <commctrl.h>

#include <string>

#include "common/win32/string_resources.h"
#include "player/movie/movie_document.h"
#include "player/app/play_settings_entry.h"
#include "player/app/text_format.h"
#include "player/app/win32/resource.h"

namespace quillet {
namespace {

constexpr COLORREF kImageKey = RGB(255, 0, 255);

bool checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void check(HWND dialog, int id, bool on) { ::CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

std::string controlText(HWND dialog, int id) {
    char text[64] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

}  // namespace

bool PlayPropertiesDialog::run(HWND owner) { return runModal(IDD_PLAY_PROPERTIES, owner) == IDOK; }

BOOL PlayPropertiesDialog::onInit() {
    HWND zoom = ::GetDlgItem(handle(), IDC_ZOOM);
    for (const char* item : kZoomItems) ::SendMessageA(zoom, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ::SendDlgItemMessageA(handle(), IDC_TIMES_SPIN, UDM_SETRANGE32, kMinTimes, kMaxTimes);

    enableTimes(settings_.playType == 0);
    ::EnableWindow(zoom, FALSE);

    ok_.attach(handle(), IDOK);
    ok_.setImage(IDB_OK, kImageKey, CImageButton::kImageLeft);
    cancel_.attach(handle(), IDCANCEL);
    cancel_.setImage(IDB_CANCEL, kImageKey, CImageButton::kImageLeft);

    check(handle(), IDC_PLAY_ONCE, settings_.playType == 0);
    check(handle(), IDC_LOOPING_PLAY, settings_.playType == 1);
    ::SetDlgItemInt(handle(), IDC_TIMES, static_cast<UINT>(settings_.times), TRUE);
    ::SendDlgItemMessageA(handle(), IDC_TIMES_SPIN, UDM_SETPOS32, 0, settings_.times);
    ::SendMessageA(zoom, CB_SETCURSEL, static_cast<WPARAM>(settings_.zoomIndex), 0);
    check(handle(), IDC_FULL_SCREEN, settings_.fullScreen != 0);
    check(handle(), IDC_OBJECTS, settings_.objects != 0);
    check(handle(), IDC_SOUND, settings_.sound != 0);
    check(handle(), IDC_CURSOR, settings_.cursor != 0);
    return TRUE;
}

void PlayPropertiesDialog::enableTimes(bool enabled) {
    ::EnableWindow(::GetDlgItem(handle(), IDC_TIMES), enabled);
    ::EnableWindow(::GetDlgItem(handle(), IDC_TIMES_SPIN), enabled);
}

void PlayPropertiesDialog::onCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_PLAY_ONCE:
        if (code == BN_CLICKED) enableTimes(true);
        break;
    case IDC_LOOPING_PLAY:
        if (code == BN_CLICKED) enableTimes(false);
        break;
    case IDOK:
        if (readControls()) endModal(IDOK);
        break;
    case IDCANCEL:
        endModal(IDCANCEL);
        break;
    default:
        break;
    }
}

bool PlayPropertiesDialog::onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    if (message != WM_DRAWITEM) return false;
    result = CImageButton::reflectDrawItem(lParam);
    return result != 0;
}

bool PlayPropertiesDialog::readControls() {
    PlaySettings chosen = settings_;
    chosen.playType = checked(handle(), IDC_LOOPING_PLAY) ? 1 : 0;
    // The number is checked whichever play type is chosen: a looping choice keeps it.
    const TimesEntry times = readTimesEntry(controlText(handle(), IDC_TIMES));
    if (times.result == TimesEntryResult::NotAnInteger) {
        refuseTimes(win32::loadString(IDS_PARSE_INTEGER));
        return false;
    }
    if (times.result == TimesEntryResult::OutOfRange) {
        refuseTimes(formatText(win32::loadString(IDS_PARSE_INTEGER_RANGE),
                               {std::to_string(kMinTimes), std::to_string(kMaxTimes)}));
        return false;
    }
    chosen.times = times.value;
    const LRESULT zoom = ::SendDlgItemMessageA(handle(), IDC_ZOOM, CB_GETCURSEL, 0, 0);
    if (zoom >= 0 && zoom < kZoomItemCount) chosen.zoomIndex = static_cast<int32_t>(zoom);
    chosen.fullScreen = checked(handle(), IDC_FULL_SCREEN) ? 1 : 0;
    chosen.objects = checked(handle(), IDC_OBJECTS) ? 1 : 0;
    chosen.sound = checked(handle(), IDC_SOUND) ? 1 : 0;
    chosen.cursor = checked(handle(), IDC_CURSOR) ? 1 : 0;
    settings_ = chosen;
    return true;
}

void PlayPropertiesDialog::refuseTimes(const std::string& text) {
    ::MessageBoxA(handle(), text.c_str(), kProductCaption, MB_OK | MB_ICONEXCLAMATION);
    HWND times = ::GetDlgItem(handle(), IDC_TIMES);
    ::SendMessageA(handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(times), TRUE);
    ::SendMessageA(times, EM_SETSEL, 0, -1);
}

}  // namespace quillet
