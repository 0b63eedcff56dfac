#pragma once
// Where a movie's sounds go: the temporary files named after the movie, with
// numbered alternatives when another copy of the movie is playing, and the files
// beside the movie for sounds it does not store.

#include <cstdint>
#include <functional>
#include <string>

namespace quillet {

enum class SoundKind { Narration, Background, Effect };

enum class SoundNaming {
    // "qlt" before the movie's name, numbered names while a file exists, effects
    // named after the movie with "_" between.
    Current,
    // Movies before 3.0: the movie's name as it is, one name per sound (a file that
    // exists is taken as it is), effects by number alone.
    Earlier,
};

class SoundFileNames {
public:
    // temporaryFolder ends with its separator; moviePath is the movie's full path.
    SoundFileNames(std::string temporaryFolder, std::string moviePath, bool distNaming, bool distSoundName,
                   SoundNaming naming = SoundNaming::Current);

    // The temporary file for a stored sound: the first candidate that does not exist
    // yet (earlier naming has one candidate). effect is the effect number for
    // SoundKind::Effect.
    std::string temporaryFile(SoundKind kind, int effect, const std::function<bool(const std::string&)>& exists) const;
    // The file beside the movie for a sound it does not store.
    std::string besideMovie(SoundKind kind, int effect) const;

    // The movie's file name as temporary names begin, the extension gone; with the
    // current naming "qlt" is in front, unless it is there already.
    const std::string& stem() const { return stem_; }

private:
    std::string suffix(SoundKind kind, int effect) const;

    SoundNaming naming_;
    std::string folder_;
    std::string moviePath_;
    std::string stem_;
    bool distNaming_;
    bool distSoundName_;
};

// The text without its last "." and what follows (within its last path part).
std::string withoutLastExtension(const std::string& text);

}  // namespace quillet
