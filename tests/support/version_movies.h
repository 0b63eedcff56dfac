#pragma once
// Movies of every format version from the same pictures: frames, a recorded cursor
// shape, a logo where the version has one, objects and sounds, each in the layout
// of its version. One movie per row of the version table.

#include <string>
#include <vector>

#include "player/container/format_versions.h"
#include "tests/support/tone_wav.h"
#include "tools/moviewriter/movie_writer.h"
#include "tools/moviewriter/object_description.h"

namespace quillet::testing {

struct VersionRow {
    int major;
    int minor;
    const char* text;
};

// One version of each row of the table, oldest first; 1.9 stands for the versions
// no row names.
inline const std::vector<VersionRow>& versionRows() {
    static const std::vector<VersionRow> rows = {
        {0, 9, "0.9"},   {0, 95, "0.95"}, {1, 0, "1.0"},  {1, 1, "1.1"},   {1, 2, "1.2"},
        {1, 25, "1.25"}, {1, 3, "1.3"},   {1, 4, "1.4"},  {1, 5, "1.5"},   {1, 55, "1.55"},
        {1, 6, "1.6"},   {1, 7, "1.7"},   {1, 8, "1.8"},  {1, 85, "1.85"}, {1, 9, "1.9"},
        {3, 0, "3.0"},
    };
    return rows;
}

struct VersionMovieOptions {
    int frames = 6;
    int delayMs = 80;
    ScreenFormat screen{64, 48, 32};
    bool sounds = true;    // narration (speech where the version has it), background, a click effect
    bool objects = true;   // an outline and a text box
    bool hotspot = false;  // a hotspot (it holds playback) where the version has them
};

struct VersionMovie {
    FormatReaders readers;
    std::string bytes;
    std::vector<Picture> pictures;
    std::vector<FrameSpec> specs;
    Picture cursor;         // magenta where the screen shows
    bool hasLogo = false;
    LogoRecord logo;
    Picture logoPicture;
    std::vector<CaptionRecord> objects;
    std::string narration;  // the WAV files stored
    std::string background;
    std::string effect;
};

constexpr uint32_t kVersionCursorId = 0x10010;
constexpr uint32_t kMagenta = 0xFF00FF;

// A 32 x 32 cursor: a dark triangle with a white edge, magenta around it.
inline Picture versionCursorPicture() {
    Picture cursor(32, 32, kMagenta);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x <= y / 2; ++x) cursor.at(x, y) = x == y / 2 ? 0xFFFFFF : 0x202020;
    return cursor;
}

inline VersionMovie makeVersionMovie(const VersionRow& row, const VersionMovieOptions& options = {}) {
    VersionMovie movie;
    movie.readers = readersForVersion(FormatVersion(row.major, row.minor));
    MovieWriter writer;
    writer.setVersion(row.major, row.minor);
    MovieHeader::setText(writer.header().description, std::string("version ") + row.text);
    writer.setScreen(options.screen);
    writer.setBandHeight(8);

    movie.cursor = versionCursorPicture();
    writer.addKeyedCursorShape(kVersionCursorId, movie.cursor);
    if (movie.readers.logo != LogoForm::None) {
        movie.hasLogo = true;
        movie.logo.corner = 3;
        MovieHeader::setText(movie.logo.linkText, "http://example.invalid/");
        MovieHeader::setText(movie.logo.mailText, "mail@example.invalid");
        movie.logoPicture = Picture(6, 5, 0x00C000);
        writer.setLogo(movie.logo, packedDib(movie.logoPicture));
    }

    const int width = options.screen.width, height = options.screen.height;
    for (int k = 0; k < options.frames; ++k) {
        Picture picture(width, height, 0x204060 + 0x101010 * static_cast<uint32_t>(k % 4));
        picture.fillRect(4 + 5 * k, 10, 14 + 5 * k, 30, 0xF0E0D0 - 0x030303 * static_cast<uint32_t>(k));
        picture.fillRect(0, height - 3, width, height, 0x00FF00u * static_cast<uint32_t>(k & 1));
        FrameSpec spec(options.delayMs);
        spec.cursorId = kVersionCursorId;
        spec.cursorX = 3 + 4 * k;
        spec.cursorY = 6;
        spec.holdMs = k == 2 ? -40 : 0;
        spec.inputMessage = k == 1 ? kInputLeftButtonDown : k == 2 ? kInputLeftButtonUp : 0;
        writer.addFrame(picture, spec);
        movie.pictures.push_back(picture);
        movie.specs.push_back(spec);
    }

    std::string description = options.objects ? "rect id=1 first=1 frames=2 body=4,4,40,30 line=ff0000 width=2\n"
                                                "box id=2 first=3 frames=2 body=20,20,60,40 text=\"v\" fill=ffffe0\n"
                                              : "";
    if (options.hotspot && movie.readers.objects != ObjectSectionForm::Form1)
        description += "hotspot id=3 first=4 frames=1 body=1,1,30,20 events=100010 label=\"OK\"\n";
    std::string error;
    parseObjectDescription(description, movie.objects, error);
    writer.objects().objects = movie.objects;

    if (options.sounds) {
        StoredSounds& sounds = writer.sounds();
        SoundSectionHeader& h = sounds.header;
        const bool speech = movie.readers.sounds != SoundSectionForm::Below095 &&
                            movie.readers.sounds != SoundSectionForm::From095To14;
        movie.narration = toneWav(8000, 0.4, 440);
        movie.background = toneWav(8000, 0.3, 660);
        h.narrationPresent = h.narrationEmbedded = 1;
        h.backgroundPresent = h.backgroundEmbedded = 1;
        h.narrationVolume = -100;
        if (speech) {
            h.speechCompressed = 1;
            speechSoundRecord(movie.narration, sounds.narration, error);
            speechSoundRecord(movie.background, sounds.background, error);
        } else {
            sounds.narration = zlibSoundRecord(movie.narration);
            sounds.background = zlibSoundRecord(movie.background);
        }
        if (movie.readers.sounds != SoundSectionForm::Below095) {
            movie.effect = toneWav(8000, 0.05, 1000);
            h.effectsPresent = h.effectsEmbedded = 1;
            sounds.effects = {zlibSoundRecord(movie.effect)};
        }
    }
    movie.bytes = writer.build();
    return movie;
}

}  // namespace quillet::testing
