#include "common/win32/file_system.h"
#include "launcher/interface/win32/orvane_viewer.h"
#include "launcher/viewer/win32/component_state.h"

using quillet::project::RecordReader;
using quillet::viewer::ComponentArea;
using quillet::viewer::SettingsComponent;
using quillet::viewer::NativeWindow;
using quillet::viewer::SecurityState;

namespace {
constexpr char kRefusalCaption[] = "Orvane";
constexpr int64_t kFileTimeUnitsPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
}  // namespace

CSecurityViewer::CSecurityViewer() : state_(std::make_unique<SecurityState>()) {}
CSecurityViewer::~CSecurityViewer() = default;

bool CSecurityViewer::createComponent(const char*, const char*, uint32_t style, const ComponentArea& area,
                                      NativeWindow parent, uint32_t) {
    return state_->basics.create(style, area, parent);
}

void CSecurityViewer::attachSettings(SettingsComponent* settings) { state_->projectSettings = settings; }
void CSecurityViewer::setKind(int32_t kind) { state_->basics.kind = kind; }
void CSecurityViewer::setWorkingPath(const char* path) { state_->basics.workingPath = path ? path : ""; }
void CSecurityViewer::setFirstValue(int32_t) {}
void CSecurityViewer::setLauncherFolder(const char* folder) { state_->basics.launcherFolder = folder ? folder : ""; }

// Gathers what the decision needs: the date, the required file, the working folder.
void CSecurityViewer::prepare() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    state_->today = now.wYear * 10000 + now.wMonth * 100 + now.wDay;
    const std::string required =
        quillet::viewer::requiredFilePath(state_->basics.launcherFolder, state_->settings.requiredFile);
    state_->requiredFileExists = !required.empty() && quillet::win32::fileExists(required);
    state_->targetFolder =
        quillet::viewer::workingFolderUnder(quillet::win32::tempFolder(), state_->basics.workingPath);
}

void CSecurityViewer::start() {
    const quillet::viewer::AccessDecision decision = quillet::viewer::decideAccess(
        state_->settings, state_->targetFolder, state_->today, state_->requiredFileExists);
    accessGranted = decision.granted;
    skipRecording = !state_->settings.recordFiles;
    if (!decision.granted)
        ::MessageBoxA(static_cast<HWND>(ownerWindow), decision.reason.c_str(), kRefusalCaption,
                      MB_OK | MB_ICONSTOP);
}

bool CSecurityViewer::isRunning() { return false; }
void CSecurityViewer::setMoreValues(int32_t, int32_t) {}

// The security records: the expiry date (yyyymmdd, 0 for none), a file the disc
// must hold (empty for none), and whether extracted files are recorded.
void CSecurityViewer::readRecords(RecordReader& reader, int32_t, int32_t, int32_t) {
    state_->settings.expiryDate = reader.readInt();
    state_->settings.requiredFile = reader.readText();
    state_->settings.recordFiles = reader.readInt() != 0;
    state_->settings.recordsComplete = !reader.failed();
}

std::string CSecurityViewer::targetFolder() { return state_->targetFolder; }
std::string CSecurityViewer::targetName(const char* storedName) {
    return quillet::viewer::targetNameOf(storedName ? storedName : "");
}
void CSecurityViewer::linkSettings(SettingsComponent* settings) { state_->projectSettings = settings; }
void CSecurityViewer::discRemoved() {}
void CSecurityViewer::recordFile(const char* path, int32_t) {
    if (path) state_->recorded.emplace_back(path);
}

// Present and current: a file of the entry's size, last written at the entry's time.
bool CSecurityViewer::isCurrent(const char* path, uint64_t size, int64_t modified) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!path || !::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    const uint64_t fileSize = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                               data.ftLastWriteTime.dwLowDateTime);
    const int64_t written = ticks / kFileTimeUnitsPerSecond - kSecondsFrom1601To1970;
    return fileSize == size && written == modified;
}

const std::vector<std::string>& CSecurityViewer::recordedFiles() const { return state_->recorded; }
