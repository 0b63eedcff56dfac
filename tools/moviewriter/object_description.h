#pragma once
// Annotation objects described in text, one per line, for movietool make:
//
//   rect    id=1 first=3 frames=10 body=20,20,200,120 line=ff0000 width=3
//   arrow   id=2 first=0 frames=8 start=40,40 end=160,90 style=2 line=0000ff width=2
//   box     id=3 first=5 frames=5 body=10,10,150,60 text="Click here" fill=ffffe0
//   hotspot id=4 first=12 frames=1 body=50,50,120,80 events=100010 cursor=11 label="OK"
//   balloon id=5 first=0 frames=9 body=100,40,300,90 tail=60,30 text="Here" depth=6,6 depth-corner=1
//   image   id=6 first=0 frames=9 body=400,10,464,74 picture=logo.bmp actual-size=1
//
// The first word is the kind (rect, ellipse, arrow, box, round, oval, titled,
// balloon, round-balloon, oval-balloon, image, sound, hotspot, or a number). Values
// are key=value; a value with spaces is quoted. Colours are RRGGBB in hex; points
// are x,y and rectangles left,top,right,bottom, in recorded-area coordinates.
// Lines starting with # are comments.

#include <string>
#include <vector>

#include "player/objects/caption_record.h"
#include "tools/moviewriter/picture.h"

namespace quillet {

// A picture object's tail holding image (and mask, where given: white where the
// image shows), compressed as movies store them and inflated as a reader leaves
// them.
PictureTail bitmapPicture(const Picture& image, const Picture* mask = nullptr);
// An icon's tail from a 32 x 32 picture whose key-coloured pixels are transparent.
PictureTail iconPicture(const Picture& image, uint32_t keyColour);

// Adds the described objects to records; false with the line and reason in error.
bool parseObjectDescription(const std::string& text, std::vector<CaptionRecord>& records, std::string& error);

// The rectangle an object paints in: its body, widened for an arrow's heads and
// a line's width, a balloon's tail, a depth and a shadow.
Rect paintedBounds(const CaptionRecord& record);

}  // namespace quillet
