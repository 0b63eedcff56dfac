#include "player/objects/win32/shape_captions.h"

#include <functional>

#include "player/bitmaps/win32/dib.h"

namespace quillet {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
// From this line width on, a mapped outline is drawn 2 pixels wide.
constexpr int32_t kWideMappedLine = 7;

// A pen and brush selected for a scope.
class OutlineTools {
public:
    OutlineTools(HDC dc, uint32_t colour, int penWidth, bool solidBrush)
        : dc_(dc), pen_(::CreatePen(PS_INSIDEFRAME, penWidth, colour)),
          brush_(solidBrush ? ::CreateSolidBrush(colour) : nullptr),
          oldPen_(::SelectObject(dc, pen_.get())),
          oldBrush_(::SelectObject(dc, brush_ ? brush_.get() : ::GetStockObject(NULL_BRUSH))) {}
    ~OutlineTools() {
        ::SelectObject(dc_, oldBrush_);
        ::SelectObject(dc_, oldPen_);
    }
    OutlineTools(const OutlineTools&) = delete;
    OutlineTools& operator=(const OutlineTools&) = delete;
    HBRUSH brush() const { return static_cast<HBRUSH>(brush_.get()); }

private:
    HDC dc_;
    win32::UniqueGdiObject pen_;
    win32::UniqueGdiObject brush_;
    HGDIOBJ oldPen_;
    HGDIOBJ oldBrush_;
};

enum class Shape { Rectangle, Ellipse };

void paintShape(HDC dc, Shape shape, const Rect& r, uint32_t colour, int penWidth) {
    OutlineTools tools(dc, colour, penWidth, false);
    if (shape == Shape::Rectangle)
        ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    else
        ::Ellipse(dc, r.left, r.top, r.right, r.bottom);
}

void fillHead(HDC dc, const ArrowHead& head, HBRUSH brush, win32::UniqueGdiObject& region) {
    const POINT corners[3] = {{head.left.x, head.left.y}, {head.right.x, head.right.y}, {head.tip.x, head.tip.y}};
    region.reset(::CreatePolygonRgn(corners, 3, ALTERNATE));
    if (!region) return;
    ::FillRgn(dc, static_cast<HRGN>(region.get()), brush);
    ::FrameRgn(dc, static_cast<HRGN>(region.get()), brush, 1, 1);
}

void paintHeadMapped(HDC dc, const ArrowHead& head, const std::function<Point(Point)>& map) {
    const Point a = map(head.left), b = map(head.right), c = map(head.tip);
    const POINT corners[3] = {{a.x, a.y}, {b.x, b.y}, {c.x, c.y}};
    ::Polygon(dc, corners, 3);
}

}  // namespace

int outlinePenWidth(int32_t lineWidth, bool mapped) {
    if (!mapped) return lineWidth;
    return lineWidth < kWideMappedLine ? 1 : 2;
}

StoredPicture storeOutline(HDC reference, const Rect& bounds, uint32_t lineColour,
                           const std::function<void(HDC, uint32_t)>& drawOutline) {
    return paintedForStorage(
        reference, bounds, [&](HDC dc) { drawOutline(dc, lineColour); }, [&](HDC dc) { drawOutline(dc, kWhite); });
}

void CRectFrame::draw(HDC dc, const RECT* target, bool, int) {
    const ObjectHeader& h = record_.header;
    const Rect body = target ? scaleFor(*target).map(h.bodyRect) : h.bodyRect;
    paintShape(dc, Shape::Rectangle, body, h.lineColour, outlinePenWidth(h.lineWidth, target != nullptr));
}

StoredPicture CRectFrame::renderForStorage(HDC reference) {
    const ObjectHeader& h = record_.header;
    return storeOutline(reference, h.boundsRect, h.lineColour, [&](HDC dc, uint32_t colour) {
        paintShape(dc, Shape::Rectangle, h.bodyRect, colour, h.lineWidth);
    });
}

void CEllipseFrame::draw(HDC dc, const RECT* target, bool, int) {
    const ObjectHeader& h = record_.header;
    const Rect& bounds = h.boundsRect;
    const Rect& body = h.bodyRect;
    const bool bodyWithinBounds = body.left >= bounds.left && body.top >= bounds.top && body.right <= bounds.right &&
                                  body.bottom <= bounds.bottom;
    if (!target && bodyWithinBounds) {
        composite(dc, nullptr);
        return;
    }
    const Rect shown = target ? scaleFor(*target).map(body) : body;
    paintShape(dc, Shape::Ellipse, shown, h.lineColour, outlinePenWidth(h.lineWidth, target != nullptr));
}

void CEllipseFrame::renderPicture(HDC pictureDc) {
    const ObjectHeader& h = record_.header;
    paintShape(pictureDc, Shape::Ellipse, h.bodyRect, h.lineColour, h.lineWidth);
}

void CEllipseFrame::renderMask(HDC maskDc) {
    const ObjectHeader& h = record_.header;
    const RECT all{h.boundsRect.left, h.boundsRect.top, h.boundsRect.right, h.boundsRect.bottom};
    ::FillRect(maskDc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    paintShape(maskDc, Shape::Ellipse, h.bodyRect, kWhite, h.lineWidth);
}

StoredPicture CEllipseFrame::renderForStorage(HDC reference) {
    const ObjectHeader& h = record_.header;
    return storeOutline(reference, h.boundsRect, h.lineColour, [&](HDC dc, uint32_t colour) {
        paintShape(dc, Shape::Ellipse, h.bodyRect, colour, h.lineWidth);
    });
}

void CArrowLine::draw(HDC dc, const RECT* target, bool, int) {
    ArrowTail& arrow = record_.arrow;
    const ObjectHeader& h = record_.header;
    slope_ = arrowSlope(arrow.start, arrow.end);
    const ArrowLayout layout = layOutArrow(arrow.start, arrow.end, h.lineWidth, arrow.arrowStyle);
    if (layout.headAtEnd) {
        arrow.headLeft = layout.endHead.left;
        arrow.headRight = layout.endHead.right;
        arrow.headTip = layout.endHead.tip;
    }
    OutlineTools tools(dc, h.lineColour, outlinePenWidth(h.lineWidth, target != nullptr), true);
    if (!target) {
        ::MoveToEx(dc, layout.lineStart.x, layout.lineStart.y, nullptr);
        ::LineTo(dc, layout.lineEnd.x, layout.lineEnd.y);
        if (layout.headAtEnd) fillHead(dc, layout.endHead, tools.brush(), headRegion_);
        if (layout.headAtStart) fillHead(dc, layout.startHead, tools.brush(), headRegion_);
        return;
    }
    // Mapped views show the heads as well, mapped like the line, so that a zoomed
    // view still points where the movie points.
    const Scale scale = scaleFor(*target);
    auto map = [&](Point p) { return scale.map(p); };
    const Point from = map(layout.lineStart), to = map(layout.lineEnd);
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
    if (layout.headAtEnd) paintHeadMapped(dc, layout.endHead, map);
    if (layout.headAtStart) paintHeadMapped(dc, layout.startHead, map);
}

StoredPicture CArrowLine::renderForStorage(HDC reference) {
    const ObjectHeader& h = record_.header;
    const uint32_t lineColour = h.lineColour;
    return storeOutline(reference, h.boundsRect, lineColour, [&](HDC dc, uint32_t colour) {
        record_.header.lineColour = colour;
        draw(dc, nullptr, false, 0);
        record_.header.lineColour = lineColour;
    });
}

}  // namespace quillet
