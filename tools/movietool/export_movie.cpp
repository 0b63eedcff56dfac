#include "tools/movietool/export_movie.h"

#include <filesystem>

#include "player/app/movie_document.h"
#include "tools/movietool/folder_object_host.h"
#include "tools/movietool/movie_locate.h"
#include "tools/movietool/tool_sound_host.h"

namespace quillet {

bool readMovieForExport(const std::string& path, const std::string& soundFolder, ExportMovie& movie,
                        std::string& error) {
    auto file = StdioMovieFile::open(path);
    if (!file) {
        error = "cannot open it";
        return false;
    }
    MovieLocation location;
    MovieHeader header;
    bool appended = false;
    if (!locateMovie(*file, location, header, appended)) {
        error = std::string(kDamagedMovieText) + " (not a movie)";
        return false;
    }
    const double version = header.version();
    if (version > ProgramVersion()) {
        error = "the movie is newer than the player";
        return false;
    }
    if (version >= kFirstVersionWithHeaderCopy) readHeaderCopy(*file, location.movieEnd, header);
    const FormatReaders readers = readersForVersion(version);
    const std::string movieFolder = std::filesystem::path(path).parent_path().string();
    FolderObjectHost objectHost(soundFolder, movieFolder.empty() ? "." : movieFolder);
    movie.objects = readObjectSectionAt(*file, location.movieEnd, readers.objects, objectHost);
    if (movie.objects.unknownKind) {
        error = std::string(kDamagedMovieText) + " (an object of unknown kind)";
        return false;
    }
    NoSoundSystem noDevice;
    ToolSoundHost soundHost(soundFolder);
    SoundTrackSet tracks(noDevice, soundHost);
    BufferedReader in(*file, location.movieEnd);
    // Named as if the movie lay in the sound folder: the oldest forms write their
    // tracks beside the movie, and an export writes nothing beside it. Sounds the
    // movie keeps beside itself are then not found, and the video goes without them.
    const std::string movieName = std::filesystem::path(path).filename().string();
    if (!tracks.load(in, soundFolder + "/" + movieName, readers.sounds)) {
        error = std::string(kDamagedMovieText) + " (its sounds do not unpack)";
        return false;
    }
    file->seek(in.position());

    // Without a device the set keeps the paths but not the presence of the tracks.
    const SoundSectionHeader& section = tracks.section();
    MovieSounds& sounds = movie.sounds;
    sounds.narrationVolume = section.narrationVolume;
    sounds.backgroundVolume = section.backgroundVolume;
    if (section.narrationPresent) sounds.narration = tracks.narrationPath();
    for (const SoundRecordListing& record : tracks.records())
        if (record.what == "background") sounds.background = record.path;
    sounds.effectsPresent = tracks.effectsPresent();
    sounds.effects = tracks.effectPaths();
    movie.messages = objectHost.messages;
    for (const std::string& message : soundHost.messages)
        if (message != kNoSoundDeviceText) movie.messages.push_back(message);

    FrameData& frames = *movie.frames;
    loadFramesAsThePlayerDoes(frames, *file, location.movieEnd, readers);
    frames.BuildObjectTimeline(objectSpans(movie.objects));
    if (frames.frameCount() <= 0 || frames.frames().filled() == 0) {
        error = std::string(kDamagedMovieText) + " (no frames)";
        return false;
    }
    return true;
}

}  // namespace quillet
