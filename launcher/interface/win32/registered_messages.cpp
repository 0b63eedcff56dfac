#include "launcher/interface/win32/registered_messages.h"

#include "launcher/interface/message_names.h"

namespace quillet::launcher {

namespace {
UINT g_numbers[kSharedMessageCount] = {};
}  // namespace

const UINT& MESSAGE_PAUSE_SOUND = g_numbers[0];
const UINT& MESSAGE_RESTART_SOUND = g_numbers[1];
const UINT& MESSAGE_SUB_MENU_LAUNCHED = g_numbers[2];
const UINT& MESSAGE_ACTION_WINDOW_LAUNCHED = g_numbers[3];
const UINT& MESSAGE_LAUNCH_OBJECT_ACTIONS = g_numbers[4];
const UINT& MESSAGE_LAUNCH_EXISTING_MENU = g_numbers[5];
const UINT& BREV_EDIT_INT_LINK = g_numbers[6];
const UINT& UPDATE_VOLUME = g_numbers[7];
const UINT& BUTTON_ACTION_VIEWER = g_numbers[8];
const UINT& BUTTON_ACTION_SEND_EMAIL = g_numbers[9];
const UINT& BUTTON_ACTION_CD_AUDIO = g_numbers[10];
const UINT& BUTTON_ACTION_EXIT = g_numbers[11];
const UINT& BUTTON_ACTION_EXIT_EJECT = g_numbers[12];
const UINT& BUTTON_ACTION_PREV_MENU = g_numbers[13];
const UINT& UPDATE_LOADING_WINDOW = g_numbers[14];

bool registerSharedMessages() {
    bool all = true;
    for (size_t i = 0; i < kSharedMessageCount; ++i) {
        g_numbers[i] = ::RegisterWindowMessageA(kSharedMessageNames[i]);
        all = all && g_numbers[i] != 0;
    }
    return all;
}

}  // namespace quillet::launcher
