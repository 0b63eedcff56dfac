#pragma once
// Text with FreeType (outlines, hinting, glyph bitmaps) and HarfBuzz (characters
// to glyphs), laid out as a centred, word-wrapped box: the Windows face names map
// to the metric-compatible faces Debian ships, so that lines break where the
// player's break.

#include <map>
#include <memory>
#include <string>

#include "player/render/text_painter.h"

namespace quillet {
namespace render {

class FreetypeText : public TextPainter {
public:
    // fontFolder holds the Liberation faces; empty for the system's.
    explicit FreetypeText(std::string fontFolder = std::string());
    ~FreetypeText() override;
    FreetypeText(const FreetypeText&) = delete;
    FreetypeText& operator=(const FreetypeText&) = delete;

    int32_t measure(const std::string& text, const LogFontBytes& font, int32_t width, bool editControl) override;
    void draw(Picture& picture, const std::string& text, const LogFontBytes& font, const Rect& where, uint32_t rgb,
              bool editControl) override;

    // The file a stored font draws with (for tests and reports).
    std::string faceFile(const LogFontBytes& font) const;

private:
    struct Face;
    Face* face(const LogFontBytes& font);

    std::string folder_;
    void* library_ = nullptr;
    std::map<std::string, std::unique_ptr<Face>> faces_;
};

}  // namespace render
}  // namespace quillet
