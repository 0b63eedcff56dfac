// Draws the player's toolbar pictures, dialog button pictures, icon and cursors,
// and the launcher's icon, and writes them as the BMP, ICO and CUR files the
// resource scripts take in. Runs on the build machine.
//
//   draw_art OUTPUT_FOLDER

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Colour {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};
constexpr Colour kClear{0, 0, 0, 0};
constexpr Colour rgb(uint8_t r, uint8_t g, uint8_t b) { return {r, g, b, 255}; }

class Canvas {
public:
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, kClear) {}
    int width, height;
    std::vector<Colour> pixels;

    Colour at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void set(int x, int y, Colour c) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = c;
    }
    bool opaque(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height && at(x, y).a != 0; }

    void rect(int left, int top, int right, int bottom, Colour c) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) set(x, y, c);
    }
    // Fills every pixel whose centre lies inside the polygon; shade picks the colour.
    void polygon(const std::vector<std::pair<double, double>>& points, const std::function<Colour(int, int)>& shade) {
        for (int y = 0; y < height; ++y) {
            const double cy = y + 0.5;
            std::vector<double> crossings;
            for (size_t i = 0; i < points.size(); ++i) {
                auto [x0, y0] = points[i];
                auto [x1, y1] = points[(i + 1) % points.size()];
                if ((y0 <= cy && y1 > cy) || (y1 <= cy && y0 > cy)) crossings.push_back(x0 + (cy - y0) / (y1 - y0) * (x1 - x0));
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2)
                for (int x = 0; x < width; ++x)
                    if (x + 0.5 >= crossings[i] && x + 0.5 < crossings[i + 1]) set(x, y, shade(x, y));
        }
    }
    void polygon(const std::vector<std::pair<double, double>>& points, Colour c) {
        polygon(points, [c](int, int) { return c; });
    }
    void disc(double cx, double cy, double radius, const std::function<Colour(int, int)>& shade) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                if (dx * dx + dy * dy <= radius * radius) set(x, y, shade(x, y));
            }
    }
    void disc(double cx, double cy, double radius, Colour c) {
        disc(cx, cy, radius, [c](int, int) { return c; });
    }
    void ring(double cx, double cy, double outer, double inner, Colour c) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = dx * dx + dy * dy;
                if (d <= outer * outer && d > inner * inner) set(x, y, c);
            }
    }
    // A one-pixel edge around everything drawn so far.
    void outline(Colour c) {
        Canvas copy = *this;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (!copy.opaque(x, y) && (copy.opaque(x - 1, y) || copy.opaque(x + 1, y) || copy.opaque(x, y - 1) ||
                                           copy.opaque(x, y + 1)))
                    set(x, y, c);
    }
    void paste(const Canvas& other, int left, int top) {
        for (int y = 0; y < other.height; ++y)
            for (int x = 0; x < other.width; ++x)
                if (other.at(x, y).a) set(left + x, top + y, other.at(x, y));
    }
};

Colour mix(Colour a, Colour b, double t) {
    auto m = [t](uint8_t p, uint8_t q) { return static_cast<uint8_t>(std::lround(p + (q - p) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), 255};
}
// Light at the top, darker towards the bottom of a glyph of height h.
std::function<Colour(int, int)> vertical(Colour top, Colour bottom, int from, int to) {
    return [=](int, int y) { return mix(top, bottom, std::clamp((y - from) / double(std::max(1, to - from)), 0.0, 1.0)); };
}

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

struct Writer {
    std::string bytes;
    void u8(unsigned v) { bytes.push_back(static_cast<char>(v & 0xFF)); }
    void u16(unsigned v) { u8(v); u8(v >> 8); }
    void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void bitmapHeader(int w, int h, int bits, uint32_t imageSize, uint32_t colours) {
        u32(40); u32(static_cast<uint32_t>(w)); u32(static_cast<uint32_t>(h)); u16(1); u16(bits);
        u32(0); u32(imageSize); u32(2835); u32(2835); u32(colours); u32(0);
    }
};

int rowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

bool save(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::string fileHeader(uint32_t fileSize, uint32_t pixelOffset) {
    Writer w;
    w.u8('B'); w.u8('M'); w.u32(fileSize); w.u32(0); w.u32(pixelOffset);
    return w.bytes;
}

// A 24-bit BMP; transparent pixels get background.
std::string bmp24(const Canvas& c, Colour background) {
    Writer body;
    const int stride = rowBytes(c.width, 24);
    body.bitmapHeader(c.width, c.height, 24, static_cast<uint32_t>(stride * c.height), 0);
    for (int y = c.height - 1; y >= 0; --y) {
        for (int x = 0; x < c.width; ++x) {
            const Colour p = c.at(x, y).a ? c.at(x, y) : background;
            body.u8(p.b); body.u8(p.g); body.u8(p.r);
        }
        for (int pad = c.width * 3; pad < stride; ++pad) body.u8(0);
    }
    return fileHeader(static_cast<uint32_t>(14 + body.bytes.size()), 14 + 40) + body.bytes;
}

// Rows of 1-bit pixels, bottom-up; bit set where set(x, y).
std::string monochromeRows(int w, int h, const std::function<bool(int, int)>& set) {
    Writer rows;
    const int stride = rowBytes(w, 1);
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < w; ++x)
            if (set(x, y)) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        for (uint8_t b : row) rows.u8(b);
    }
    return rows.bytes;
}

// A 1-bit BMP: white where the glyph is transparent, black where it is drawn.
std::string maskBmp(const Canvas& c) {
    Writer body;
    const std::string rows = monochromeRows(c.width, c.height, [&](int x, int y) { return !c.opaque(x, y); });
    body.bitmapHeader(c.width, c.height, 1, static_cast<uint32_t>(rows.size()), 2);
    body.u32(0x00000000); body.u32(0x00FFFFFF);
    body.bytes += rows;
    return fileHeader(static_cast<uint32_t>(14 + body.bytes.size()), 14 + 40 + 8) + body.bytes;
}

// One 32-bit image with its AND mask, as icon and cursor files hold them.
std::string iconImage(const Canvas& c) {
    Writer w;
    const std::string mask = monochromeRows(c.width, c.height, [&](int x, int y) { return !c.opaque(x, y); });
    w.bitmapHeader(c.width, c.height * 2, 32, static_cast<uint32_t>(c.width * c.height * 4 + mask.size()), 0);
    for (int y = c.height - 1; y >= 0; --y)
        for (int x = 0; x < c.width; ++x) {
            const Colour p = c.at(x, y);
            w.u8(p.b); w.u8(p.g); w.u8(p.r); w.u8(p.a);
        }
    w.bytes += mask;
    return w.bytes;
}

// type 1: icon (hotspots ignored), 2: cursor.
std::string iconFile(int type, const std::vector<Canvas>& images, int hotX = 0, int hotY = 0) {
    Writer w;
    w.u16(0); w.u16(static_cast<unsigned>(type)); w.u16(static_cast<unsigned>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    std::string data;
    for (const Canvas& image : images) {
        const std::string bytes = iconImage(image);
        w.u8(static_cast<unsigned>(image.width)); w.u8(static_cast<unsigned>(image.height)); w.u8(0); w.u8(0);
        if (type == 1) {
            w.u16(1); w.u16(32);
        } else {
            w.u16(static_cast<unsigned>(hotX)); w.u16(static_cast<unsigned>(hotY));
        }
        w.u32(static_cast<uint32_t>(bytes.size())); w.u32(offset);
        offset += static_cast<uint32_t>(bytes.size());
        data += bytes;
    }
    return w.bytes + data;
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

// The launcher's icon: a disc with a blue label ring around its hole.
Canvas launcherIcon(int size) {
    Canvas c(size, size);
    const double s = size / 32.0, centre = 16 * s;
    c.disc(centre, centre, 15 * s, vertical(rgb(235, 238, 245), rgb(160, 168, 185), 0, size));
    c.ring(centre, centre, 10 * s, 5 * s, rgb(30, 90, 210));
    c.disc(centre, centre, 2.5 * s, kClear);
    c.outline(rgb(40, 45, 60));
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
        std::fprintf(stderr, "usage: draw_art OUTPUT_FOLDER\n");
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
    const std::vector<std::pair<std::string, std::string>> files = {
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
        {"launcher.ico", iconFile(1, {launcherIcon(32), launcherIcon(16)})},
        {"logo_link.cur", iconFile(2, {pointingHand(false)}, 10, 1)},
        {"hotspot.cur", iconFile(2, {pointingHand(true)}, 10, 1)},
        {"seek.cur", iconFile(2, {seekPointer()}, 10, 1)},
    };
    for (const auto& [name, bytes] : files) {
        if (!save(folder + "/" + name, bytes)) {
            std::fprintf(stderr, "draw_art: cannot write %s/%s\n", folder.c_str(), name.c_str());
            return 1;
        }
    }
    return 0;
}
