#pragma once
// The project window: titled with the project's title, it lists the project's
// content components and the files extracted for it. A double click (or Enter)
// opens the chosen line's file or folder with the shell.

#include <windows.h>

#include <string>
#include <vector>

#include "common/win32/window.h"

namespace quillet::viewer {

constexpr char kProjectWindowClass[] = "OrvaneProject";
constexpr int kProjectListId = 100;

class ProjectWindow : public win32::Window {
public:
    struct Line {
        std::string text;
        std::string path;  // empty: the line opens nothing
    };

    ~ProjectWindow() override;
    bool open(const std::string& title, int width, int height, std::vector<Line> lines);
    void close();
    bool isOpen() const { return handle() != nullptr; }
    // Opens the selected line's path; false when there is none to open.
    bool openSelected();
    // Takes the keys of the project window's list; true when it did.
    bool filterMessage(const MSG& message);

    // The open project window of this process, for the message filter.
    static ProjectWindow* current();

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::string title_;
    std::vector<Line> lines_;
    HWND list_ = nullptr;
};

}  // namespace quillet::viewer
