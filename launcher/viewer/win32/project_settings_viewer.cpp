#include "launcher/interface/win32/orvane_viewer.h"
#include "launcher/viewer/win32/component_state.h"

using quillet::project::RecordReader;
using quillet::viewer::ComponentArea;
using quillet::viewer::SettingsComponent;
using quillet::viewer::NativeWindow;
using quillet::viewer::ProjectWindow;
using quillet::viewer::SettingsState;

CProjectSettingsViewer::CProjectSettingsViewer() : state_(std::make_unique<SettingsState>()) {
    state_->basics.window.onExitRequest([this] { state_->window.close(); });
}

CProjectSettingsViewer::~CProjectSettingsViewer() = default;

bool CProjectSettingsViewer::createComponent(const char*, const char*, uint32_t style, const ComponentArea& area,
                                             NativeWindow parent, uint32_t) {
    return state_->basics.create(style, area, parent);
}

void CProjectSettingsViewer::attachSettings(SettingsComponent*) {}
void CProjectSettingsViewer::setKind(int32_t kind) { state_->basics.kind = kind; }
void CProjectSettingsViewer::setWorkingPath(const char* path) { state_->basics.workingPath = path ? path : ""; }
void CProjectSettingsViewer::setFirstValue(int32_t value) { settingsValues[0] = value; }
void CProjectSettingsViewer::setLauncherFolder(const char* folder) {
    state_->basics.launcherFolder = folder ? folder : "";
}

// The project starts: its window lists the content components, then the files
// extracted for it.
void CProjectSettingsViewer::start() {
    std::vector<ProjectWindow::Line> lines;
    for (ViewerComponent* component = firstComponent; component; component = component->nextComponent) {
        if (auto* content = dynamic_cast<ContentViewer*>(component))
            lines.push_back({content->listText(), content->itemPath()});
    }
    if (auto* guard = dynamic_cast<CSecurityViewer*>(security)) {
        const std::string folder = guard->targetFolder();
        for (const std::string& path : guard->recordedFiles()) {
            const bool inside = path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0;
            lines.push_back({"File: " + (inside ? path.substr(folder.size() + 1) : path), path});
        }
    }
    state_->window.open(state_->title, settingsValues[1], settingsValues[2], std::move(lines));
}

void CProjectSettingsViewer::prepare() {}
bool CProjectSettingsViewer::isRunning() { return state_->window.isOpen(); }

void CProjectSettingsViewer::setMoreValues(int32_t second, int32_t third) {
    settingsValues[1] = second;
    settingsValues[2] = third;
}

// The settings records: the project's title, its options, and its window's width
// and height; the three numbers are what every content component is handed.
void CProjectSettingsViewer::readRecords(RecordReader& reader, int32_t, int32_t, int32_t) {
    state_->title = reader.readText();
    settingsValues[0] = reader.readInt();
    settingsValues[1] = reader.readInt();
    settingsValues[2] = reader.readInt();
}

std::string CProjectSettingsViewer::targetFolder() { return security ? security->targetFolder() : std::string(); }
std::string CProjectSettingsViewer::targetName(const char*) { return std::string(); }
void CProjectSettingsViewer::linkSettings(SettingsComponent*) {}
void CProjectSettingsViewer::discRemoved() { state_->window.close(); }
void CProjectSettingsViewer::recordFile(const char*, int32_t) {}
bool CProjectSettingsViewer::isCurrent(const char*, uint64_t, int64_t) { return false; }

const std::string& CProjectSettingsViewer::title() const { return state_->title; }
