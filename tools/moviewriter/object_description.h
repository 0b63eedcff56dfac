#pragma once
// Annotation objects described in text, one per line, for movietool make:
//
//   rect    id=1 first=3 frames=10 body=20,20,200,120 line=ff0000 width=3
//   arrow   id=2 first=0 frames=8 start=40,40 end=160,90 style=2 line=0000ff width=2
//   box     id=3 first=5 frames=5 body=10,10,150,60 text="Click here" fill=ffffe0
//   hotspot id=4 first=12 frames=1 body=50,50,120,80 events=100010 cursor=11 label="OK"
//
// The first word is the kind (rect, ellipse, arrow, box, round, oval, titled,
// balloon, round-balloon, oval-balloon, image, sound, hotspot, or a number). Values
// are key=value; a value with spaces is quoted. Colours are RRGGBB in hex; points
// are x,y and rectangles left,top,right,bottom, in recorded-area coordinates.
// Lines starting with # are comments.

#include <string>
#include <vector>

#include "player/objects/caption_record.h"

namespace quillet {

// Adds the described objects to records; false with the line and reason in error.
bool parseObjectDescription(const std::string& text, std::vector<CaptionRecord>& records, std::string& error);

// The rectangle an object paints in: its body, widened for an arrow's heads and
// a line's width.
Rect paintedBounds(const CaptionRecord& record);

}  // namespace quillet
