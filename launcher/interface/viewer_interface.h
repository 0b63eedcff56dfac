#pragma once
// What the launcher knows of the viewer library's components: the operations it
// calls, in the order of their virtual table, and the few fields it reads and
// writes itself. The library's classes derive from these; the launcher never sees
// more of them. Window handles are plain pointers here so that the project loader
// builds and is tested without the Windows API.

#include <cstdint>
#include <string>

namespace quillet::project {
// Components read their records through the project's reader; the interface only
// passes it on, so it stays below the project folder.
class RecordReader;
}  // namespace quillet::project

namespace quillet::viewer {

using NativeWindow = void*;

struct ComponentArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class SettingsComponent;

class ViewerComponent {
public:
    ViewerComponent() = default;
    ViewerComponent(const ViewerComponent&) = delete;
    ViewerComponent& operator=(const ViewerComponent&) = delete;

    virtual bool createComponent(const char* className, const char* title, uint32_t style,
                                 const ComponentArea& area, NativeWindow parent, uint32_t id) = 0;
    virtual void attachSettings(SettingsComponent* settings) = 0;
    virtual void setKind(int32_t kind) = 0;
    virtual void setWorkingPath(const char* path) = 0;
    virtual void setFirstValue(int32_t value) = 0;
    virtual void setLauncherFolder(const char* folder) = 0;
    virtual void start() = 0;
    // The settings component hears from this that its settings are read; the
    // security component, that it is to prepare its decision.
    virtual void prepare() = 0;
    virtual bool isRunning() = 0;
    virtual void setMoreValues(int32_t second, int32_t third) = 0;
    virtual void readRecords(project::RecordReader& reader, int32_t major, int32_t minor, int32_t build) = 0;
    virtual std::string targetFolder() = 0;
    virtual std::string targetName(const char* storedName) = 0;
    virtual void linkSettings(SettingsComponent* settings) = 0;
    virtual void discRemoved() = 0;
    virtual void recordFile(const char* path, int32_t flags) = 0;
    virtual bool isCurrent(const char* path, uint64_t size, int64_t modified) = 0;
    virtual ~ViewerComponent() = default;

    NativeWindow ownerWindow = nullptr;
    NativeWindow topOwnerWindow = nullptr;
    // The next content component in the project's list.
    ViewerComponent* nextComponent = nullptr;
};

class SecurityComponent : public ViewerComponent {
public:
    bool accessGranted = false;
    bool skipRecording = false;
};

class SettingsComponent : public ViewerComponent {
public:
    // Handed to every content component: first, then second and third.
    int32_t settingsValues[3] = {};
    SecurityComponent* security = nullptr;
    ViewerComponent* firstComponent = nullptr;
};

}  // namespace quillet::viewer
