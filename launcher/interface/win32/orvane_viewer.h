#pragma once
// The viewer library's exported component classes. The launcher reserves each
// class's bytes and runs its default constructor there; after that it reaches a
// component only through ViewerComponent and the settings and security
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
    bool createComponent(const char* className, const char* title, uint32_t style,                           \
                         const quillet::viewer::ComponentArea& area, quillet::viewer::NativeWindow parent,   \
                         uint32_t id) override;                                                              \
    void attachSettings(quillet::viewer::SettingsComponent* settings) override;                              \
    void setKind(int32_t kind) override;                                                                     \
    void setWorkingPath(const char* path) override;                                                          \
    void setFirstValue(int32_t value) override;                                                              \
    void setLauncherFolder(const char* folder) override;                                                     \
    void start() override;                                                                                   \
    void prepare() override;                                                                                 \
    bool isRunning() override;                                                                               \
    void setMoreValues(int32_t second, int32_t third) override;                                              \
    void readRecords(quillet::project::RecordReader& reader, int32_t major, int32_t minor, int32_t build)    \
        override;                                                                                            \
    std::string targetFolder() override;                                                                     \
    std::string targetName(const char* storedName) override;                                                 \
    void linkSettings(quillet::viewer::SettingsComponent* settings) override;                                \
    void discRemoved() override;                                                                             \
    void recordFile(const char* path, int32_t flags) override;                                               \
    bool isCurrent(const char* path, uint64_t size, int64_t modified) override;

// The content components: each shows one item of the project in its list.
class ORVANE_VIEWER_API ContentViewer : public quillet::viewer::ViewerComponent {
public:
    ~ContentViewer() override;

    ORVANE_COMPONENT_OPERATIONS

    // The line that shows this component in the project window, and the path that
    // opening it opens.
    std::string listText() const;
    std::string itemPath() const;

protected:
    explicit ContentViewer(const char* kindName);
    std::unique_ptr<quillet::viewer::ContentState> state_;
};

#define ORVANE_CONTENT_VIEWER(Name, Bytes)                                   \
    class ORVANE_VIEWER_API Name : public ContentViewer {                    \
    public:                                                                  \
        Name();                                                              \
        ~Name() override;                                                    \
                                                                             \
    private:                                                                 \
        unsigned char reserved_[Bytes - sizeof(ContentViewer)];              \
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
class ORVANE_VIEWER_API CProjectSettingsViewer : public quillet::viewer::SettingsComponent {
public:
    CProjectSettingsViewer();
    ~CProjectSettingsViewer() override;

    ORVANE_COMPONENT_OPERATIONS

    const std::string& title() const;

private:
    std::unique_ptr<quillet::viewer::SettingsState> state_;
    unsigned char reserved_[46052 - sizeof(quillet::viewer::SettingsComponent) - sizeof(void*)];
};

// The security component: decides whether the project may open, names the folder
// its files go to, and keeps the list of files extracted there.
class ORVANE_VIEWER_API CSecurityViewer : public quillet::viewer::SecurityComponent {
public:
    CSecurityViewer();
    ~CSecurityViewer() override;

    ORVANE_COMPONENT_OPERATIONS

    const std::vector<std::string>& recordedFiles() const;

private:
    std::unique_ptr<quillet::viewer::SecurityState> state_;
    unsigned char reserved_[21016 - sizeof(quillet::viewer::SecurityComponent) - sizeof(void*)];
};

// Sees the launcher's messages that nothing else took: keys for the project
// window. Nonzero when it took the message.
extern "C" ORVANE_VIEWER_API int FilterDllMsg(void* message);
