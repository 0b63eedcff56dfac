#include <windows.h>

#include "launcher/interface/component_kinds.h"
#include "launcher/interface/win32/orvane_viewer.h"
#include "launcher/viewer/win32/component_state.h"

using quillet::project::RecordReader;
using quillet::viewer::ComponentArea;
using quillet::viewer::ContentState;
using quillet::viewer::SettingsComponent;
using quillet::viewer::NativeWindow;

namespace {
// The options value's bit for showing each item's kind and name.
constexpr int32_t kShowDetails = 1;
}  // namespace

ContentViewer::ContentViewer(const char* kindName) : state_(std::make_unique<ContentState>()) {
    state_->kindName = kindName;
}

ContentViewer::~ContentViewer() = default;

bool ContentViewer::createComponent(const char*, const char*, uint32_t style, const ComponentArea& area,
                                     NativeWindow parent, uint32_t) {
    return state_->basics.create(style, area, parent);
}

void ContentViewer::attachSettings(SettingsComponent* settings) { state_->settings = settings; }
void ContentViewer::setKind(int32_t kind) { state_->basics.kind = kind; }
void ContentViewer::setWorkingPath(const char* path) { state_->basics.workingPath = path ? path : ""; }
void ContentViewer::setFirstValue(int32_t value) { state_->values[0] = value; }
void ContentViewer::setLauncherFolder(const char* folder) { state_->basics.launcherFolder = folder ? folder : ""; }
void ContentViewer::start() {}
void ContentViewer::prepare() {}
bool ContentViewer::isRunning() { return false; }

void ContentViewer::setMoreValues(int32_t second, int32_t third) {
    state_->values[1] = second;
    state_->values[2] = third;
}

// A content component's records: its caption, then its item's name in the working folder.
void ContentViewer::readRecords(RecordReader& reader, int32_t, int32_t, int32_t) {
    state_->caption = reader.readText();
    state_->item = reader.readText();
}

std::string ContentViewer::targetFolder() { return std::string(); }
std::string ContentViewer::targetName(const char*) { return std::string(); }
void ContentViewer::linkSettings(SettingsComponent* settings) { state_->settings = settings; }
void ContentViewer::discRemoved() {}
void ContentViewer::recordFile(const char*, int32_t) {}
bool ContentViewer::isCurrent(const char*, uint64_t, int64_t) { return false; }

std::string ContentViewer::listText() const {
    std::string text = state_->caption.empty() ? state_->item : state_->caption;
    text += std::string(" (") + state_->kindName + ")";
    if ((state_->values[0] & kShowDetails) && !state_->item.empty()) text += ": " + state_->item;
    return text;
}

std::string ContentViewer::itemPath() const {
    if (!state_->settings || !state_->settings->security || state_->item.empty()) return std::string();
    const std::string folder = state_->settings->security->targetFolder();
    const std::string name = quillet::viewer::targetNameOf(state_->item);
    return folder.empty() || name.empty() ? std::string() : folder + "\\" + name;
}

#define ORVANE_CONTENT_VIEWER_BODY(Name, KindName)  \
    Name::Name() : ContentViewer(KindName) {}      \
    Name::~Name() = default

ORVANE_CONTENT_VIEWER_BODY(CFileViewer, "File");
ORVANE_CONTENT_VIEWER_BODY(CFolderViewer, "Folder");
ORVANE_CONTENT_VIEWER_BODY(CWebViewer, "Web page");
ORVANE_CONTENT_VIEWER_BODY(CZipViewer, "Archive");
ORVANE_CONTENT_VIEWER_BODY(CMediaViewer, "Media");
ORVANE_CONTENT_VIEWER_BODY(CFlashViewer, "Animation");
ORVANE_CONTENT_VIEWER_BODY(CSlideShowViewer, "Slide show");
ORVANE_CONTENT_VIEWER_BODY(CMenuViewer, "Menu");
ORVANE_CONTENT_VIEWER_BODY(CMusicViewer, "Music");
ORVANE_CONTENT_VIEWER_BODY(CImageViewer, "Picture");
ORVANE_CONTENT_VIEWER_BODY(CFailsafeViewer, "Failsafe");

#if defined(_WIN32) && !defined(_WIN64)
// The launcher reserves exactly these bytes for each class.
static_assert(sizeof(CFileViewer) == quillet::viewer::findComponentKind(0)->bytes);
static_assert(sizeof(CFolderViewer) == quillet::viewer::findComponentKind(1)->bytes);
static_assert(sizeof(CWebViewer) == quillet::viewer::findComponentKind(2)->bytes);
static_assert(sizeof(CZipViewer) == quillet::viewer::findComponentKind(3)->bytes);
static_assert(sizeof(CMediaViewer) == quillet::viewer::findComponentKind(4)->bytes);
static_assert(sizeof(CFlashViewer) == quillet::viewer::findComponentKind(5)->bytes);
static_assert(sizeof(CSlideShowViewer) == quillet::viewer::findComponentKind(6)->bytes);
static_assert(sizeof(CMenuViewer) == quillet::viewer::findComponentKind(7)->bytes);
static_assert(sizeof(CMusicViewer) == quillet::viewer::findComponentKind(8)->bytes);
static_assert(sizeof(CImageViewer) == quillet::viewer::findComponentKind(9)->bytes);
static_assert(sizeof(CFailsafeViewer) == quillet::viewer::findComponentKind(10)->bytes);
static_assert(sizeof(CProjectSettingsViewer) == quillet::viewer::findComponentKind(98)->bytes);
static_assert(sizeof(CSecurityViewer) == quillet::viewer::findComponentKind(99)->bytes);
#endif
