#pragma once
// The arithmetic of text boxes and balloons (kinds 3 to 9): the shades of their
// side faces, the depth vector each depth corner allows, the faces of rectangular
// and of rounded or elliptic bodies swept along the depth, the area their text is
// laid out in, and the balloon's tail.

#include <array>
#include <cstdint>
#include <vector>

#include "common/geometry.h"
#include "player/objects/caption_record.h"

namespace quillet {

struct PointF {
    double x = 0, y = 0;
};

// colour (0x00BBGGRR) lit for a face whose light vector is c long against d: longer
// than d darkens, shorter lightens toward white. Each channel is clamped to 0..255
// and cut toward zero.
uint32_t shade(uint32_t colour, double c, double d);

// The lengths of the light vectors of the four faces of a rectangular body: the
// light comes from the upper left, so left and top faces are lighter than the
// outline colour and right and bottom faces darker.
namespace face_light {
extern const double kRight;   // (14, -6)
extern const double kLeft;    // (6, -6)
extern const double kTop;     // (4, -4)
extern const double kBottom;  // (-16, -4)
}  // namespace face_light
constexpr double kFaceLightReference = 10;

// The depth vector made to point the way the corner says (0 up-right, 1 down-right,
// 2 down-left, 3 up-left). A rectangular body turns a component pointing the wrong
// way, or 0, into 1 or -1; a curved body turns a wrong component into 0.
Point forcedDepth(int32_t depthCorner, int32_t depthX, int32_t depthY, bool rectangular);

struct Quad {
    std::array<Point, 4> corners;
};

struct ShadedQuad {
    Quad quad;
    uint32_t colour = 0;
};

// The side faces of a rectangular body swept along depth (already forced), the
// vertical face first, and the region that joins the two corners lying across
// the depth direction with their shifted copies.
struct RectDepth {
    ShadedQuad vertical;
    ShadedQuad horizontal;
    Quad region;
};
RectDepth rectDepth(const Rect& body, Point depth, uint32_t lineColour);

// The outline of a rounded rectangle over box (right and bottom included, as the
// regions of these bodies are made), with corner ellipses of corner's size; an
// ellipse is the rounded rectangle whose corner is the whole box. Points go along
// the top edge from left to right, one per pixel column, then back along the
// bottom edge.
std::vector<PointF> roundedOutline(const Rect& box, Point corner);

// The side of a curved body swept along depth: for each edge of the outline that
// faces the depth, a quadrilateral joining the edge with its shifted copy, shaded
// by the edge's distance from the point where the lit side begins (the contact
// point nearer the upper left) against halfWidth. region joins the two points of
// contact with their shifted copies. Empty faces when depth is (0, 0).
struct CurvedDepth {
    std::vector<ShadedQuad> faces;
    Quad region;
};
CurvedDepth curvedDepth(const std::vector<PointF>& outline, Point depth, uint32_t lineColour, double halfWidth);

// Where non-empty text is laid out: the body less 4 on each side (kinds 3, 7, 10),
// less the part the rounded corners cut off (kinds 4, 8), the square inscribed in
// the ellipse (kinds 5, 9); kind 6 uses its body text rectangle less 4.
Rect textArea(const CaptionRecord& record);
// area's left and right with a block measuredHeight high centred in its height.
Rect centredVertically(const Rect& area, int32_t measuredHeight);

// The tail's corners: tip and the two base points, the base opened by a pixel up
// and down when both points share a y, so that the tail never collapses to a line.
std::array<Point, 3> tailTriangle(const BalloonTail& tail);

// r with each side moved by the amounts given, held to the coordinates GDI draws:
// stored values may be anything.
Rect adjusted(const Rect& r, int64_t left, int64_t top, int64_t right, int64_t bottom);

// A rounded body narrower or lower than its corner size is drawn as an ellipse.
bool roundedIsSmall(const Rect& body, Point cornerSize);

}  // namespace quillet
