#include "launcher/interface/win32/orvane_viewer.h"
#include "launcher/viewer/win32/component_state.h"

using quillet::project::RecordReader;
using quillet::viewer::ComponentArea;
using quillet::viewer::CSettingsComponent;
using quillet::viewer::NativeWindow;
using quillet::viewer::ProjectWindow;
using quillet::viewer::SettingsState;

CProjectSettingsViewer::CProjectSettingsViewer() : state_(std::make_unique<SettingsState>()) {
    state_->basics.window.onExitRequest([this] { state_->window.close(); });
}

CProjectSettingsViewer::~CProjectSettingsViewer() = default;

bool CProjectSettingsViewer::CreateComponent(const char*, const char*, uint32_t style, const ComponentArea& area,
                                             NativeWindow parent, uint32_t) {
    return state_->basics.create(style, area, parent);
}

void CProjectSettingsViewer::AttachSettings(CSettingsComponent*) {}
void CProjectSettingsViewer::SetKind(int32_t kind) { state_->basics.kind = kind; }
void CProjectSettingsViewer::SetWorkingPath(const char* path) { state_->basics.workingPath = path ? path : ""; }
void CProjectSettingsViewer::SetFirstValue(int32_t value) { settingsValues[0] = value; }
void CProjectSettingsViewer::SetLauncherFolder(const char* folder) {
    state_->basics.launcherFolder = folder ? folder : "";
}

// The project starts: its window lists the content components, then the files
// extracted for it.
void CProjectSettingsViewer::Start() {
    std::vector<ProjectWindow::Line> lines;
    for (CViewerComponent* component = firstComponent; component; component = component->nextComponent) {
        if (auto* content = dynamic_cast<CContentViewer*>(component))
            lines.push_back({content->ListText(), content->ItemPath()});
    }
    if (auto* guard = dynamic_cast<CSecurityViewer*>(security)) {
        const std::string folder = guard->TargetFolder();
        for (const std::string& path : guard->RecordedFiles()) {
            const bool inside = path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0;
            lines.push_back({"File: " + (inside ? path.substr(folder.size() + 1) : path), path});
        }
    }
    state_->window.open(state_->title, settingsValues[1], settingsValues[2], std::move(lines));
}

void CProjectSettingsViewer::Prepare() {}
bool CProjectSettingsViewer::IsRunning() { return state_->window.isOpen(); }

void CProjectSettingsViewer::SetMoreValues(int32_t second, int32_t third) {
    settingsValues[1] = second;
    settingsValues[2] = third;
}

// The settings records: the project's title, its options, and its window's width
// and height; the three numbers are what every content component is handed.
void CProjectSettingsViewer::ReadRecords(RecordReader& reader, int32_t, int32_t, int32_t) {
    state_->title = reader.readText();
    settingsValues[0] = reader.readInt();
    settingsValues[1] = reader.readInt();
    settingsValues[2] = reader.readInt();
}

std::string CProjectSettingsViewer::TargetFolder() { return security ? security->TargetFolder() : std::string(); }
std::string CProjectSettingsViewer::TargetName(const char*) { return std::string(); }
void CProjectSettingsViewer::LinkSettings(CSettingsComponent*) {}
void CProjectSettingsViewer::DiscRemoved() { state_->window.close(); }
void CProjectSettingsViewer::RecordFile(const char*, int32_t) {}
bool CProjectSettingsViewer::IsCurrent(const char*, uint64_t, int64_t) { return false; }

const std::string& CProjectSettingsViewer::Title() const { return state_->title; }
