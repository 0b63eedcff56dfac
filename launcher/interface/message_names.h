#pragma once
// The window messages the launcher and the viewer components share, registered by
// name so that every program that registers a name gets the same number for it.

#include <cstddef>

namespace quillet::launcher {

// In registration order; the last is the only one the launcher itself uses.
constexpr const char* kSharedMessageNames[] = {
    "MESSAGE_PAUSE_SOUND",
    "MESSAGE_RESTART_SOUND",
    "MESSAGE_SUB_MENU_LAUNCHED",
    "MESSAGE_ACTION_WINDOW_LAUNCHED",
    "MESSAGE_LAUNCH_OBJECT_ACTIONS",
    "MESSAGE_LAUNCH_EXISTING_MENU",
    "BREV_EDIT_INT_LINK",
    "UPDATE_VOLUME",
    "BUTTON_ACTION_VIEWER",
    "BUTTON_ACTION_SEND_EMAIL",
    "BUTTON_ACTION_CD_AUDIO",
    "BUTTON_ACTION_EXIT",
    "BUTTON_ACTION_EXIT_EJECT",
    "BUTTON_ACTION_PREV_MENU",
    "UPDATE_LOADING_WINDOW",
};
constexpr size_t kSharedMessageCount = sizeof kSharedMessageNames / sizeof kSharedMessageNames[0];

}  // namespace quillet::launcher
