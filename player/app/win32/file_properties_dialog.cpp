#include "player/app/win32/file_properties_dialog.h"

#include "common/win32/string_resources.h"
#include "player/app/maker_addresses.h"
#include "player/app/win32/movie_file_length.h"
#include "player/app/win32/shell_open.h"
#include "player/container/frame_time.h"
#include "player/app/win32/resource.h"

namespace quillet {
namespace {

constexpr COLORREF kImageKey = 0xFF00FF;
// The thumbnail lies inside its frame control, this far from the frame's edges.
constexpr int kThumbnailInset = 2;

struct ButtonImage {
    int controlId;
    int bitmapId;
};
constexpr ButtonImage kButtonImages[] = {
    {IDOK, IDB_OK}, {IDC_AUTHOR_WEB, IDB_WEB}, {ID_SUPPORT_MAIL, IDB_MAIL}, {ID_ABOUT_WEB, IDB_WEB},
    {IDC_EDIT_MOVIE, IDB_EDIT},
};
constexpr size_t kEditButton = 4;
static_assert(kButtonImages[kEditButton].controlId == IDC_EDIT_MOVIE);

FilePropertiesFormats formatsFromStringTable() {
    FilePropertiesFormats formats;
    formats.description = win32::loadString(IDS_DESCRIPTION);
    formats.createdBy = win32::loadString(IDS_CREATED_BY);
    formats.date = win32::loadString(IDS_DATE);
    formats.recordedArea = win32::loadString(IDS_RECORDED_AREA);
    formats.fileSize = win32::loadString(IDS_FILE_SIZE);
    formats.fileLength = win32::loadString(IDS_FILE_LENGTH);
    formats.fileSizeUnknown = win32::loadString(IDS_FILE_SIZE_UNKNOWN);
    return formats;
}

}  // namespace

FilePropertiesDialog::FilePropertiesDialog(MovieDocument& movie, CCaptionList& objects)
    : frames_(movie.frameData()), objects_(objects) {
    const MovieFacts facts{movie.header(), frames_.info().recordedArea, totalLength(frames_.frames()),
                           movieFileLength(movie.filePath())};
    texts_ = filePropertiesTexts(facts, formatsFromStringTable());
}

void FilePropertiesDialog::run(HWND owner) { runModal(IDD_FILE_PROPERTIES, owner); }

BOOL FilePropertiesDialog::onInit() {
    const std::pair<int, const std::string*> fields[] = {
        {IDC_VERSION_LINE, &texts_.versionLine}, {IDC_CREATED_BY, &texts_.createdBy},
        {IDC_DATE, &texts_.date},                {IDC_RECORDED_AREA, &texts_.recordedArea},
        {IDC_FILE_LENGTH, &texts_.fileLength},   {IDC_FILE_SIZE, &texts_.fileSize},
        {IDC_DESCRIPTION, &texts_.description},
    };
    for (const auto& [id, text] : fields) ::SetDlgItemTextA(handle(), id, text->c_str());

    for (size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i].attach(handle(), kButtonImages[i].controlId);
        buttons_[i].setImage(kButtonImages[i].bitmapId, kImageKey, CImageButton::kImageLeft);
    }
    buttons_[kEditButton].disable();
    createThumbnail();
    return TRUE;
}

void FilePropertiesDialog::createThumbnail() {
    HWND frame = ::GetDlgItem(handle(), IDC_THUMBNAIL);
    if (!frame) return;
    RECT area{};
    ::GetWindowRect(frame, &area);
    ::MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&area), 2);
    ::InflateRect(&area, -kThumbnailInset, -kThumbnailInset);
    if (thumbnail_.create(handle(), area, IDC_THUMBNAIL)) thumbnail_.prepare(frames_, &objects_);
}

void FilePropertiesDialog::onCommand(int id, int, HWND) {
    const LogoRecord& logo = frames_.logoRecord();
    switch (id) {
    case IDOK:
    case IDCANCEL: endModal(id); break;
    case IDC_AUTHOR_WEB: openWithShell(handle(), authorWebAddress(logo.link())); break;
    case ID_SUPPORT_MAIL: openWithShell(handle(), authorMailCommand(logo.mail())); break;
    case ID_ABOUT_WEB: openWithShell(handle(), kMakerWebSite); break;
    default: break;
    }
}

bool FilePropertiesDialog::onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    if (message != WM_DRAWITEM) return false;
    result = CImageButton::reflectDrawItem(lParam);
    return result != 0;
}

}  // namespace quillet
