// Draws the player's toolbar pictures, dialog button pictures, icon and cursors,
// and writes them as the BMP, ICO and CUR files its resource script takes in. Runs
// on the build machine.
//
//   draw_player_art OUTPUT_FOLDER

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/art/canvas.h"
#include "tools/art/picture_files.h"

namespace {

using namespace quillet::art;

constexpr double kPi = 3.14159265358979323846;

constexpr int kGlyphWidth = 22;
constexpr int kGlyphHeight = 20;
const Colour kEdge = rgb(40, 40, 40);

Canvas glyphOpen() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    c.polygon({{3, 5}, {9, 5}, {11, 7}, {18, 7}, {18, 16}, {3, 16}}, vertical(rgb(250, 214, 110), rgb(214, 160, 40), 5, 16));
    c.polygon({{5, 10}, {20, 10}, {18, 16}, {3, 16}}, vertical(rgb(255, 232, 150), rgb(230, 180, 60), 10, 16));
    c.outline(rgb(130, 90, 20));
    return c;
}

Canvas glyphPage() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    c.polygon({{5, 2}, {13, 2}, {17, 6}, {17, 18}, {5, 18}}, rgb(255, 255, 255));
    c.polygon({{13, 2}, {17, 6}, {13, 6}}, rgb(200, 200, 210));
    c.outline(rgb(90, 90, 110));
    return c;
}

Canvas glyphProperties() {
    Canvas c = glyphPage();
    for (int y : {8, 11, 14}) c.rect(7, y, 15, y + 1, rgb(70, 100, 170));
    c.rect(7, 5, 11, 6, rgb(70, 100, 170));
    return c;
}

Canvas glyphPlay() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    c.polygon({{7, 3}, {17, 10}, {7, 17}}, vertical(rgb(120, 220, 110), rgb(20, 130, 40), 3, 17));
    c.outline(rgb(10, 80, 20));
    return c;
}

Canvas glyphPause() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    auto shade = vertical(rgb(120, 170, 240), rgb(30, 70, 170), 4, 16);
    c.polygon({{6, 4}, {10, 4}, {10, 16}, {6, 16}}, shade);
    c.polygon({{12, 4}, {16, 4}, {16, 16}, {12, 16}}, shade);
    c.outline(rgb(20, 40, 110));
    return c;
}

Canvas glyphStop() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    c.polygon({{6, 5}, {16, 5}, {16, 15}, {6, 15}}, vertical(rgb(240, 110, 100), rgb(170, 30, 30), 5, 15));
    c.outline(rgb(100, 15, 15));
    return c;
}

Canvas glyphSetup() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    const double cx = 11, cy = 10;
    std::vector<std::pair<double, double>> teeth;
    for (int i = 0; i < 16; ++i) {
        const double angle = i * kPi / 8;
        const double radius = (i % 2 == 0) ? 8.2 : 6.2;
        teeth.push_back({cx + radius * std::cos(angle - kPi / 16), cy + radius * std::sin(angle - kPi / 16)});
        teeth.push_back({cx + radius * std::cos(angle + kPi / 16), cy + radius * std::sin(angle + kPi / 16)});
    }
    c.polygon(teeth, vertical(rgb(200, 205, 215), rgb(110, 115, 130), 2, 18));
    c.disc(cx, cy, 2.6, kClear);
    c.outline(rgb(60, 60, 75));
    return c;
}

Canvas glyphInfo() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    c.disc(11, 10, 8, vertical(rgb(110, 160, 240), rgb(30, 70, 170), 2, 18));
    c.outline(rgb(20, 40, 110));
    c.rect(10, 5, 12, 7, rgb(255, 255, 255));
    c.rect(10, 8, 12, 15, rgb(255, 255, 255));
    c.rect(9, 8, 10, 9, rgb(255, 255, 255));
    c.rect(9, 14, 13, 15, rgb(255, 255, 255));
    return c;
}

Canvas glyphHelp() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    c.disc(11, 10, 8, vertical(rgb(255, 230, 120), rgb(220, 160, 30), 2, 18));
    c.outline(rgb(130, 90, 20));
    const Colour ink = rgb(90, 60, 10);
    c.rect(9, 5, 13, 6, ink);
    c.rect(13, 6, 14, 9, ink);
    c.rect(8, 6, 9, 7, ink);
    c.rect(11, 9, 13, 10, ink);
    c.rect(10, 10, 12, 12, ink);
    c.rect(10, 13, 12, 15, ink);
    return c;
}

Canvas glyphWeb() {
    Canvas c(kGlyphWidth, kGlyphHeight);
    c.disc(11, 10, 8, vertical(rgb(120, 200, 250), rgb(20, 100, 190), 2, 18));
    const Colour land = rgb(60, 160, 70);
    c.polygon({{6, 5}, {10, 4}, {11, 8}, {8, 11}, {5, 9}}, land);
    c.polygon({{12, 11}, {16, 10}, {17, 14}, {13, 17}}, land);
    c.outline(rgb(15, 60, 120));
    const Colour line = rgb(230, 245, 255);
    for (int x = 4; x < 19; ++x)
        if (c.at(x, 10).a) c.set(x, 10, line);
    return c;
}

// The dialogs' button pictures: squares as wide as they are high, which the
// buttons draw beside their captions.
constexpr int kButtonPicture = 16;

Canvas pictureOk() {
    Canvas c(kButtonPicture, kButtonPicture);
    c.polygon({{2, 8}, {5, 5}, {7, 8}, {13, 2}, {15, 5}, {7, 13}}, vertical(rgb(120, 220, 110), rgb(20, 130, 40), 2, 13));
    c.outline(rgb(10, 80, 20));
    return c;
}

Canvas pictureCancel() {
    Canvas c(kButtonPicture, kButtonPicture);
    const auto shade = vertical(rgb(240, 110, 100), rgb(170, 30, 30), 2, 14);
    c.polygon({{2, 4}, {4, 2}, {14, 12}, {12, 14}}, shade);
    c.polygon({{12, 2}, {14, 4}, {4, 14}, {2, 12}}, shade);
    c.outline(rgb(100, 15, 15));
    return c;
}

Canvas pictureMail() {
    Canvas c(kButtonPicture, kButtonPicture);
    c.rect(1, 3, 15, 13, rgb(250, 250, 240));
    const Colour fold = rgb(150, 140, 110);
    for (int x = 1; x < 15; ++x) {
        const int y = 3 + std::min(x - 1, 14 - x) * 5 / 7;
        c.set(x, y, fold);
    }
    c.outline(rgb(90, 80, 60));
    return c;
}

Canvas pictureEdit() {
    Canvas c(kButtonPicture, kButtonPicture);
    c.polygon({{10, 1}, {14, 5}, {6, 13}, {2, 9}}, vertical(rgb(255, 220, 90), rgb(235, 150, 20), 1, 13));
    c.polygon({{2, 9}, {6, 13}, {1, 15}}, rgb(240, 210, 170));
    c.rect(1, 14, 3, 15, rgb(40, 40, 40));
    c.outline(rgb(110, 70, 10));
    return c;
}

Canvas pictureWeb() {
    Canvas c(kButtonPicture, kButtonPicture);
    c.disc(8, 8, 7, vertical(rgb(120, 200, 250), rgb(20, 100, 190), 1, 15));
    const Colour land = rgb(60, 160, 70);
    c.polygon({{4, 3}, {8, 3}, {8, 7}, {5, 9}, {3, 7}}, land);
    c.polygon({{9, 9}, {13, 8}, {13, 11}, {10, 14}}, land);
    c.outline(rgb(15, 60, 120));
    return c;
}

// Images 0 to 9 of the toolbar, in order.
std::vector<Canvas> toolbarGlyphs() {
    return {glyphOpen(),  glyphPage(),  glyphProperties(), glyphPlay(), glyphPause(),
            glyphStop(),  glyphSetup(), glyphInfo(),       glyphHelp(), glyphWeb()};
}

// The greyed look of a glyph: its shape in dark grey over a white copy one pixel
// down and to the right, as disabled buttons are drawn.
Canvas greyed(const Canvas& glyph) {
    Canvas c(glyph.width, glyph.height);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            if (glyph.opaque(x, y)) c.set(x + 1, y + 1, rgb(255, 255, 255));
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            if (glyph.opaque(x, y)) {
                const Colour p = glyph.at(x, y);
                const int light = (p.r * 30 + p.g * 59 + p.b * 11) / 100;
                c.set(x, y, light > 200 ? rgb(160, 160, 160) : rgb(128, 128, 128));
            }
    return c;
}
// The program icon: a film frame with a play mark, at size × size.
Canvas programIcon(int size) {
    Canvas c(size, size);
    const double s = size / 32.0;
    c.polygon({{2 * s, 5 * s}, {30 * s, 5 * s}, {30 * s, 27 * s}, {2 * s, 27 * s}},
              vertical(rgb(70, 90, 140), rgb(25, 35, 70), int(5 * s), int(27 * s)));
    for (int i = 0; i < 6; ++i) {
        const double x = (4 + i * 4.5) * s;
        c.rect(int(x), int(7 * s), int(x + 2 * s), int(9 * s), rgb(230, 230, 240));
        c.rect(int(x), int(23 * s), int(x + 2 * s), int(25 * s), rgb(230, 230, 240));
    }
    c.polygon({{12 * s, 11 * s}, {22 * s, 16 * s}, {12 * s, 21 * s}}, vertical(rgb(255, 220, 90), rgb(235, 150, 20), int(11 * s), int(21 * s)));
    c.outline(rgb(10, 15, 35));
    return c;
}
// A pointing hand with the fingertip at (hotX, hotY) of a 32 × 32 cursor.
Canvas pointingHand(bool withRays) {
    Canvas c(32, 32);
    const Colour skin = rgb(255, 255, 255);
    c.polygon({{9, 2}, {12, 2}, {12, 12}, {9, 12}}, skin);                         // finger
    c.polygon({{12, 10}, {21, 10}, {22, 12}, {22, 22}, {19, 27}, {11, 27}, {9, 24}, {4, 17}, {5, 15}, {9, 17}, {9, 12}},
              skin);                                                                 // hand
    c.disc(10.5, 2.6, 1.6, skin);
    c.outline(rgb(0, 0, 0));
    const Colour knuckle = rgb(0, 0, 0);
    for (int x : {14, 17, 20}) c.rect(x, 11, x + 1, 15, knuckle);
    if (withRays) {
        c.rect(3, 2, 6, 3, rgb(0, 0, 0));
        c.rect(15, 2, 18, 3, rgb(0, 0, 0));
        c.rect(4, 6, 6, 7, rgb(0, 0, 0));
        c.rect(15, 6, 17, 7, rgb(0, 0, 0));
    }
    return c;
}

// The seek bar's pointer: an upward arrow on a stem, pointing at the spot clicked.
Canvas seekPointer() {
    Canvas c(32, 32);
    c.polygon({{10, 1}, {17, 8}, {12, 8}, {12, 20}, {8, 20}, {8, 8}, {3, 8}}, rgb(255, 255, 255));
    c.outline(rgb(0, 0, 0));
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_player_art OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Colour magenta = rgb(255, 0, 255);
    const std::vector<Canvas> glyphs = toolbarGlyphs();
    Canvas strip(kGlyphWidth * static_cast<int>(glyphs.size()), kGlyphHeight);
    Canvas disabledStrip = strip;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        strip.paste(glyphs[i], static_cast<int>(i) * kGlyphWidth, 0);
        disabledStrip.paste(greyed(glyphs[i]), static_cast<int>(i) * kGlyphWidth, 0);
    }
    const Canvas play = glyphPlay(), pause = glyphPause();
    const Colour black = rgb(0, 0, 0);
    const std::vector<PictureFile> files = {
        {"toolbar.bmp", bmp24(strip, magenta)},
        {"toolbar_disabled.bmp", bmp24(disabledStrip, magenta)},
        // The two looks of Play/Pause replace an image of a masked list: black
        // where the mask lets the button show through.
        {"play.bmp", bmp24(play, black)},
        {"pause.bmp", bmp24(pause, black)},
        {"play_mask.bmp", maskBmp(play)},
        {"pause_mask.bmp", maskBmp(pause)},
        {"ok.bmp", bmp24(pictureOk(), magenta)},
        {"cancel.bmp", bmp24(pictureCancel(), magenta)},
        {"mail.bmp", bmp24(pictureMail(), magenta)},
        {"edit.bmp", bmp24(pictureEdit(), magenta)},
        {"web.bmp", bmp24(pictureWeb(), magenta)},
        {"player.ico", iconFile(1, {programIcon(32), programIcon(16)})},
        {"logo_link.cur", iconFile(2, {pointingHand(false)}, 10, 1)},
        {"hotspot.cur", iconFile(2, {pointingHand(true)}, 10, 1)},
        {"seek.cur", iconFile(2, {seekPointer()}, 10, 1)},
    };
    std::string failed;
    if (!writePictureFiles(folder, files, failed)) {
        std::fprintf(stderr, "draw_player_art: cannot write %s/%s\n", folder.c_str(), failed.c_str());
        return 1;
    }
    return 0;
}
