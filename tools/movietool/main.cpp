// movietool: builds movies, appends them to a player and reports what a movie holds.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/help_request.h"
#include "common/json_writer.h"
#include "player/audio/wav_file.h"
#include "player/container/movie_file.h"
#include "tools/movietool/movie_report.h"
#include "tools/moviewriter/desktop_scene.h"
#include "tools/moviewriter/movie_writer.h"
#include "tools/moviewriter/object_description.h"
#ifdef _WIN32
#include "player/objects/win32/stored_pictures.h"
#endif

namespace quillet {
int runStill(const std::vector<std::string>& args);
int runSounds(const std::vector<std::string>& args);
int runExport(const std::vector<std::string>& args);
}

namespace {

const char kUsage[] =
    "usage:\n"
    "  movietool info FILE [--no-frames]\n"
    "  movietool pack PLAYER.exe MOVIE OUT.exe\n"
    "  movietool wav FILE\n"
    "  movietool still MOVIE FRAME OUT.bmp|OUT.png [--no-cursor] [--no-objects] [--no-logo] [--size WxH]\n"
    "      (PNG in the native build)\n"
    "  movietool make OUT [--version MAJOR.MINOR] [--signature TEXT] [--created-by TEXT]\n"
    "                     [--date TEXT] [--description TEXT] [--screen WxH]\n"
    "                     [--copy-description TEXT] [--damaged-copy]\n"
    "                     [--frames FOLDER | --scene desktop|exercise] [--delay MS] [--fps N]\n"
    "                     [--band-height ROWS] [--objects FILE]\n"
    "                     [--narration WAV] [--background WAV] [--effect N WAV]... [--speech]\n"
    "                     [--cursor BMP] [--logo BMP] [--logo-corner N] [--logo-link TEXT]\n"
    "      --frames takes the folder's .bmp files in name order as full-screen pictures;\n"
    "      the screen size is the first picture's.\n"
    "      --scene desktop records a made-up desktop session (1024x768 unless --screen);\n"
    "      --scene exercise a short one on the same desktop that holds for a click and a drag.\n"
    "      --objects adds annotation objects described one per line (see the README).\n"
    "      --speech stores narration and background as GSM speech (16-bit mono WAV).\n"
    "      --version writes the layout of that version (0.9, 0.95, 1.0 ... 1.85, 3.0).\n"
    "      --cursor stores a recorded cursor shape (magenta where the screen shows),\n"
    "      drawn at (4, 4) in every frame of --frames.\n"
    "      --logo stores a logo (versions 1.3 and later) at corner N (0 to 3).\n"
    "  movietool sounds MOVIE FOLDER\n"
    "      writes every sound of the movie into FOLDER as a WAV file and lists them.\n"
#ifdef QUILLET_EXPORT
    "  movietool export MOVIE OUT.mp4|OUT.webm|OUT.gif|OUT.mkv [--subtitles OUT.vtt] [--no-sound]\n"
    "                  [--no-cursor] [--no-objects] [--size WxH] [--hold-seconds N] [--lossless]\n"
    "      the movie as a video with its sound and captions; a hotspot becomes a pause of\n"
    "      --hold-seconds (3) showing what the viewer is to do, then the movie goes on.\n"
#endif
    ;

// The recorded cursor of --cursor: its id, and where every frame has it.
constexpr uint32_t kToolCursorId = 1;
constexpr int32_t kToolCursorAt = 4;

bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    bytes = buffer.str();
    return in.good() || in.eof();
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "movietool: %s\n", message.c_str());
    return 1;
}

int info(const std::vector<std::string>& args) {
    bool withFrames = !(args.size() == 2 && args[1] == "--no-frames");
    if (args.size() != 1 && withFrames) return fail(std::string("info takes one file\n") + kUsage);
    auto file = quillet::StdioMovieFile::open(args[0]);
    if (!file) return fail("cannot open " + args[0]);
    std::string report, error;
    if (!quillet::describeMovie(*file, withFrames, report, error)) return fail(args[0] + ": " + error);
    std::fputs(report.c_str(), stdout);
    return 0;
}

int wav(const std::vector<std::string>& args) {
    if (args.size() != 1) return fail(std::string("wav takes one file\n") + kUsage);
    quillet::WaveReader reader([](const std::string& path) -> std::unique_ptr<quillet::MovieFile> {
        return quillet::StdioMovieFile::open(path);
    });
    bool opened = reader.open(args[0]);
    quillet::JsonWriter json;
    json.beginObject();
    if (opened) {
        json.value("channels", static_cast<uint32_t>(reader.channels()));
        json.value("bitsPerSample", static_cast<uint32_t>(reader.bitsPerSample()));
        json.value("samplesPerSecond", reader.samplesPerSecond());
        json.value("bytesPerSecond", reader.bytesPerSecond());
        json.value("dataBytes", reader.dataBytes());
        json.value("durationMs", reader.durationMs());
    }
    json.value("lastError", reader.lastError());
    json.endObject();
    std::fputs(json.text().c_str(), stdout);
    return opened ? 0 : 1;
}

int pack(const std::vector<std::string>& args) {
    if (args.size() != 3) return fail(std::string("pack takes three files\n") + kUsage);
    std::string player, movie;
    if (!readFile(args[0], player)) return fail("cannot read " + args[0]);
    if (!readFile(args[1], movie)) return fail("cannot read " + args[1]);
    if (!writeFile(args[2], quillet::packMovie(player, movie))) return fail("cannot write " + args[2]);
    return 0;
}

// The .bmp files of folder in name order.
std::vector<std::string> pictureFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (entry.is_regular_file() && extension == ".bmp") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool parseVersion(const std::string& text, int& major, int& minor) {
    return std::sscanf(text.c_str(), "%d.%d", &major, &minor) == 2;
}

// A stored sound from a WAV file: as speech frames or as the packed file.
int storedSound(const std::string& path, bool speech, std::string& record) {
    std::string wav, error;
    if (!readFile(path, wav)) return fail("cannot read " + path);
    if (!speech) {
        record = quillet::zlibSoundRecord(wav);
        return 0;
    }
    if (!quillet::speechSoundRecord(wav, record, error)) return fail(path + ": " + error);
    return 0;
}

int addSounds(quillet::StoredSounds& sounds, const std::string& narration, const std::string& background,
              const std::vector<std::pair<int, std::string>>& effects, bool speech) {
    quillet::SoundSectionHeader& h = sounds.header;
    h.speechCompressed = speech && (!narration.empty() || !background.empty());
    if (!narration.empty()) {
        h.narrationPresent = h.narrationEmbedded = 1;
        if (int status = storedSound(narration, speech, sounds.narration)) return status;
    }
    if (!background.empty()) {
        h.backgroundPresent = h.backgroundEmbedded = 1;
        if (int status = storedSound(background, speech, sounds.background)) return status;
    }
    for (const auto& [number, path] : effects) {
        h.effectsPresent = h.effectsEmbedded = 1;
        if (sounds.effects.size() <= static_cast<size_t>(number)) sounds.effects.resize(static_cast<size_t>(number) + 1);
        std::string record;
        if (int status = storedSound(path, false, record)) return status;
        sounds.effects[static_cast<size_t>(number)] = record;
    }
    return 0;
}

int make(const std::vector<std::string>& args) {
    if (args.empty()) return fail(std::string("make needs an output file\n") + kUsage);
    quillet::MovieWriter writer;
    quillet::MovieHeader& header = writer.header();
    std::string copyDescription, framesFolder, scene;
    bool damagedCopy = false;
    bool screenGiven = false;
    bool speech = false;
    std::string narration, background, cursorFile, logoFile;
    quillet::LogoRecord logo;
    std::vector<std::pair<int, std::string>> effects;
    int delay = 100;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--damaged-copy") {
            damagedCopy = true;
            continue;
        }
        if (option == "--speech") {
            speech = true;
            continue;
        }
        if (option == "--effect") {
            if (i + 2 >= args.size()) return fail("--effect needs a number and a file");
            const int number = std::atoi(args[i + 1].c_str());
            if (number < 0 || number > 6 || args[i + 1].find_first_not_of("0123456789") != std::string::npos)
                return fail("effects are numbered 0 to 6");
            effects.emplace_back(number, args[i + 2]);
            i += 2;
            continue;
        }
        if (i + 1 >= args.size()) return fail("option " + option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--version") {
            int major = 0, minor = 0;
            if (!parseVersion(value, major, minor)) return fail("bad version " + value);
            writer.setVersion(major, minor);
        } else if (option == "--signature") {
            quillet::MovieHeader::setText(header.signature, value);
        } else if (option == "--created-by") {
            quillet::MovieHeader::setText(header.createdBy, value);
        } else if (option == "--date") {
            quillet::MovieHeader::setText(header.date, value);
        } else if (option == "--description") {
            quillet::MovieHeader::setText(header.description, value);
        } else if (option == "--frames") {
            framesFolder = value;
        } else if (option == "--scene") {
            if (value != "desktop" && value != "exercise") return fail("unknown scene " + value);
            scene = value;
        } else if (option == "--delay") {
            delay = std::atoi(value.c_str());
        } else if (option == "--fps") {
            writer.setFramesPerSecond(std::atoi(value.c_str()));
        } else if (option == "--band-height") {
            writer.setBandHeight(std::atoi(value.c_str()));
        } else if (option == "--copy-description") {
            copyDescription = value;
        } else if (option == "--narration") {
            narration = value;
        } else if (option == "--background") {
            background = value;
        } else if (option == "--cursor") {
            cursorFile = value;
        } else if (option == "--logo") {
            logoFile = value;
        } else if (option == "--logo-corner") {
            logo.corner = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (option == "--logo-link") {
            quillet::MovieHeader::setText(logo.linkText, value);
        } else if (option == "--objects") {
            std::string text, error;
            if (!readFile(value, text)) return fail("cannot read " + value);
            if (!quillet::parseObjectDescription(text, writer.objects().objects, error)) return fail(value + ": " + error);
        } else if (option == "--screen") {
            quillet::ScreenFormat screen;
            if (std::sscanf(value.c_str(), "%dx%d", &screen.width, &screen.height) != 2 ||
                screen.width <= 0 || screen.height <= 0)
                return fail("bad screen size " + value);
            writer.setScreen(screen);
            screenGiven = true;
        } else {
            return fail("unknown option " + option);
        }
    }
    if (!copyDescription.empty()) {
        quillet::MovieHeader copy = header;
        quillet::MovieHeader::setText(copy.description, copyDescription);
        writer.setHeaderCopy(copy);
    }
    if (damagedCopy) writer.setRawHeaderCopy("not a zlib stream");
    if (!scene.empty() && !framesFolder.empty()) return fail("--scene and --frames exclude each other");
    if (!scene.empty()) {
        if (!screenGiven) writer.setScreen({1024, 768, 32});
        quillet::DesktopSceneOptions options;
        options.width = writer.screen().width;
        options.height = writer.screen().height;
        options.frameDelayMs = delay;
        const auto addFrame = [&](const quillet::Picture& picture, const quillet::FrameSpec& spec) {
            writer.addFrame(picture, spec);
        };
        std::vector<quillet::CaptionRecord> annotations = scene == "desktop"
                                                              ? quillet::recordDesktopScene(options, addFrame)
                                                              : quillet::recordExerciseScene(options, addFrame);
        auto& objects = writer.objects().objects;
        objects.insert(objects.begin(), annotations.begin(), annotations.end());
    }
    if (!cursorFile.empty()) {
        quillet::Picture cursor;
        std::string error;
        if (!quillet::readBmpFile(cursorFile, cursor, error)) return fail(error);
        writer.addKeyedCursorShape(kToolCursorId, cursor);
    }
    if (!logoFile.empty()) {
        quillet::Picture picture;
        std::string error;
        if (!quillet::readBmpFile(logoFile, picture, error)) return fail(error);
        writer.setLogo(logo, quillet::packedDib(picture));
    }
    if (!framesFolder.empty()) {
        std::vector<std::string> files = pictureFiles(framesFolder);
        if (files.empty()) return fail("no .bmp files in " + framesFolder);
        for (size_t i = 0; i < files.size(); ++i) {
            quillet::Picture picture;
            std::string error;
            if (!quillet::readBmpFile(files[i], picture, error)) return fail(error);
            if (i == 0) writer.setScreen({picture.width, picture.height, 32});
            if (picture.width != writer.screen().width || picture.height != writer.screen().height)
                return fail(files[i] + " is not the size of the first picture");
            quillet::FrameSpec spec;
            spec.delayMs = delay;
            if (!cursorFile.empty()) {
                spec.cursorId = kToolCursorId;
                spec.cursorX = spec.cursorY = kToolCursorAt;
            }
            writer.addFrame(picture, spec);
        }
    }
    if (int status = addSounds(writer.sounds(), narration, background, effects, speech)) return status;
    std::string unfit;
    if (!writer.fitsVersion(unfit)) return fail(unfit);
#ifdef _WIN32
    // The Windows build can render: the objects carry their pictures.
    quillet::storeRenderedPictures(writer.objects());
#endif
    if (!writeFile(args[0], writer.build())) return fail("cannot write " + args[0]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (quillet::asksForHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "info") return info(args);
    if (command == "pack") return pack(args);
    if (command == "make") return make(args);
    if (command == "wav") return wav(args);
    if (command == "sounds") return quillet::runSounds(args);
#ifdef QUILLET_EXPORT
    if (command == "export") return quillet::runExport(args);
#endif
    if (command == "still") return quillet::runStill(args);
    std::fputs(kUsage, stderr);
    return 2;
}
