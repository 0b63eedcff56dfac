#pragma once
// What the sound tracks need of Windows: the temporary folder and its files, the
// messages, the pause between attempts to open the device, and the window the
// device is opened for.

#include <windows.h>

#include "player/audio/sound_tracks.h"

namespace quillet {

class TemporarySoundFiles : public SoundTrackHost {
public:
    void setWindow(HWND window) { window_ = window; }

    std::string temporaryFolder() override;
    bool fileExists(const std::string& path) override;
    std::unique_ptr<OutputFile> createFile(const std::string& path) override;
    void deleteFile(const std::string& path) override;
    void report(const std::string& text) override;
    void waitBeforeRetry() override;
    uint64_t nowMs() override;
    void* window() override { return window_; }

private:
    HWND window_ = nullptr;
};

}  // namespace quillet
