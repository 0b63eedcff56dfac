#include "launcher/app/win32/launcher_host.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <new>

#include "common/win32/file_system.h"
#include "launcher/interface/component_kinds.h"
#include "launcher/interface/win32/orvane_viewer.h"
#include "launcher/interface/win32/registered_messages.h"

namespace quillet::launcher {

void writeLogLine(const std::string& line) {
    const char* path = std::getenv(kLogVariable);
    if (!path || !*path) return;
    std::ofstream(path, std::ios::app) << line << '\n';
}

LauncherHost::LauncherHost(HWND loadingWindow) : window_(loadingWindow) {}

LauncherHost::~LauncherHost() {
    // The project settings component came first and holds the others: it goes last.
    while (!components_.empty()) components_.pop_back();
}

void LauncherHost::log(const std::string& line) { writeLogLine(line); }

void LauncherHost::report(uint32_t code, int32_t value) {
    log("report " + std::to_string(code) + " " + std::to_string(value));
    if (::IsWindow(window_)) ::SendMessageA(window_, UPDATE_LOADING_WINDOW, code, value);
}

void LauncherHost::wait(int milliseconds) {
    // The window shows its last report before the pause.
    if (::IsWindow(window_)) ::UpdateWindow(window_);
    ::Sleep(static_cast<DWORD>(milliseconds));
}

bool LauncherHost::fileExists(const std::string& path) { return win32::fileExists(path); }

void LauncherHost::note(const std::string& text) {
    ::OutputDebugStringA(("Orvane: " + text + "\n").c_str());
    log("note " + text);
}

void LauncherHost::tellUser(const std::string& text) {
    log("tell " + text);
    userReport_ = text;
}

template <typename Component>
viewer::ViewerComponent* LauncherHost::place(size_t bytes) {
    PlacedComponent placed;
    placed.storage = std::make_unique<unsigned char[]>(std::max(bytes, sizeof(Component)));
    placed.component = new (placed.storage.get()) Component();
    components_.push_back(std::move(placed));
    return components_.back().component;
}

viewer::ViewerComponent* LauncherHost::createComponent(int32_t kind) {
    const viewer::ComponentKind* entry = viewer::findComponentKind(kind);
    if (!entry) return nullptr;
    const size_t bytes = entry->bytes;
    switch (kind) {
    case 0: return place<CFileViewer>(bytes);
    case 1: return place<CFolderViewer>(bytes);
    case 2: return place<CWebViewer>(bytes);
    case 3: return place<CZipViewer>(bytes);
    case 4: return place<CMediaViewer>(bytes);
    case 5: return place<CFlashViewer>(bytes);
    case 6: return place<CSlideShowViewer>(bytes);
    case 7: return place<CMenuViewer>(bytes);
    case 8: return place<CMusicViewer>(bytes);
    case 9: return place<CImageViewer>(bytes);
    case 10: return place<CFailsafeViewer>(bytes);
    case viewer::kKindProjectSettings: return place<CProjectSettingsViewer>(bytes);
    case viewer::kKindSecurity: return place<CSecurityViewer>(bytes);
    default: return nullptr;
    }
}

}  // namespace quillet::launcher
