#include "player/objects/win32/temporary_object_files.h"

#include "common/win32/file_system.h"
#include "common/win32/handles.h"
#include "player/container/compressed_block.h"

namespace quillet {
namespace {

constexpr char kCaption[] = "Tavrix";
constexpr char kMissingSoundFile[] = "file not found - sound file\n";
constexpr char kZlibUncompressionError[] = "Zlib Uncompression Error";
constexpr char kFailToCreateTemporaryFile[] = "Fail to Create Temporary File";
constexpr char kUndoFileName[] = "tvm_undo.tmp";
constexpr char kTemporaryPrefix[] = "qlt";
constexpr char kLeftoverPattern[] = "qlt????.tmp";

// A new, empty file of a unique name in the temporary folder, made by the system.
std::string uniqueTemporaryFile() {
    char path[MAX_PATH] = {};
    const std::string folder = win32::tempFolder();
    if (!::GetTempFileNameA(folder.c_str(), kTemporaryPrefix, 0, path)) return std::string();
    return path;
}

bool writeAll(HANDLE file, const void* bytes, size_t length) {
    DWORD written = 0;
    return length == 0 ||
           (::WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr) && written == length);
}

// A file made here, never one that exists: the names come from the movie, and a
// file of the same name in the temporary folder belongs to someone else.
win32::UniqueFile createNew(const std::string& path) {
    return win32::UniqueFile(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool exists(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

}  // namespace

void TemporaryObjectFiles::setMovie(const std::string& moviePath, HWND messageOwner) {
    moviePath_ = moviePath;
    messageOwner_ = messageOwner;
    reported_.clear();
}

void TemporaryObjectFiles::deleteCreated() {
    for (const std::string& path : created_) ::DeleteFileA(path.c_str());
    created_.clear();
}

Size TemporaryObjectFiles::screen() const { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

std::string TemporaryObjectFiles::createSoundFile(const std::string& name) {
    std::string path;
    if (!name.empty()) {
        std::string folder = win32::tempFolder();
        if (folder.empty() || folder.back() != '\\') folder += '\\';
        for (int k = -1; k < kNumberedSoundNames && path.empty(); ++k) {
            const std::string candidate = folder + (k < 0 ? name : numberedSoundName(name, k));
            if (createNew(candidate))
                path = candidate;
            else if (!exists(::GetLastError()))
                break;  // a name the folder refuses: a fresh one instead
        }
    }
    // The system makes the file of a fresh name itself.
    if (path.empty()) path = uniqueTemporaryFile();
    if (path.empty()) return std::string();
    created_.push_back(path);
    return path;
}

bool TemporaryObjectFiles::appendFile(const std::string& path, const uint8_t* bytes, size_t length) {
    win32::UniqueFile file(::CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && writeAll(file.get(), bytes, length);
}

std::string TemporaryObjectFiles::attachedSoundPath(const AttachedSound& sound, bool separate) {
    if (separate) {
        const std::string path = folderOf(moviePath_) + "\\" + sound.name;
        if (win32::fileExists(path)) return path;
        report((std::string(kMissingSoundFile) + path).c_str());
        return std::string();
    }
    // The system's unique name, with the movie's name after it, so that the file
    // tells which movie it belongs to.
    const std::string unique = uniqueTemporaryFile();
    if (unique.empty()) {
        report(kFailToCreateTemporaryFile);
        return std::string();
    }
    created_.push_back(unique);
    std::string path = withoutExtension(unique) + "_" + withoutExtension(nameOf(moviePath_)) + ".tmp";
    win32::UniqueFile file = createNew(path);
    if (!file) {
        // Left by an earlier run, or not a name the folder takes: the system's file
        // of the unique name, made just now and empty, holds the sound instead.
        path = unique;
        file.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    }
    if (!file) {
        report(kFailToCreateTemporaryFile);
        return std::string();
    }
    if (path != unique) created_.push_back(path);
    const InflateResult result = inflateSound(sound.sound, [&file](const uint8_t* piece, size_t length) {
        return writeAll(file.get(), piece, length);
    });
    if (result == InflateResult::Finished) return path;
    // The sound is left out; the movie plays on without it.
    report(result == InflateResult::Damaged ? kZlibUncompressionError : kFailToCreateTemporaryFile);
    return std::string();
}

void TemporaryObjectFiles::report(const char* text) {
    if (reported_.first(text)) ::MessageBoxA(messageOwner_, text, kCaption, MB_OK | MB_ICONERROR);
}

void TemporaryObjectFiles::afterSection(bool sweepTemporaryFiles) {
    const std::string folder = win32::tempFolder();
    ::DeleteFileA((folder + "\\" + kUndoFileName).c_str());
    if (!sweepTemporaryFiles) return;
    // Files of unique names that an earlier run made and never filled.
    WIN32_FIND_DATAA found{};
    win32::UniqueFind search(::FindFirstFileA((folder + "\\" + kLeftoverPattern).c_str(), &found));
    if (!search) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (found.nFileSizeLow == 0 && found.nFileSizeHigh == 0) ::DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (::FindNextFileA(search.get(), &found));
}

}  // namespace quillet
