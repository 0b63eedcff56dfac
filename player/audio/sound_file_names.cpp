#include "player/audio/sound_file_names.h"

#include <cstdio>

namespace quillet {
namespace {

constexpr char kTemporaryPrefix[] = "qlt";
// A second player of the same movie must not reach this many copies; if it does,
// the last name is used over again.
constexpr int kMostAlternatives = 1000;

std::string nameOfPath(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string withoutLastExtension(const std::string& text) {
    const size_t dot = text.rfind('.');
    const size_t slash = text.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return text;
    return text.substr(0, dot);
}

SoundFileNames::SoundFileNames(std::string temporaryFolder, std::string moviePath, bool distNaming, bool distSoundName,
                               SoundNaming naming)
    : naming_(naming), folder_(std::move(temporaryFolder)), moviePath_(std::move(moviePath)), distNaming_(distNaming),
      distSoundName_(distSoundName) {
    std::string name = nameOfPath(moviePath_);
    if (naming_ == SoundNaming::Current && name.compare(0, 3, kTemporaryPrefix) != 0) name = kTemporaryPrefix + name;
    stem_ = withoutLastExtension(name);
}

std::string SoundFileNames::suffix(SoundKind kind, int effect) const {
    switch (kind) {
    case SoundKind::Narration:
        return distNaming_ ? (distSoundName_ ? "_DistSound.wav" : "_DistNarration.wav") : "_Narration.wav";
    case SoundKind::Background: return distNaming_ ? "_DistBackground.wav" : "_Background.wav";
    case SoundKind::Effect: {
        char text[32];
        std::snprintf(text, sizeof text, "Effect%d.wav", effect);
        const char* separator = naming_ == SoundNaming::Current ? "_" : "";
        return std::string(distNaming_ ? "_Dist" : separator) + text;
    }
    }
    return std::string();
}

std::string SoundFileNames::temporaryFile(SoundKind kind, int effect,
                                          const std::function<bool(const std::string&)>& exists) const {
    if (naming_ == SoundNaming::Earlier)
        return folder_ + (kind == SoundKind::Effect ? std::string() : stem_) + suffix(kind, effect);
    std::string candidate = folder_ + stem_ + suffix(kind, effect);
    for (int k = 0; k < kMostAlternatives && exists(candidate); ++k) {
        char number[16];
        std::snprintf(number, sizeof number, "_%.3d", k);
        candidate = folder_ + stem_ + number + suffix(kind, effect);
    }
    return candidate;
}

std::string SoundFileNames::besideMovie(SoundKind kind, int effect) const {
    return withoutLastExtension(moviePath_) + suffix(kind, effect);
}

}  // namespace quillet
