#pragma once
// Annotation objects drawn without the platform: each visible kind is rendered
// once into a picture and a mask of the area it paints, and composited as the
// player composites (mask ORed in, picture ANDed over it). Stored pictures stand
// in for the rendering where the player takes them.

#include <memory>
#include <vector>

#include "player/objects/caption_record.h"
#include "player/render/picture.h"
#include "player/render/text_painter.h"

namespace quillet {
namespace render {

struct RenderedObject {
    Point at;         // where the picture's top-left pixel goes, in object coordinates
    Picture picture;  // white where the object leaves the target alone
    Picture mask;     // white where the object paints, black elsewhere
    bool drawn = false;
    // Icons are drawn with their own masks: target AND mask, then XOR colour.
    bool icon = false;
};

// Renders record as the player would at its first 1:1 draw; text needs a
// painter (none leaves text out).
RenderedObject renderObject(const CaptionRecord& record, TextPainter* text);

// Composites a rendered object onto target, whose (0, 0) is object point origin.
void compositeObject(Picture& target, Point origin, const RenderedObject& object);

}  // namespace render
}  // namespace quillet
