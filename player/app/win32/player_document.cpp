#include "player/app/win32/player_document.h"

#include "common/win32/file_system.h"
#include "player/app/resource.h"
#include "common/win32/message_pump.h"
#include "player/container/win32/win32_movie_file.h"

namespace quillet {

CPlayerDocument::CPlayerDocument()
    : document_(*this, [](const std::string& path) -> std::unique_ptr<MovieFile> {
          return Win32MovieFile::open(path);
      }, bitmaps_, objectFiles_, soundSystem_, soundFiles_),
      trackSound_(document_.tracks()),
      compositor_(document_.frameData(), cursors_) {
    create("QuilletDocument", 0, WS_POPUP, "", 0, 0, 0, 0, nullptr);
    // Movies read while they open (the earlier versions) let one waiting message
    // through before each frame, so that the windows keep answering.
    document_.frameData().setForegroundPump([] { win32::pumpMessages(1); });
    makePlayer();
    objects_.setHost(this);
}

void CPlayerDocument::makePlayer() {
    player_ = std::make_unique<CPlayer>(document_.frameData(), compositor_, handle());
    player_->setSound(&trackSound_);
}

CPlayerDocument::~CPlayerDocument() {
    // The run ends, and its end report is taken in, while the player still exists.
    if (player_) player_->shutdown();
    player_.reset();
    compositor_.reset();
    document_.ResetMovie();
}

void CPlayerDocument::ResetMovie() {
    if (player_) player_->shutdown();
    player_.reset();
    compositor_.reset();
    document_.ResetMovie();
    objects_.clear();
    objectFiles_.deleteCreated();
    if (handle()) makePlayer();
}

LRESULT CPlayerDocument::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kMessageRunEnded:
        if (player_) player_->onRunEnded(wParam != 0, static_cast<int64_t>(lParam), mainWindow_, view_, &objects_);
        return 0;
    case kMessageHundredFrames:
        // The playback thread has already freed the pictures of passed objects:
        // it draws them, so that is done there, not here.
        return 0;
    default:
        return defaultMessage(message, wParam, lParam);
    }
}

bool CPlayerDocument::OpenMovie() { return OpenMovie(win32::modulePath()); }

bool CPlayerDocument::OpenMovie(const std::string& path) {
    ResetMovie();
    objectFiles_.setMovie(path, mainWindow_);
    soundFiles_.setWindow(mainWindow_);
    bool opened = document_.OpenMovie(path);
    objects_.load(document_.objects());
    objects_.referenceRect = document_.frameData().info().recordedArea;
    if (opened) compositor_.prepareSeeking();
    return opened;
}

void CPlayerDocument::holdAtObject() { player_->holdAtObject(); }

void CPlayerDocument::continueAt(int64_t frame) {
    if (player_->continueAt(frame)) ::PostMessageA(mainWindow_, WM_COMMAND, ID_PLAY_PAUSE, 0);
}

void CPlayerDocument::playObjectSound(const std::string& path) { document_.tracks().playObjectSound(path, 0); }

void CPlayerDocument::stopObjectSound() { document_.tracks().stopAttachedSounds(); }

void CPlayerDocument::showMessage(Owner owner, const char* text, const char* caption, Icon icon) {
    HWND parent = owner == Owner::MainWindow ? mainWindow_ : handle();
    UINT style = icon == Icon::Error ? MB_ICONERROR : MB_ICONWARNING;
    ::MessageBoxA(parent, text, caption, MB_OK | style);
}

void CPlayerDocument::showLoadingDialog() { loading_.show(kLoadingText, mainWindow_); }

void CPlayerDocument::destroyLoadingDialog() { loading_.destroy(); }

}  // namespace quillet
