// Writes the seed corpora of the fuzz targets made by the project's own writers:
// frame streams with bands, cursor shapes, a logo, holds and an empty run; object
// sections of every form; sound sections; movies of every format version; project
// descriptions; archives with names that climb out.

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "common/byte_reader.h"
#include "tools/moviewriter/movie_writer.h"
#include "player/audio/wav_file.h"
#include "tools/moviewriter/object_description.h"
#include "tools/moviewriter/sound_records.h"
#include "tests/support/hostile_movies.h"
#include "tests/support/version_movies.h"
#include "tools/orvanetool/project_plan.h"
#include "tests/support/zip_builder.h"

using namespace quillet;

namespace {

void save(const std::string& folder, const std::string& name, const std::string& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

void seedFrameStreams(const std::string& folder) {
    MovieWriter plain;
    plain.setScreen({16, 24, 32});
    plain.setBandHeight(4);
    Picture picture(16, 24, 0x336699);
    FrameSpec spec;
    for (int i = 0; i < 4; ++i) {
        picture.fillRect(0, i * 5, 16, i * 5 + 3, 0x010203u * i);
        spec.delayMs = 40 + i;
        spec.holdMs = i == 2 ? -100 : 0;
        spec.inputMessage = i == 1 ? 256 : 0;
        spec.inputWParam = 229;
        spec.cursorId = 5;
        plain.addFrame(picture, spec);
    }
    save(folder, "plain.bin", plain.frameStream());

    MovieWriter shapes = plain;
    shapes.addCursorShape(5, packedDib(Picture(2, 2, 0xFFFFFF)), packedMonochromeDib(2, 4, {1, 0, 0, 1, 0, 1, 1, 0}));
    LogoRecord logo;
    logo.corner = 3;
    shapes.setLogo(logo, packedDib(Picture(3, 3, 0x00FF00)));
    save(folder, "shapes.bin", shapes.frameStream());

    MovieWriter run = plain;
    for (int i = 0; i < 22; ++i) run.addStoredFrame(FrameRecord(), {});
    save(folder, "empty-run.bin", run.frameStream());

}

void seedObjectSections(const std::string& folder) {
    // Object sections of every form (the first byte picks it), from a description
    // of one object of each kind.
    std::vector<CaptionRecord> objects;
    std::string error;
    parseObjectDescription("rect id=1 first=1 frames=2 body=1,2,30,40 line=ff0000\n"
                           "ellipse id=2 body=5,5,20,20\n"
                           "arrow id=3 start=1,1 end=40,20 style=2\n"
                           "box id=4 body=1,1,9,9 text=\"A box\"\n"
                           "round id=5 body=1,1,9,9 corner=3,3 text=x\n"
                           "oval id=6 body=1,1,9,9\n"
                           "titled id=7 body=1,1,40,30 title=\"A title\" text=body\n"
                           "balloon id=8 body=1,1,30,20 tail=10,40\n"
                           "round-balloon id=9 body=1,1,30,20 tail=10,40 corner=4,4\n"
                           "oval-balloon id=10 body=1,1,30,20 tail=10,40\n"
                           "image id=11 body=1,1,9,9\n"
                           "sound id=12 first=3\n"
                           "hotspot id=13 body=1,1,9,9 events=200020 partner=14 label=drag sound-name=a.wav\n"
                           "hotspot id=14 body=20,1,29,9 events=100010 partner=13\n",
                           objects, error);
    objects[11].sound.embedded = 1;
    objects[11].sound.sound = CompressedBlock{4, std::string("\x78\x9c\x63\x60\x60\x60\x00\x00\x00\x04\x00\x01", 12)};
    ObjectSection section;
    section.cacheStored = 1;
    section.objects = objects;
    section.objects[3].stored = StoredPicture{std::vector<uint8_t>(8, 1), std::vector<uint8_t>(8, 2)};
    for (int form = 1; form <= 5; ++form) {
        ObjectSection forForm = section;
        if (form == 1) forForm.objects.resize(12);  // no hotspots in the oldest form
        const auto f = static_cast<ObjectSectionForm>(form);
        save(folder, "form" + std::to_string(form) + ".bin",
             std::string(1, static_cast<char>(form - 1)) + writeObjectSection(forForm, f));
    }
}

void seedSoundSections(const std::string& folder) {
    // Sound sections: zlib records, speech, an effect table, files beside the movie.
    std::string wav = pcmWavHeader(1, 8000, 16, 3200);
    for (int i = 0; i < 1600; ++i) wav += std::string(i % 40 < 20 ? "\x10\x20" : "\xf0\xe0", 2);
    StoredSounds zlib;
    zlib.header.narrationPresent = zlib.header.narrationEmbedded = 1;
    zlib.header.backgroundPresent = zlib.header.backgroundEmbedded = 1;
    zlib.header.effectsPresent = zlib.header.effectsEmbedded = 1;
    zlib.narration = zlib.background = zlibSoundRecord(wav);
    zlib.effects = {zlibSoundRecord(wav), std::nullopt, zlibSoundRecord(wav)};
    save(folder, "zlib.bin", encodeSoundSection(zlib));
    StoredSounds speech;
    speech.header.narrationPresent = speech.header.speechCompressed = 1;
    std::string record, error;
    speechSoundRecord(wav, record, error);
    speech.narration = record;
    save(folder, "speech.bin", encodeSoundSection(speech));
    StoredSounds beside;
    beside.header.narrationPresent = beside.header.effectsPresent = 1;
    beside.effects = {std::string(), std::nullopt};
    save(folder, "beside.bin", encodeSoundSection(beside));
}

// Project descriptions of both header forms, with content components of every kind.
void seedProjectDescriptions(const std::string& folder) {
    orvanetool::ProjectPlan plan;
    plan.title = "Seed";
    plan.company = "Maker";
    plan.workingPath = "Orvane\\Seed";
    plan.expiryDate = 20991231;
    for (int32_t kind = 0; kind <= 10; ++kind)
        plan.items.push_back({kind, "Item " + std::to_string(kind), "item" + std::to_string(kind)});
    save(folder, "current.dat", orvanetool::describeProject(plan));
    // One that opens, so that its archive is extracted.
    plan.expiryDate = 0;
    save(folder, "open.dat", orvanetool::describeProject(plan));
    plan.version = {3, 0, 3};
    plan.items.resize(2);
    save(folder, "older.dat", orvanetool::describeProject(plan));
}

// An archive whose names climb out of the target, one byte away from names that a
// NUL cuts into the folder above.
void seedZip(const std::string& folder) {
    save(folder, "names.zip",
         testing::buildZip({{"a/b.txt", "inside", true}, {"../", "", false, UINT32_MAX, 0x16}, {"../up.txt", "up"}}));
}

void seedVersionDispatch(const std::string& folder) {
    // A movie of every row of the version table: its version's two numbers, then
    // everything behind its header.
    for (const testing::VersionRow& row : testing::versionRows()) {
        testing::VersionMovieOptions options;
        options.frames = 4;
        options.screen = {24, 16, 32};
        options.hotspot = true;
        const std::string movie = testing::makeVersionMovie(row, options).bytes;
        const std::string seed = std::string{static_cast<char>(row.major), static_cast<char>(row.minor)} +
                                 movie.substr(kMovieHeaderSize);
        save(folder, std::string("version-") + row.text + ".bin", seed);
    }
    // The movies that once crashed, hung or ran out of memory, in the same form.
    for (const testing::HostileMovie& hostile : testing::hostileMovies()) {
        uint8_t stored[kMovieHeaderSize];
        std::copy(hostile.bytes.begin(), hostile.bytes.begin() + kMovieHeaderSize, stored);
        const MovieHeader header = MovieHeader::decode(stored);
        const std::string seed = std::string{static_cast<char>(header.versionMajor), static_cast<char>(header.versionMinor)} +
                                 hostile.bytes.substr(kMovieHeaderSize);
        save(folder, "hostile-" + hostile.name + ".bin", seed);
    }
}

// Hotspot inputs as the rules target decodes them: the frame, the modifiers held, the
// hotspots, then events (kind, x, y).
void seedHotspotRules(const std::string& folder) {
    struct Hotspot {
        int32_t first, count, left, top, right, bottom, events;
        uint8_t modifiers;
        uint16_t key;
        int32_t cursor;
        uint8_t armed;
    };
    auto encode = [](int32_t frame, uint8_t held, const std::vector<Hotspot>& hotspots,
                     const std::vector<std::array<int32_t, 3>>& events) {
        std::string bytes;
        ByteWriter out(bytes);
        out.i32(frame);
        out.u8(held);
        out.u8(static_cast<uint8_t>(hotspots.size()));
        for (const Hotspot& h : hotspots) {
            for (int32_t v : {h.first, h.count, h.left, h.top, h.right, h.bottom, h.events}) out.i32(v);
            out.u8(h.modifiers);
            out.u16(h.key);
            out.i32(h.cursor);
            out.u8(h.armed);
        }
        for (const auto& e : events) {
            out.u8(static_cast<uint8_t>(e[0]));
            out.i32(e[1]);
            out.i32(e[2]);
        }
        return bytes;
    };
    save(folder, "click.bin",
         encode(3, 0, {{2, 4, 10, 10, 60, 40, 0x100010, 0, 0, 1, 0}}, {{1, 20, 20}, {0, 20, 20}, {4, 5, 5}}));
    save(folder, "drag.bin", encode(0, 0,
                                    {{0, 1, 0, 0, 20, 20, 0x200020, 0, 0, 0, 0}, {0, 1, 40, 0, 60, 20, 0x100010, 0, 0, 0, 1}},
                                    {{0, 5, 5}, {1, 45, 5}, {2, 45, 5}}));
    save(folder, "keys.bin", encode(7, 1, {{7, 1, 0, 0, 9, 9, 0, 1, 0x79, 2, 0}, {0, 9, 0, 0, 9, 9, 0x30, 1, 0x41, 0, 0}},
                                    {{5, 0x79, 0}, {6, 0x41, 0}}));
    save(folder, "edges.bin",
         encode(INT32_MAX, 0, {{INT32_MAX, INT32_MAX, INT32_MAX - 10, INT32_MIN, INT32_MAX, INT32_MIN + 10, 0x20002, 0, 0,
                                INT32_MAX, 0}},
                {{3, INT32_MAX, INT32_MIN + 5}, {4, INT32_MAX - 5, INT32_MIN}}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: make_seeds frame_stream|object_section|sound_section|version_dispatch|"
                   "project_description|zip|hotspot_rules FOLDER\n",
                   stderr);
        return 2;
    }
    const std::string kind = argv[1], folder = argv[2];
    if (kind == "frame_stream") seedFrameStreams(folder);
    else if (kind == "object_section") seedObjectSections(folder);
    else if (kind == "sound_section") seedSoundSections(folder);
    else if (kind == "version_dispatch") seedVersionDispatch(folder);
    else if (kind == "project_description") seedProjectDescriptions(folder);
    else if (kind == "zip") seedZip(folder);
    else if (kind == "hotspot_rules") seedHotspotRules(folder);
    else return 2;
    return 0;
}
