#include "launcher/project/project_loader.h"

#include <exception>
#include <new>

#include "launcher/archive/zip_paths.h"
#include "launcher/archive/zip_reader.h"
#include "launcher/interface/component_kinds.h"
#include "launcher/project/project_secrets.h"
#include "launcher/project/project_version.h"

namespace quillet::project {

using viewer::SecurityComponent;
using viewer::SettingsComponent;
using viewer::ViewerComponent;

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

[[noreturn]] void damaged(const std::string& reason) { throw DamagedDescription{reason}; }

}  // namespace

std::string joinPath(const std::string& folder, const std::string& name) {
    return folder + kSeparator + name;
}

ViewerComponent* CThreadLoadProject::createAndOwn(int32_t kind, const LoadingBlock& block) {
    ViewerComponent* component = host_.createComponent(kind);
    if (!component) damaged("no viewer component of kind " + std::to_string(kind));
    // The window manager's handles run out long before memory does: a component
    // without its window is the launcher's shortage, not the description's fault.
    if (!component->createComponent(nullptr, nullptr, 0, viewer::ComponentArea{}, block.loadingWindow, 1))
        throw LauncherShortage{"the component of kind " + std::to_string(kind) + " has no window"};
    component->ownerWindow = block.loadingWindow;
    component->topOwnerWindow = block.loadingWindow;
    component->setKind(kind);
    component->setWorkingPath(block.workingPath.c_str());
    return component;
}

void CThreadLoadProject::load(LoadingBlock& block) {
    if (!block.loadingWindow) return;
    if (!reader_.open(joinPath(block.launcherFolder, kDescriptionName))) return;
    try {
        loadDescription(block);
    } catch (const DamagedDescription& error) {
        reader_.close();
        host_.note("damaged project description: " + error.reason);
        host_.report(kReportAbandoned, 0);
    } catch (const LauncherShortage& error) {
        reader_.close();
        host_.note("the launcher ran short: " + error.reason);
        host_.tellUser(kShortageText);
        host_.report(kReportAbandoned, 0);
    } catch (const std::bad_alloc&) {
        reader_.close();
        host_.note("the launcher ran short: out of memory");
        host_.tellUser(kShortageText);
        host_.report(kReportAbandoned, 0);
    } catch (const std::exception& error) {
        reader_.close();
        host_.note(std::string("loading failed: ") + error.what());
        host_.report(kReportAbandoned, 0);
    } catch (...) {
        reader_.close();
        host_.note("loading failed");
        host_.report(kReportAbandoned, 0);
    }
}

void CThreadLoadProject::loadDescription(LoadingBlock& block) {
    reader_.readInt();
    ProjectVersion version;
    version.major = reader_.readInt();
    version.minor = reader_.readInt();
    version.build = reader_.readInt();
    std::string workingPath = reader_.readText();
    // A path cut to fit would name another folder than the project's.
    if (workingPath.size() >= kMaxPathText) damaged("a working path of " + std::to_string(workingPath.size()) + " bytes");
    // The components are handed the path cut at its first NUL: what they check and
    // what they use must be the same text.
    if (zip::hasControlCharacter(workingPath)) damaged("a working path with a control character");
    block.workingPath = workingPath;
    if (version.hasHeaderNote()) reader_.readText();

    auto* settings = static_cast<SettingsComponent*>(createAndOwn(viewer::kKindProjectSettings, block));
    settings->setLauncherFolder(block.launcherFolder.c_str());
    settings->readRecords(reader_, version.major, version.minor, version.build);
    settings->prepare();
    block.projectSettings = settings;

    auto* security = static_cast<SecurityComponent*>(createAndOwn(viewer::kKindSecurity, block));
    security->setLauncherFolder(block.launcherFolder.c_str());
    settings->security = security;
    security->readRecords(reader_, version.major, version.minor, version.build);
    security->linkSettings(settings);

    const int32_t count = reader_.readInt();
    // Every component has at least its kind record: a larger count cannot be true.
    if (count < 0 || count > kMaxComponents ||
        static_cast<uint64_t>(count) * kSmallestComponentBytes > reader_.remaining())
        damaged("a count of " + std::to_string(count) + " components");
    host_.report(kReportLoadingBegins, count);

    ViewerComponent* previous = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t kind = reader_.readInt();
        if (reader_.failed()) damaged("component " + std::to_string(i) + " has no kind");
        if (!viewer::isContentKind(kind)) damaged("unknown component kind " + std::to_string(kind));
        ViewerComponent* component = createAndOwn(kind, block);
        component->setLauncherFolder(block.launcherFolder.c_str());
        component->setFirstValue(settings->settingsValues[0]);
        component->attachSettings(settings);
        component->setMoreValues(settings->settingsValues[1], settings->settingsValues[2]);
        component->readRecords(reader_, version.major, version.minor, version.build);
        if (previous)
            previous->nextComponent = component;
        else
            settings->firstComponent = component;
        previous = component;
        host_.report(kReportComponentLoaded, 0);
    }
    // A description that ended early has left its components half read.
    if (reader_.failed()) damaged("the description ends early");
    reader_.close();

    host_.wait(kPhaseWaitMs);
    security->prepare();
    security->start();
    if (!security->accessGranted) {
        host_.note("the security component refused access");
        host_.report(kReportAbandoned, 0);
        return;
    }

    const std::string archive = joinPath(block.launcherFolder, kArchiveName);
    if (host_.fileExists(archive)) extractArchive(archive, *security);

    host_.wait(kPhaseWaitMs);
    host_.report(kReportStartingBegins, count);
    for (ViewerComponent* component = settings->firstComponent; component; component = component->nextComponent)
        host_.report(kReportComponentStarted, 0);
    host_.wait(kPhaseWaitMs);
    host_.report(kReportFinished, 0);
}

void CThreadLoadProject::extractArchive(const std::string& path, SecurityComponent& security) {
    ZipReader archive(host_.fileSystem());
    archive.open(path);
    archive.setPassword(kArchivePassword);
    int32_t files = 0;
    for (size_t i = 0; i < archive.count(); ++i)
        if (!archive.entryInfo(i).isFolder()) ++files;
    host_.report(kReportExtractionBegins, files);

    for (size_t i = 0; i < archive.count(); ++i) {
        handleArchiveEntry(archive, i, security);
        host_.report(kReportEntryHandled, 0);
    }
}

void handleArchiveEntry(ZipReader& archive, size_t index, SecurityComponent& security) {
    const zip::ZipEntry& entry = archive.entryInfo(index);
    // The component is handed the name up to its first NUL; the rest would go unjudged.
    if (entry.name.find('\0') != std::string::npos) throw RefusedEntry("an entry name with a NUL byte");
    const std::string targetName = security.targetName(entry.name.c_str());
    // An empty name is the component's refusal; the stored name it refused is never
    // the one to use instead.
    if (targetName.empty()) throw RefusedEntry("the security component refused the entry " + entry.name);
    const std::string targetFolder = security.targetFolder();
    const std::string target = joinPath(targetFolder, targetName);
    if (!security.isCurrent(target.c_str(), entry.uncompressedSize, entry.modificationCalendarTime()))
        archive.extractFile(index, targetFolder, true, targetName, kExtractionBufferSize);
    if (!security.skipRecording) security.recordFile(target.c_str(), 0);
}

}  // namespace quillet::project
