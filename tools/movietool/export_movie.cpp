#include "tools/movietool/export_movie.h"

#include <filesystem>

#include "player/movie/movie_document.h"
#include "tools/movietool/folder_object_host.h"
#include "tools/movietool/tool_movie.h"

namespace quillet {

bool readMovieForExport(const std::string& path, const std::string& soundFolder, ExportMovie& movie,
                        std::string& error) {
    auto file = StdioMovieFile::open(path);
    if (!file) {
        error = "cannot open it";
        return false;
    }
    const std::string movieFolder = std::filesystem::path(path).parent_path().string();
    FolderObjectHost objectHost(soundFolder, movieFolder.empty() ? "." : movieFolder);
    NoSoundSystem noDevice;
    ToolSoundHost soundHost(soundFolder);
    SoundTrackSet tracks(noDevice, soundHost);
    MovieOpenRequest request;
    request.placement = MoviePlacement::AppendedOrBare;
    request.objectHost = &objectHost;
    request.tracks = &tracks;
    // Named as if the movie lay in the sound folder: the oldest forms write their
    // tracks beside the movie, and an export writes nothing beside it. Sounds the
    // movie keeps beside itself are then not found, and the video goes without them.
    request.soundPath = soundFolder + "/" + std::filesystem::path(path).filename().string();
    OpenedMovie opened;
    if (const MovieOpenStatus status = openMovie(*file, request, opened); status != MovieOpenStatus::Opened) {
        error = openFailureText(status);
        return false;
    }
    movie.objects = std::move(opened.objects);

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
    readAllFrames(frames, *file, opened);
    frames.BuildObjectTimeline(objectSpans(movie.objects));
    if (frames.frameCount() <= 0 || frames.frames().filled() == 0) {
        error = std::string(kDamagedMovieText) + " (no frames)";
        return false;
    }
    return true;
}

}  // namespace quillet
