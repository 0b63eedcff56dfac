#pragma once
// What object drawing asks of a text library: the height of a block of text laid
// out as a centred, word-wrapped box lays it out, and the drawing of it.

#include <cstdint>
#include <string>

#include "common/geometry.h"
#include "player/objects/caption_record.h"
#include "player/render/picture.h"

namespace quillet {
namespace render {

class TextPainter {
public:
    virtual ~TextPainter() = default;
    // The height of text broken into lines no wider than width (words kept whole
    // unless editControl lets a word too long for a line break inside it).
    virtual int32_t measure(const std::string& text, const LogFontBytes& font, int32_t width, bool editControl) = 0;
    // Draws text in where (picture coordinates): each line centred across, the
    // block from where's top, clipped to nothing; pixels of the glyphs in rgb.
    virtual void draw(Picture& picture, const std::string& text, const LogFontBytes& font, const Rect& where,
                      uint32_t rgb, bool editControl) = 0;
};

}  // namespace render
}  // namespace quillet
