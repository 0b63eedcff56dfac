#include "player_document.h"

#include "common/win32/file_system.h"
#include "player/container/win32_movie_file.h"

namespace quillet {

CPlayerDocument::CPlayerDocument()
    : document_(*this, [](const std::string& path) -> std::unique_ptr<MovieFile> {
          return Win32MovieFile::open(path);
      }, bitmaps_) {
    create("QuilletDocument", 0, WS_POPUP, "", 0, 0, 0, 0, nullptr);
}

CPlayerDocument::~CPlayerDocument() { document_.ResetMovie(); }

bool CPlayerDocument::OpenMovie() { return document_.OpenMovie(win32::modulePath()); }

void CPlayerDocument::showMessage(Owner owner, const char* text, const char* caption, Icon icon) {
    HWND parent = owner == Owner::MainWindow ? mainWindow_ : handle();
    UINT style = icon == Icon::Error ? MB_ICONERROR : MB_ICONWARNING;
    ::MessageBoxA(parent, text, caption, MB_OK | style);
}

void CPlayerDocument::showLoadingDialog() { loading_.show(kLoadingText, mainWindow_); }

void CPlayerDocument::destroyLoadingDialog() { loading_.destroy(); }

}  // namespace quillet
