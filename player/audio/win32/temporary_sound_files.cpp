#include "player/audio/win32/temporary_sound_files.h"

#include <chrono>

#include "common/win32/file_system.h"
#include "common/win32/handles.h"

namespace quillet {
namespace {

constexpr char kCaption[] = "Tavrix";
constexpr DWORD kRetryPauseMs = 500;

class WindowsFile : public OutputFile {
public:
    explicit WindowsFile(win32::UniqueFile file) : file_(std::move(file)) {}
    bool write(const void* data, size_t length) override {
        DWORD written = 0;
        return ::WriteFile(file_.get(), data, static_cast<DWORD>(length), &written, nullptr) && written == length;
    }

private:
    win32::UniqueFile file_;
};

}  // namespace

std::string TemporarySoundFiles::temporaryFolder() { return win32::tempFolder() + "\\"; }

bool TemporarySoundFiles::fileExists(const std::string& path) { return win32::fileExists(path); }

std::unique_ptr<OutputFile> TemporarySoundFiles::createFile(const std::string& path) {
    win32::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    return std::make_unique<WindowsFile>(std::move(file));
}

void TemporarySoundFiles::deleteFile(const std::string& path) { ::DeleteFileA(path.c_str()); }

void TemporarySoundFiles::report(const std::string& text) {
    ::MessageBoxA(window_, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

void TemporarySoundFiles::waitBeforeRetry() { ::Sleep(kRetryPauseMs); }

uint64_t TemporarySoundFiles::nowMs() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

}  // namespace quillet
