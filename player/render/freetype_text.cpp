#include "player/render/freetype_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace quillet {
namespace render {
namespace {

constexpr const char* kDefaultFolder = "/usr/share/fonts/truetype/liberation";
// A stored height of 0 asks for the default size, a cell this many pixels high.
constexpr int32_t kDefaultCellHeight = 16;
constexpr int32_t kBoldFrom = 550;
constexpr int32_t kMostPixels = 1000;

// The stored fields of a LOGFONTA.
int32_t readI32(const LogFontBytes& f, size_t at) {
    int32_t v;
    std::memcpy(&v, f.data() + at, 4);
    return v;
}
std::string faceName(const LogFontBytes& f) {
    const char* name = reinterpret_cast<const char*>(f.data() + 28);
    return std::string(name, strnlen(name, 32));
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The Windows faces and the Liberation family drawn in their place.
std::string familyFor(const std::string& face) {
    const std::string name = lower(face);
    if (name == "times new roman" || name == "times" ||
        (name.find("serif") != std::string::npos && name.find("sans") == std::string::npos))
        return "LiberationSerif";
    if (name == "courier new" || name == "courier" || name.find("mono") != std::string::npos) return "LiberationMono";
    return "LiberationSans";
}

// Windows-1252 bytes as Unicode.
uint32_t fromAnsi(unsigned char c) {
    static const uint16_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    return c >= 0x80 && c < 0xA0 ? high[c - 0x80] : c;
}

}  // namespace

struct FreetypeText::Face {
    FT_Face face = nullptr;
    hb_font_t* font = nullptr;
    int32_t ascent = 0, descent = 0;
    std::map<uint32_t, int32_t> advances;  // glyph index -> hinted advance
    ~Face() {
        if (font) hb_font_destroy(font);
        if (face) FT_Done_Face(face);
    }

    int32_t lineHeight() const { return ascent + descent; }

    int32_t advance(uint32_t glyph) {
        auto found = advances.find(glyph);
        if (found != advances.end()) return found->second;
        int32_t value = 0;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_TARGET_MONO) == 0)
            value = static_cast<int32_t>((face->glyph->advance.x + 32) >> 6);
        advances[glyph] = value;
        return value;
    }

    // The glyphs of text, without kerning: the box layout places glyphs by their
    // own advances.
    std::vector<uint32_t> glyphs(const std::string& text) {
        hb_buffer_t* buffer = hb_buffer_create();
        for (size_t i = 0; i < text.size(); ++i)
            hb_buffer_add(buffer, fromAnsi(static_cast<unsigned char>(text[i])), static_cast<unsigned>(i));
        hb_buffer_set_content_type(buffer, HB_BUFFER_CONTENT_TYPE_UNICODE);
        hb_buffer_guess_segment_properties(buffer);
        hb_feature_t features[3];
        hb_feature_from_string("-kern", -1, &features[0]);
        hb_feature_from_string("-liga", -1, &features[1]);
        hb_feature_from_string("-clig", -1, &features[2]);
        hb_shape(font, buffer, features, 3);
        unsigned count = 0;
        hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        std::vector<uint32_t> result(text.size(), 0);
        for (unsigned i = 0; i < count; ++i)
            if (info[i].cluster < result.size()) result[info[i].cluster] = info[i].codepoint;
        hb_buffer_destroy(buffer);
        return result;
    }
};

namespace {

struct Line {
    size_t from = 0, to = 0;  // characters drawn
    int32_t width = 0;
};

// Lines as a word-wrapping box breaks them: words stay whole unless one alone
// is wider than the box and editControl lets it break; the spaces a line ends on
// take no room; a line feed always ends a line.
std::vector<Line> breakLines(const std::string& text, const std::vector<int32_t>& widths, int32_t boxWidth,
                             bool editControl) {
    std::vector<Line> lines;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n || (i == n && (lines.empty() || (n > 0 && text[n - 1] == '\n')))) {
        Line line;
        line.from = i;
        int32_t width = 0;
        size_t lastBreak = std::string::npos;  // end of the last whole word that fits
        int32_t widthAtBreak = 0;
        size_t j = i;
        bool hardBreak = false;
        for (; j < n; ++j) {
            const char c = text[j];
            if (c == '\r' || c == '\n') {
                hardBreak = true;
                break;
            }
            if (c == ' ') {
                if (lastBreak == std::string::npos || j == 0 || text[j - 1] != ' ') lastBreak = j, widthAtBreak = width;
                width += widths[j];
                continue;
            }
            if (width + widths[j] > boxWidth && j > i) {
                // The word does not fit: break after the last word, or inside this
                // one when it is the line's first.
                if (lastBreak != std::string::npos && lastBreak > i) {
                    line.to = lastBreak, line.width = widthAtBreak;
                    j = lastBreak;
                    while (j < n && text[j] == ' ') ++j;
                } else if (editControl) {
                    line.to = j, line.width = width;
                } else {
                    size_t end = j;
                    while (end < n && text[end] != ' ' && text[end] != '\n' && text[end] != '\r') width += widths[end++];
                    line.to = end, line.width = width;
                    j = end;
                    while (j < n && text[j] == ' ') ++j;
                }
                lines.push_back(line);
                i = j;
                goto nextLine;
            }
            width += widths[j];
        }
        {
            size_t end = j;
            int32_t w = width;
            while (end > i && text[end - 1] == ' ') w -= widths[--end];
            line.to = end, line.width = w;
            lines.push_back(line);
            if (hardBreak) {
                if (text[j] == '\r' && j + 1 < n && text[j + 1] == '\n') ++j;
                i = j + 1;
                if (i == n) break;
            } else {
                i = n + 1;
            }
        }
    nextLine:;
        if (lines.size() > 10000) break;
    }
    return lines;
}

}  // namespace

FreetypeText::FreetypeText(std::string fontFolder) : folder_(fontFolder.empty() ? kDefaultFolder : fontFolder) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0) library_ = library;
}

FreetypeText::~FreetypeText() {
    faces_.clear();
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

std::string FreetypeText::faceFile(const LogFontBytes& font) const {
    const bool bold = readI32(font, 16) >= kBoldFrom;
    const bool italic = font[20] != 0;
    std::string style = bold && italic ? "BoldItalic" : bold ? "Bold" : italic ? "Italic" : "Regular";
    return folder_ + "/" + familyFor(faceName(font)) + "-" + style + ".ttf";
}

FreetypeText::Face* FreetypeText::face(const LogFontBytes& font) {
    if (!library_) return nullptr;
    const std::string file = faceFile(font);
    int32_t height = readI32(font, 0);
    if (height == 0) height = kDefaultCellHeight;
    height = std::clamp(height, -kMostPixels, kMostPixels);
    const std::string key = file + "@" + std::to_string(height);
    auto found = faces_.find(key);
    if (found != faces_.end()) return found->second.get();
    auto made = std::make_unique<Face>();
    if (FT_New_Face(static_cast<FT_Library>(library_), file.c_str(), 0, &made->face) != 0) {
        faces_[key] = nullptr;
        return nullptr;
    }
    FT_Face f = made->face;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    const double cell = os2 ? double(os2->usWinAscent) + os2->usWinDescent : double(f->ascender - f->descender);
    // A negative height is the em, a positive one the whole cell.
    const double em = height < 0 ? -height : height * f->units_per_EM / cell;
    const int32_t ppem = std::max(1, static_cast<int32_t>(std::lround(em)));
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(ppem));
    const double scale = em / f->units_per_EM;
    if (os2) {
        made->ascent = static_cast<int32_t>(std::lround(os2->usWinAscent * scale));
        made->descent = static_cast<int32_t>(std::lround(os2->usWinDescent * scale));
    } else {
        made->ascent = static_cast<int32_t>(std::lround(f->ascender * scale));
        made->descent = static_cast<int32_t>(std::lround(-f->descender * scale));
    }
    if (height > 0 && made->ascent + made->descent != height) made->descent = height - made->ascent;
    made->font = hb_ft_font_create_referenced(f);
    Face* result = made.get();
    faces_[key] = std::move(made);
    return result;
}

int32_t FreetypeText::measure(const std::string& text, const LogFontBytes& font, int32_t width, bool editControl) {
    Face* f = face(font);
    if (!f) return 0;
    const std::vector<uint32_t> glyphs = f->glyphs(text);
    std::vector<int32_t> widths(text.size());
    for (size_t i = 0; i < text.size(); ++i) widths[i] = f->advance(glyphs[i]);
    return static_cast<int32_t>(breakLines(text, widths, width, editControl).size()) * f->lineHeight();
}

void FreetypeText::draw(Picture& picture, const std::string& text, const LogFontBytes& font, const Rect& where,
                        uint32_t rgb, bool editControl) {
    Face* f = face(font);
    if (!f) return;
    const std::vector<uint32_t> glyphs = f->glyphs(text);
    std::vector<int32_t> widths(text.size());
    for (size_t i = 0; i < text.size(); ++i) widths[i] = f->advance(glyphs[i]);
    const std::vector<Line> lines = breakLines(text, widths, where.width(), editControl);
    const int32_t clipLeft = std::max(where.left, 0), clipTop = std::max(where.top, 0);
    const int32_t clipRight = std::min(where.right, picture.width), clipBottom = std::min(where.bottom, picture.height);
    int32_t top = where.top;
    for (const Line& line : lines) {
        int32_t x = where.left + (where.width() - line.width) / 2;
        const int32_t baseline = top + f->ascent;
        for (size_t i = line.from; i < line.to; ++i) {
            if (FT_Load_Glyph(f->face, glyphs[i], FT_LOAD_TARGET_MONO | FT_LOAD_RENDER) == 0) {
                const FT_Bitmap& bits = f->face->glyph->bitmap;
                const int32_t left = x + f->face->glyph->bitmap_left, rowTop = baseline - f->face->glyph->bitmap_top;
                for (unsigned row = 0; row < bits.rows; ++row) {
                    const int32_t y = rowTop + static_cast<int32_t>(row);
                    if (y < clipTop || y >= clipBottom) continue;
                    const unsigned char* data = bits.buffer + static_cast<ptrdiff_t>(row) * bits.pitch;
                    for (unsigned col = 0; col < bits.width; ++col) {
                        const int32_t px = left + static_cast<int32_t>(col);
                        if (px < clipLeft || px >= clipRight) continue;
                        const bool on = bits.pixel_mode == FT_PIXEL_MODE_MONO ? (data[col >> 3] >> (7 - (col & 7))) & 1
                                                                              : data[col] >= 128;
                        if (on) picture.at(px, y) = rgb;
                    }
                }
            }
            x += widths[i];
        }
        top += f->lineHeight();
    }
}

}  // namespace render
}  // namespace quillet
