#pragma once
// The viewer library's exported component classes. The launcher reserves each
// class's bytes and runs its default constructor there; after that it reaches a
// component only through CViewerComponent and the settings and security
// interfaces. The classes' own state lives behind one pointer; the rest of each
// object is reserved, so that the objects keep the sizes the launcher reserves.

#include <memory>
#include <string>
#include <vector>

#include "launcher/interface/viewer_interface.h"

#ifdef ORVANE_VIEWER_BUILD
#define ORVANE_VIEWER_API __declspec(dllexport)
#else
#define ORVANE_VIEWER_API __declspec(dllimport)
#endif

namespace quillet::viewer {
struct ContentState;
struct SettingsState;
struct SecurityState;
}  // namespace quillet::viewer

// Every component class implements all of the launcher's operations.
#define ORVANE_COMPONENT_OPERATIONS                                                                          \
    bool CreateComponent(const char* className, const char* title, uint32_t style,                          \
                         const quillet::viewer::ComponentArea& area, quillet::viewer::NativeWindow parent,  \
                         uint32_t id) override;                                                             \
    void AttachSettings(quillet::viewer::CSettingsComponent* settings) override;                            \
    void SetKind(int32_t kind) override;                                                                    \
    void SetWorkingPath(const char* path) override;                                                         \
    void SetFirstValue(int32_t value) override;                                                             \
    void SetLauncherFolder(const char* folder) override;                                                    \
    void Start() override;                                                                                  \
    void Prepare() override;                                                                                \
    bool IsRunning() override;                                                                              \
    void SetMoreValues(int32_t second, int32_t third) override;                                             \
    void ReadRecords(quillet::project::RecordReader& reader, int32_t major, int32_t minor, int32_t build)   \
        override;                                                                                           \
    std::string TargetFolder() override;                                                                    \
    std::string TargetName(const char* storedName) override;                                                \
    void LinkSettings(quillet::viewer::CSettingsComponent* settings) override;                              \
    void DiscRemoved() override;                                                                            \
    void RecordFile(const char* path, int32_t flags) override;                                              \
    bool IsCurrent(const char* path, uint64_t size, int64_t modified) override;

// The content components: each shows one item of the project in its list.
class ORVANE_VIEWER_API CContentViewer : public quillet::viewer::CViewerComponent {
public:
    ~CContentViewer() override;

    ORVANE_COMPONENT_OPERATIONS

    // The line that shows this component in the project window, and the path that
    // opening it opens.
    std::string ListText() const;
    std::string ItemPath() const;

protected:
    explicit CContentViewer(const char* kindName);
    std::unique_ptr<quillet::viewer::ContentState> state_;
};

#define ORVANE_CONTENT_VIEWER(Name, Bytes)                                   \
    class ORVANE_VIEWER_API Name : public CContentViewer {                   \
    public:                                                                  \
        Name();                                                              \
        ~Name() override;                                                    \
                                                                             \
    private:                                                                 \
        unsigned char reserved_[Bytes - sizeof(CContentViewer)];             \
    }

ORVANE_CONTENT_VIEWER(CFileViewer, 20916);
ORVANE_CONTENT_VIEWER(CFolderViewer, 20944);
ORVANE_CONTENT_VIEWER(CWebViewer, 21512);
ORVANE_CONTENT_VIEWER(CZipViewer, 20956);
ORVANE_CONTENT_VIEWER(CMediaViewer, 20988);
ORVANE_CONTENT_VIEWER(CFlashViewer, 20960);
ORVANE_CONTENT_VIEWER(CSlideShowViewer, 21024);
ORVANE_CONTENT_VIEWER(CMenuViewer, 20956);
ORVANE_CONTENT_VIEWER(CMusicViewer, 21020);
ORVANE_CONTENT_VIEWER(CImageViewer, 20972);
ORVANE_CONTENT_VIEWER(CFailsafeViewer, 20920);

// The project settings component: reads the project's title and window settings,
// and shows the project window from the start of the project to its end.
class ORVANE_VIEWER_API CProjectSettingsViewer : public quillet::viewer::CSettingsComponent {
public:
    CProjectSettingsViewer();
    ~CProjectSettingsViewer() override;

    ORVANE_COMPONENT_OPERATIONS

    const std::string& Title() const;

private:
    std::unique_ptr<quillet::viewer::SettingsState> state_;
    unsigned char reserved_[46052 - sizeof(quillet::viewer::CSettingsComponent) - sizeof(void*)];
};

// The security component: decides whether the project may open, names the folder
// its files go to, and keeps the list of files extracted there.
class ORVANE_VIEWER_API CSecurityViewer : public quillet::viewer::CSecurityComponent {
public:
    CSecurityViewer();
    ~CSecurityViewer() override;

    ORVANE_COMPONENT_OPERATIONS

    const std::vector<std::string>& RecordedFiles() const;

private:
    std::unique_ptr<quillet::viewer::SecurityState> state_;
    unsigned char reserved_[21016 - sizeof(quillet::viewer::CSecurityComponent) - sizeof(void*)];
};

// Sees the launcher's messages that nothing else took: keys for the project
// window. Nonzero when it took the message.
extern "C" ORVANE_VIEWER_API int FilterDllMsg(void* message);
