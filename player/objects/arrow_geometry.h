#pragma once
// Where an arrow's line ends and where its heads go. The head is a triangle whose
// base centre lies on the line 2w + 10 pixels (2w + 14 for steep lines) behind the
// tip, turned by 30 degrees to either side with the fixed cosine and sine below;
// every coordinate is cut toward zero, as the stored heads were made.

#include <cstdint>

#include "common/geometry.h"

namespace quillet {

struct ArrowHead {
    Point left, right, tip;
    Point baseCentre;  // where the line meets the head's base
    Point lineEnd;     // the midpoint of tip and base centre: the line stops inside the head
};

// The slope of the line from start to end; a vertical line divides by 1.
float arrowSlope(Point start, Point end);

// The head at end for a line from start, drawn with lineWidth.
ArrowHead arrowHeadAt(Point start, Point end, int32_t lineWidth);

struct ArrowLayout {
    Point lineStart, lineEnd;
    bool headAtEnd = false, headAtStart = false;
    ArrowHead endHead, startHead;
};

// The line and heads of an arrow of style 0 (none), 1 (at the end) or 2 (both ends).
ArrowLayout layOutArrow(Point start, Point end, int32_t lineWidth, uint32_t arrowStyle);

}  // namespace quillet
