#include "player/objects/win32/text_captions.h"

#include <algorithm>
#include <cstring>

#include "player/objects/caption_geometry.h"

namespace quillet {
namespace {

constexpr UINT kTextFlags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

RECT toRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

Rect normalised(const Rect& r) {
    return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

win32::UniqueGdiObject emptyRegion() { return win32::UniqueGdiObject(::CreateRectRgn(0, 0, 0, 0)); }

HRGN rgn(const win32::UniqueGdiObject& region) { return static_cast<HRGN>(region.get()); }

// into := into op other (other alone for RGN_COPY); a missing region leaves into
// as it is.
void combine(win32::UniqueGdiObject& into, HRGN other, int op) {
    if (!into || !other) return;
    if (op == RGN_COPY)
        ::CombineRgn(rgn(into), other, nullptr, RGN_COPY);
    else
        ::CombineRgn(rgn(into), rgn(into), other, op);
}

win32::UniqueGdiObject quadRegion(const Quad& quad) {
    POINT corners[4];
    for (size_t i = 0; i < 4; ++i) corners[i] = POINT{quad.corners[i].x, quad.corners[i].y};
    return win32::UniqueGdiObject(::CreatePolygonRgn(corners, 4, WINDING));
}

// Fills (or frames, when frame is not 0) a region given in the coordinates the
// dc's viewport origin makes: it is moved by that origin and painted with the
// origin at 0, which reads the same whichever space a driver takes regions in.
void paintRegion(HDC dc, HRGN region, HBRUSH brush, int frame = 0) {
    if (!region || !brush) return;
    win32::UniqueGdiObject moved = emptyRegion();
    if (!moved || ::CombineRgn(rgn(moved), region, nullptr, RGN_COPY) == ERROR) return;
    POINT origin{};
    ::SetViewportOrgEx(dc, 0, 0, &origin);
    ::OffsetRgn(rgn(moved), origin.x, origin.y);
    if (frame > 0)
        ::FrameRgn(dc, rgn(moved), brush, frame, frame);
    else
        ::FillRgn(dc, rgn(moved), brush);
    ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

void fillQuad(HDC dc, const ShadedQuad& face) {
    POINT corners[4];
    for (size_t i = 0; i < 4; ++i) corners[i] = POINT{face.quad.corners[i].x, face.quad.corners[i].y};
    win32::UniqueGdiObject brush(::CreateSolidBrush(face.colour));
    win32::ScopedSelect select(dc, brush.get());
    ::Polygon(dc, corners, 4);
}

// A rounded-rectangle or elliptic region; the right and bottom coordinates are
// outside it, as GDI has them.
win32::UniqueGdiObject roundedRegion(int32_t l, int32_t t, int32_t r, int32_t b, Point corner) {
    return win32::UniqueGdiObject(::CreateRoundRectRgn(l, t, r, b, corner.x, corner.y));
}

win32::UniqueGdiObject ellipticRegion(int32_t l, int32_t t, int32_t r, int32_t b) {
    return win32::UniqueGdiObject(::CreateEllipticRgn(l, t, r, b));
}

}  // namespace

win32::UniqueGdiObject fontFrom(const LogFontBytes& bytes) {
    LOGFONTA font{};
    static_assert(sizeof font == kLogFontSize, "a stored font is a LOGFONTA");
    std::memcpy(&font, bytes.data(), sizeof font);
    font.lfFaceName[LF_FACESIZE - 1] = '\0';
    return win32::UniqueGdiObject(::CreateFontIndirectA(&font));
}

CTextCaption::CTextCaption(CaptionRecord record, Body body, bool balloon)
    : CCaption(std::move(record)), body_(body), balloon_(balloon) {}

bool CTextCaption::isSmallRounded() const {
    return body_ == Body::Rounded && roundedIsSmall(bodyRect(), record_.cornerSize);
}

win32::UniqueGdiObject CTextCaption::bodyRegion() const {
    const Rect& b = bodyRect();
    const Rect inclusive = adjusted(b, 0, 0, 1, 1);
    win32::UniqueGdiObject region;
    if (body_ == Body::Rectangle)
        region.reset(::CreateRectRgn(b.left, b.top, b.right, b.bottom));
    else if (body_ == Body::Ellipse || isSmallRounded())
        region = ellipticRegion(inclusive.left, inclusive.top, inclusive.right, inclusive.bottom);
    else
        region = roundedRegion(inclusive.left, inclusive.top, inclusive.right, inclusive.bottom, record_.cornerSize);
    if (balloon_ && region) {
        const std::array<Point, 3> tail = tailTriangle(record_.balloon);
        const POINT corners[3] = {{tail[0].x, tail[0].y}, {tail[1].x, tail[1].y}, {tail[2].x, tail[2].y}};
        win32::UniqueGdiObject tailRegion(::CreatePolygonRgn(corners, 3, ALTERNATE));
        combine(region, rgn(tailRegion), RGN_OR);
    }
    return region;
}

win32::UniqueGdiObject CTextCaption::shiftedBodyRegion(Point depth) const {
    Rect s = adjusted(bodyRect(), depth.x, depth.y, depth.x, depth.y);
    if (body_ == Body::Rectangle) return win32::UniqueGdiObject(::CreateRectRgn(s.left, s.top, s.right, s.bottom));
    if (body_ == Body::Rounded && !isSmallRounded())
        return roundedRegion(s.left + 1, s.top + 1, s.right, s.bottom, record_.cornerSize);
    if (body_ == Body::Rounded) s = adjusted(s, 2, 2, -2, -2);
    s = adjusted(s, -1, -1, 1, 1);
    return ellipticRegion(s.left, s.top, s.right, s.bottom);
}

// Rounded and elliptic bodies: the side is the part of the outline that faces the
// depth, swept one pixel column at a time, each column shaded by its distance
// from the point of contact nearer the upper left (light there, the outline
// colour half the body's width away, darker beyond). The rounded body
// sweeps its straight edges the same way, so that one gradient runs along the
// whole side. The corner ellipse of a small rounded body is the body itself.
void CTextCaption::drawDepth(HDC dc, Point depth) {
    const ObjectHeader& h = record_.header;
    win32::ScopedSelect pen(dc, ::GetStockObject(NULL_PEN));
    if (body_ == Body::Rectangle) {
        const RectDepth faces = rectDepth(bodyRect(), depth, h.lineColour);
        fillQuad(dc, faces.vertical);
        fillQuad(dc, faces.horizontal);
        depthRegion_ = quadRegion(faces.region);
        return;
    }
    const Rect& b = bodyRect();
    const bool elliptic = body_ == Body::Ellipse || isSmallRounded();
    const double width = static_cast<double>(b.right) - b.left + 1, height = static_cast<double>(b.bottom) - b.top + 1;
    auto whole = [](double side) { return static_cast<int32_t>(std::min(side, 2e9)); };
    const Point corner = elliptic ? Point{whole(width), whole(height)} : record_.cornerSize;
    const CurvedDepth faces = curvedDepth(roundedOutline(b, corner), depth, h.lineColour, std::max(1.0, width / 2));
    for (const ShadedQuad& face : faces.faces) fillQuad(dc, face);
    depthRegion_ = faces.faces.empty() ? emptyRegion() : quadRegion(faces.region);
}

void CTextCaption::render(HDC pictureDc, HDC maskDc) {
    const ObjectHeader& h = record_.header;
    win32::UniqueGdiObject fill(::CreateSolidBrush(h.fillColour));
    win32::UniqueGdiObject line(::CreateSolidBrush(h.lineColour));
    win32::UniqueGdiObject body = bodyRegion();
    win32::UniqueGdiObject shape = emptyRegion();
    if (!fill || !line || !body || !shape) return;

    combine(shape, rgn(body), RGN_COPY);
    if (h.depthOn) {
        // The shifted body goes the way the faces do.
        const Point depth = forcedDepth(h.depthCorner, h.depthX, h.depthY, body_ == Body::Rectangle);
        win32::UniqueGdiObject shifted = shiftedBodyRegion(depth);
        combine(shape, rgn(shifted), RGN_OR);
        drawDepth(pictureDc, depth);
        combine(shape, rgn(depthRegion_), RGN_OR);
    }
    const Rect& bounds = boundsRect();
    win32::UniqueGdiObject outside(::CreateRectRgn(bounds.left, bounds.top, bounds.right, bounds.bottom));
    combine(outside, rgn(shape), RGN_DIFF);
    if (h.shadowOn) {
        win32::UniqueGdiObject shadow = emptyRegion();
        combine(shadow, rgn(shape), RGN_COPY);
        ::OffsetRgn(rgn(shadow), h.shadowX, h.shadowY);
        combine(outside, rgn(shadow), RGN_DIFF);
        win32::UniqueGdiObject shadowBrush(::CreateSolidBrush(h.shadowRgb));
        paintRegion(pictureDc, rgn(shadow), static_cast<HBRUSH>(shadowBrush.get()));
    }
    paintRegion(pictureDc, rgn(body), static_cast<HBRUSH>(fill.get()));
    const int frame = std::clamp(h.lineWidth, 0, 1 << 16);
    if (frame > 0) paintRegion(pictureDc, rgn(body), static_cast<HBRUSH>(line.get()), frame);
    paintRegion(maskDc, rgn(outside), static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));

    win32::UniqueGdiObject font = fontFrom(h.font);
    win32::ScopedSelect selectFont(pictureDc, font ? font.get() : ::GetStockObject(DEFAULT_GUI_FONT));
    const Rect where = normalised(textRect(pictureDc));
    drawCaptionText(pictureDc, record_.text, where, h.textColour);
    drawTitle(pictureDc);
}

Rect measuredText(HDC dc, const std::string& text, const Rect& area) {
    RECT calc = toRect(area);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &calc, DT_CALCRECT | kTextFlags);
    return centredVertically(area, calc.bottom - calc.top);
}

Rect CTextCaption::measuredSpace(HDC dc, const Rect& area) const {
    const bool editControl = kind() == caption_kind::kBoxCaption || kind() == caption_kind::kBoxBalloon;
    RECT calc = toRect(area);
    ::DrawTextA(dc, " ", 1, &calc, DT_CALCRECT | DT_CENTER | DT_WORDBREAK | (editControl ? DT_EDITCONTROL : 0));
    const Rect centred = centredVertically(area, calc.bottom - calc.top);
    const Rect sides = adjusted(bodyRect(), 4, 0, -4, 0);
    return Rect{sides.left, centred.top, sides.right, centred.bottom};
}

void drawCaptionText(HDC dc, const std::string& text, const Rect& where, uint32_t colour) {
    if (text.empty()) return;
    RECT r = toRect(where);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFlags);
}

Rect CTextCaption::textRect(HDC dc) {
    if (record_.text.empty()) return measuredSpace(dc, bodyRect());
    record_.header.textRect = measuredText(dc, record_.text, textArea(record_));
    return record_.header.textRect;
}


Rect CTitledCaption::textRect(HDC dc) {
    if (record_.text.empty()) return measuredSpace(dc, record_.title.bodyTextRect);
    record_.header.textRect = measuredText(dc, record_.text, textArea(record_));
    return record_.header.textRect;
}

Rect CTitledCaption::titleTextRect(HDC dc) {
    TitleTail& title = record_.title;
    if (title.title.empty()) return measuredSpace(dc, title.titleBar);
    const Rect& bar = title.titleBar;
    title.titleTextRect = measuredText(dc, title.title, adjusted(bar, 4, 4, -4, -4));
    return title.titleTextRect;
}

void CTitledCaption::drawTitle(HDC dc) {
    const TitleTail& title = record_.title;
    win32::UniqueGdiObject bar(::CreateSolidBrush(record_.header.lineColour));
    const RECT barRect = toRect(title.titleBar);
    if (bar) ::FillRect(dc, &barRect, static_cast<HBRUSH>(bar.get()));
    win32::UniqueGdiObject font = fontFrom(title.titleFont);
    win32::ScopedSelect selectFont(dc, font ? font.get() : ::GetStockObject(DEFAULT_GUI_FONT));
    const Rect where = normalised(titleTextRect(dc));
    drawCaptionText(dc, title.title, where, title.titleColour);
}

}  // namespace quillet
