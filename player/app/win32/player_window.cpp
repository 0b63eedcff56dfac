#include "player/app/win32/player_window.h"

#include "common/win32/file_system.h"
#include "player/app/win32/resource.h"
#include "common/win32/message_pump.h"
#include "player/container/win32/win32_movie_file.h"

namespace quillet {

PlayerWindow::PlayerWindow()
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

void PlayerWindow::makePlayer() {
    player_ = std::make_unique<Player>(document_.frameData(), compositor_, handle());
    player_->setSound(&trackSound_);
}

PlayerWindow::~PlayerWindow() {
    // The run ends, and its end report is taken in, while the player still exists.
    if (player_) player_->shutdown();
    player_.reset();
    compositor_.reset();
    document_.ResetMovie();
}

void PlayerWindow::ResetMovie() {
    if (player_) player_->shutdown();
    player_.reset();
    compositor_.reset();
    document_.ResetMovie();
    objects_.clear();
    objectFiles_.deleteCreated();
    if (handle()) makePlayer();
}

LRESULT PlayerWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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

bool PlayerWindow::OpenMovie() { return OpenMovie(win32::modulePath()); }

bool PlayerWindow::OpenMovie(const std::string& path) {
    ResetMovie();
    objectFiles_.setMovie(path, mainWindow_);
    soundFiles_.setWindow(mainWindow_);
    bool opened = document_.OpenMovie(path);
    objects_.load(document_.takeObjects());
    objects_.referenceRect = document_.frameData().info().recordedArea;
    if (opened) compositor_.prepareSeeking();
    return opened;
}

void PlayerWindow::holdAtObject() { player_->holdAtObject(); }

void PlayerWindow::continueAt(int64_t frame) {
    if (player_->continueAt(frame)) ::PostMessageA(mainWindow_, WM_COMMAND, ID_PLAY_PAUSE, 0);
}

void PlayerWindow::playObjectSound(const std::string& path) { document_.tracks().playObjectSound(path, 0); }

void PlayerWindow::stopObjectSound() { document_.tracks().stopAttachedSounds(); }

void PlayerWindow::showMessage(Owner owner, const char* text, const char* caption, Icon icon) {
    HWND parent = owner == Owner::MainWindow ? mainWindow_ : handle();
    UINT style = icon == Icon::Error ? MB_ICONERROR : MB_ICONWARNING;
    ::MessageBoxA(parent, text, caption, MB_OK | style);
}

void PlayerWindow::showLoadingDialog() { loading_.show(kLoadingText, mainWindow_); }

void PlayerWindow::destroyLoadingDialog() { loading_.destroy(); }

}  // namespace quillet
