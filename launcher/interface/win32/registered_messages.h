#pragma once
// The process's numbers of the shared messages, each in a variable named after its
// message. They are 0 until registerSharedMessages has run, and never change after.

#include <windows.h>

namespace quillet::launcher {

extern const UINT& MESSAGE_PAUSE_SOUND;
extern const UINT& MESSAGE_RESTART_SOUND;
extern const UINT& MESSAGE_SUB_MENU_LAUNCHED;
extern const UINT& MESSAGE_ACTION_WINDOW_LAUNCHED;
extern const UINT& MESSAGE_LAUNCH_OBJECT_ACTIONS;
extern const UINT& MESSAGE_LAUNCH_EXISTING_MENU;
extern const UINT& BREV_EDIT_INT_LINK;
extern const UINT& UPDATE_VOLUME;
extern const UINT& BUTTON_ACTION_VIEWER;
extern const UINT& BUTTON_ACTION_SEND_EMAIL;
extern const UINT& BUTTON_ACTION_CD_AUDIO;
extern const UINT& BUTTON_ACTION_EXIT;
extern const UINT& BUTTON_ACTION_EXIT_EJECT;
extern const UINT& BUTTON_ACTION_PREV_MENU;
extern const UINT& UPDATE_LOADING_WINDOW;

// Registers the whole set in order; false when the window system refused one.
bool registerSharedMessages();

}  // namespace quillet::launcher
