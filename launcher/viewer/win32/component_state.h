#pragma once
// The library's own state of its components, behind the exported classes.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/window.h"
#include "launcher/interface/viewer_interface.h"
#include "launcher/project/record_reader.h"
#include "launcher/viewer/security_rules.h"
#include "launcher/viewer/win32/project_window.h"

namespace quillet::viewer {

// Every component has a window of its own, hidden, for the shared messages sent to
// it; an exit request that reaches one ends the project.
class ComponentWindow : public win32::Window {
public:
    bool createHidden(uint32_t style, const ComponentArea& area, HWND owner);
    // Called when a component window is asked to end the project.
    void onExitRequest(std::function<void()> handler) { exitRequest_ = std::move(handler); }

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::function<void()> exitRequest_;
};

// What every component keeps of its set-up.
struct ComponentBasics {
    ComponentWindow window;
    int32_t kind = 0;
    std::string workingPath;
    std::string launcherFolder;

    bool create(uint32_t style, const ComponentArea& area, NativeWindow parent) {
        return window.createHidden(style, area, static_cast<HWND>(parent));
    }
};

struct ContentState {
    ComponentBasics basics;
    const char* kindName = "";
    SettingsComponent* settings = nullptr;
    int32_t values[3] = {};
    std::string caption;
    std::string item;
};

struct SettingsState {
    ComponentBasics basics;
    std::string title;
    ProjectWindow window;
};

struct SecurityState {
    ComponentBasics basics;
    SecuritySettings settings;
    SettingsComponent* projectSettings = nullptr;
    std::string targetFolder;
    int32_t today = 0;
    bool requiredFileExists = false;
    std::vector<std::string> recorded;
};

}  // namespace quillet::viewer
