// movietool sounds: every sound of a movie written out as a WAV file, the way the
// player writes them to its temporary folder, and listed as JSON.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/json_writer.h"
#include "tools/movietool/folder_object_host.h"
#include "tools/movietool/tool_movie.h"

namespace quillet {
namespace {

void listFile(JsonWriter& json, const std::string& sound, const std::string& path) {
    json.beginObject();
    json.value("sound", sound);
    json.value("path", path);
    std::error_code error;
    json.value("bytes", static_cast<uint64_t>(std::filesystem::file_size(path, error)));
    json.endObject();
}

}  // namespace

int runSounds(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fputs("usage: movietool sounds MOVIE FOLDER\n", stderr);
        return 2;
    }
    auto file = StdioMovieFile::open(args[0]);
    if (!file) {
        std::fprintf(stderr, "movietool: cannot open %s\n", args[0].c_str());
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(args[1], error);
    const std::string movieFolder = std::filesystem::path(args[0]).parent_path().string();
    FolderObjectHost objectHost(args[1], movieFolder.empty() ? "." : movieFolder);
    NoSoundSystem noDevice;
    ToolSoundHost soundHost(args[1]);
    SoundTrackSet tracks(noDevice, soundHost);
    MovieOpenRequest request;
    request.placement = MoviePlacement::AppendedOrBare;
    request.objectHost = &objectHost;
    request.tracks = &tracks;
    // The sounds a player writes beside the movie (the oldest form) go to the
    // folder as well.
    request.soundPath = args[1] + "/" + std::filesystem::path(args[0]).filename().string();
    OpenedMovie movie;
    const MovieOpenStatus status = openMovie(*file, request, movie);
    if (status != MovieOpenStatus::Opened && status != MovieOpenStatus::SoundsFailed) {
        std::fprintf(stderr, "movietool: %s: %s\n", args[0].c_str(),
                     openFailureText(status).c_str());
        return 1;
    }
    const bool loaded = status == MovieOpenStatus::Opened;
    const ObjectSection& objects = movie.objects;

    JsonWriter json;
    json.beginObject();
    json.beginArray("files");
    for (const SoundRecordListing& record : tracks.records()) listFile(json, record.what, record.path);
    for (const CaptionRecord& object : objects.objects) {
        if (!object.sound.path.empty()) listFile(json, "object " + std::to_string(object.header.objectId), object.sound.path);
        if (!object.hotspot.sound.path.empty())
            listFile(json, "hotspot " + std::to_string(object.header.objectId), object.hotspot.sound.path);
    }
    json.endArray();
    // What a player would have told the viewer, but for the sound device, which a
    // tool has no use for.
    json.beginArray("messages");
    std::vector<std::string> messages = objectHost.messages;
    for (const std::string& message : soundHost.messages)
        if (message != kNoSoundDeviceText) messages.push_back(message);
    for (const std::string& message : messages) json.value(nullptr, message);
    json.endArray();
    json.endObject();
    std::fputs(json.text().c_str(), stdout);
    return loaded ? 0 : 1;
}

}  // namespace quillet
