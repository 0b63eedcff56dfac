#include "player/render/object_painter.h"

#include <algorithm>
#include <cstring>

#include "player/objects/arrow_geometry.h"
#include "player/objects/caption_geometry.h"
#include "player/render/dib_picture.h"
#include "player/render/region.h"

namespace quillet {
namespace render {
namespace {

using namespace caption_kind;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0;
constexpr int32_t kIconSide = 32;
// No object paints more than this on a side: stored rectangles may claim anything.
constexpr int32_t kMostSide = 8192;

Rect normalised(const Rect& r) {
    return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

bool sane(const Rect& r) {
    return r.width() > 0 && r.height() > 0 && r.width() <= kMostSide && r.height() <= kMostSide;
}

// An object that paints a region in one colour straight onto the target (the
// outlines): its picture is that colour over the region's box, its mask the
// region.
RenderedObject solidObject(const Region& region, uint32_t rgb) {
    RenderedObject object;
    const Rect box = region.box();
    if (!sane(box)) return object;
    object.at = Point{box.left, box.top};
    object.picture = Picture(box.width(), box.height(), kWhite);
    object.mask = Picture(box.width(), box.height(), kBlack);
    region.fill(object.picture, object.at, rgb);
    region.fill(object.mask, object.at, kWhite);
    object.drawn = true;
    return object;
}

// An outline's body: no further out than this, so that the pen's arithmetic
// stays far from overflowing; such a body is far off any screen anyway.
constexpr int32_t kMostOutlineCoordinate = 1 << 24;

bool outlineFits(const Rect& r) {
    auto near = [](int32_t v) { return v >= -kMostOutlineCoordinate && v <= kMostOutlineCoordinate; };
    return sane(r) && near(r.left) && near(r.top) && near(r.right) && near(r.bottom);
}

// The path of an inside-frame pen along a body: the body pulled in by half the
// pen, the wider half on the left and top.
Rect insideFramePath(const Rect& body, int32_t width) {
    return Rect{body.left + width / 2, body.top + width / 2, body.right - (width - 1) / 2,
                body.bottom - (width - 1) / 2};
}

// A rectangle outline drawn with an inside-frame pen: the pen runs round the
// path's last pixels, from the top right corner leftwards.
Region rectangleOutline(const Rect& body, int32_t width) {
    const Rect r = normalised(body);
    if (!outlineFits(r)) return Region();
    width = std::clamp(width, 1, kMostSide);
    const Rect path = insideFramePath(r, width);
    const int32_t right = path.right - 1, bottom = path.bottom - 1;
    return Region::penStroke({{right, path.top}, {path.left, path.top}, {path.left, bottom}, {right, bottom}}, width);
}

// An ellipse outline drawn with an inside-frame pen: the pen's path is the
// rectangle pulled in by half the pen, and a path too thin to be an ellipse is
// drawn as a rectangle outline.
Region ellipseOutline(const Rect& body, int32_t width) {
    const Rect r = normalised(body);
    if (!outlineFits(r)) return Region();
    width = std::clamp(width, 1, kMostSide);
    const Rect path = insideFramePath(r, width);
    if (path.width() <= 2 || path.height() <= 2) return rectangleOutline(body, width);
    return Region::ellipseStroke(path, width);
}

Region headRegion(const ArrowHead& head) { return Region::polygon({head.left, head.right, head.tip}, false); }

Region arrowRegion(const CaptionRecord& record) {
    const ArrowLayout layout =
        layOutArrow(record.arrow.start, record.arrow.end, record.header.lineWidth, record.arrow.arrowStyle);
    Region painted = wideLine(layout.lineStart, layout.lineEnd, record.header.lineWidth);
    if (layout.headAtEnd) painted.unite(headRegion(layout.endHead));
    if (layout.headAtStart) painted.unite(headRegion(layout.startHead));
    return painted;
}

// The text of a box: measured in its area, centred down, drawn across.
void drawText(Picture& picture, Point origin, TextPainter* text, const std::string& content, const LogFontBytes& font,
              const Rect& area, uint32_t colour) {
    if (!text || content.empty()) return;
    const int32_t height = text->measure(content, font, area.width(), true);
    const Rect where = normalised(centredVertically(area, height));
    const Rect local{where.left - origin.x, where.top - origin.y, where.right - origin.x, where.bottom - origin.y};
    text->draw(picture, content, font, local, rgbFromColour(colour), true);
}

enum class Body { Rectangle, Rounded, Ellipse };

Body bodyOf(uint32_t kind) {
    if (kind == kRoundCaption || kind == kRoundBalloon) return Body::Rounded;
    if (kind == kEllipseCaption || kind == kEllipseBalloon) return Body::Ellipse;
    return Body::Rectangle;
}

bool isBalloon(uint32_t kind) { return kind == kBoxBalloon || kind == kRoundBalloon || kind == kEllipseBalloon; }

Region bodyRegion(const CaptionRecord& record, Body body) {
    const Rect& b = record.header.bodyRect;
    const Rect inclusive = adjusted(b, 0, 0, 1, 1);
    const bool small = body == Body::Rounded && roundedIsSmall(b, record.cornerSize);
    Region region;
    if (body == Body::Rectangle) region = Region::rect(b.left, b.top, b.right, b.bottom);
    else if (body == Body::Ellipse || small)
        region = Region::ellipse(inclusive.left, inclusive.top, inclusive.right, inclusive.bottom);
    else
        region = Region::roundRect(inclusive.left, inclusive.top, inclusive.right, inclusive.bottom,
                                   record.cornerSize.x, record.cornerSize.y);
    if (isBalloon(record.kind())) {
        const std::array<Point, 3> tail = tailTriangle(record.balloon);
        region.unite(Region::polygon({tail[0], tail[1], tail[2]}, false));
    }
    return region;
}

Region shiftedBodyRegion(const CaptionRecord& record, Body body, Point depth) {
    Rect s = adjusted(record.header.bodyRect, depth.x, depth.y, depth.x, depth.y);
    if (body == Body::Rectangle) return Region::rect(s.left, s.top, s.right, s.bottom);
    const bool small = body == Body::Rounded && roundedIsSmall(record.header.bodyRect, record.cornerSize);
    if (body == Body::Rounded && !small)
        return Region::roundRect(s.left + 1, s.top + 1, s.right, s.bottom, record.cornerSize.x, record.cornerSize.y);
    if (body == Body::Rounded) s = adjusted(s, 2, 2, -2, -2);
    s = adjusted(s, -1, -1, 1, 1);
    return Region::ellipse(s.left, s.top, s.right, s.bottom);
}

void fillQuad(Picture& picture, Point origin, const ShadedQuad& face) {
    const auto& c = face.quad.corners;
    Region::polygon({c[0], c[1], c[2], c[3]}, false).fill(picture, origin, rgbFromColour(face.colour));
}

Region quadRegion(const Quad& quad) {
    const auto& c = quad.corners;
    return Region::polygon({c[0], c[1], c[2], c[3]}, true);
}

// The side faces, painted into the picture, and the region they join.
Region drawDepth(const CaptionRecord& record, Body body, Point depth, Picture& picture, Point origin) {
    const ObjectHeader& h = record.header;
    if (body == Body::Rectangle) {
        const RectDepth faces = rectDepth(h.bodyRect, depth, h.lineColour);
        fillQuad(picture, origin, faces.vertical);
        fillQuad(picture, origin, faces.horizontal);
        return quadRegion(faces.region);
    }
    const Rect& b = h.bodyRect;
    const bool elliptic = body == Body::Ellipse || roundedIsSmall(b, record.cornerSize);
    const double width = static_cast<double>(b.right) - b.left + 1, height = static_cast<double>(b.bottom) - b.top + 1;
    auto whole = [](double side) { return static_cast<int32_t>(std::min(side, 2e9)); };
    const Point corner = elliptic ? Point{whole(width), whole(height)} : record.cornerSize;
    const CurvedDepth faces = curvedDepth(roundedOutline(b, corner), depth, h.lineColour, std::max(1.0, width / 2));
    for (const ShadedQuad& face : faces.faces) fillQuad(picture, origin, face);
    return faces.faces.empty() ? Region() : quadRegion(faces.region);
}

RenderedObject renderTextObject(const CaptionRecord& record, TextPainter* text) {
    RenderedObject object;
    const ObjectHeader& h = record.header;
    const Rect& bounds = h.boundsRect;
    if (!sane(bounds)) return object;
    const Point origin{bounds.left, bounds.top};
    object.at = origin;
    object.picture = Picture(bounds.width(), bounds.height(), kWhite);
    object.mask = Picture(bounds.width(), bounds.height(), kWhite);
    const Body body = bodyOf(record.kind());

    const Region bodyArea = bodyRegion(record, body);
    Region shape = bodyArea;
    if (h.depthOn) {
        const Point depth = forcedDepth(h.depthCorner, h.depthX, h.depthY, body == Body::Rectangle);
        shape.unite(shiftedBodyRegion(record, body, depth));
        shape.unite(drawDepth(record, body, depth, object.picture, origin));
    }
    Region outside = Region::rect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    outside.subtract(shape);
    if (h.shadowOn) {
        Region shadow = shape;
        shadow.offset(h.shadowX, h.shadowY);
        outside.subtract(shadow);
        shadow.fill(object.picture, origin, rgbFromColour(h.shadowRgb));
    }
    bodyArea.fill(object.picture, origin, rgbFromColour(h.fillColour));
    const int32_t frame = std::clamp(h.lineWidth, 0, 1 << 16);
    if (frame > 0) bodyArea.frame(frame, frame).fill(object.picture, origin, rgbFromColour(h.lineColour));
    outside.fill(object.mask, origin, kBlack);

    drawText(object.picture, origin, text, record.text, h.font, textArea(record), h.textColour);
    if (record.kind() == kTitledCaption) {
        const TitleTail& title = record.title;
        const Rect bar = normalised(title.titleBar);
        object.picture.fillRect(bar.left - origin.x, bar.top - origin.y, bar.right - origin.x, bar.bottom - origin.y,
                                rgbFromColour(h.lineColour));
        drawText(object.picture, origin, text, title.title, title.titleFont, adjusted(title.titleBar, 4, 4, -4, -4),
                 title.titleColour);
    }
    object.drawn = true;
    return object;
}

// A mask bitmap is black and white only: a colour table entry that is not white
// reads as black.
void toBlackAndWhite(Picture& picture) {
    for (uint32_t& p : picture.pixels) {
        const uint32_t sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
        p = sum >= 3 * 128 ? kWhite : kBlack;
    }
}

RenderedObject renderIcon(const CaptionRecord& record) {
    RenderedObject object;
    Picture mask, colour;
    if (!pictureFromPackedDib(record.picture.iconMaskDib, mask) ||
        !pictureFromPackedDib(record.picture.iconColourDib, colour))
        return object;
    toBlackAndWhite(mask);
    object.at = Point{record.header.bodyRect.left, record.header.bodyRect.top};
    object.mask = Picture(kIconSide, kIconSide, kWhite);
    blit(object.mask, 0, 0, kIconSide, kIconSide, mask, 0, 0, RasterOp::Copy);
    object.picture = Picture(kIconSide, kIconSide, kBlack);
    blit(object.picture, 0, 0, kIconSide, kIconSide, colour, 0, 0, RasterOp::Copy);
    object.icon = true;
    object.drawn = true;
    return object;
}

RenderedObject renderBitmap(const CaptionRecord& record, TextPainter* text) {
    RenderedObject object;
    const PictureTail& p = record.picture;
    const Rect& bounds = record.header.boundsRect;
    Picture image, imageMask;
    if (!sane(bounds) || !pictureFromPackedDib(p.imageDib, image)) return object;
    const bool hasMask = p.hasMask && pictureFromPackedDib(p.imageMaskDib, imageMask);
    if (p.hasMask && !hasMask) return object;
    auto held = [](uint32_t natural, int32_t actual) {
        return natural == 0 || natural > static_cast<uint32_t>(actual) ? actual : static_cast<int32_t>(natural);
    };
    const int32_t sourceWidth = held(p.naturalWidth, image.width), sourceHeight = held(p.naturalHeight, image.height);
    const bool natural = p.actualSize == 1;
    const int32_t toWidth = natural ? sourceWidth : bounds.width(), toHeight = natural ? sourceHeight : bounds.height();
    object.at = Point{bounds.left, bounds.top};
    object.picture = Picture(bounds.width(), bounds.height(), kWhite);
    object.mask = Picture(bounds.width(), bounds.height(), kBlack);
    stretchBlitAndScans(object.picture, 0, 0, toWidth, toHeight, image, 0, 0, sourceWidth, sourceHeight);
    if (hasMask)
        stretchBlitAndScans(object.mask, 0, 0, toWidth, toHeight, imageMask, 0, 0, sourceWidth, sourceHeight);
    else
        object.mask.fillRect(0, 0, toWidth, toHeight, kWhite);
    for (size_t i = 0; i < object.picture.pixels.size(); ++i)
        object.picture.pixels[i] |= ~object.mask.pixels[i] & 0xFFFFFF;
    drawText(object.picture, object.at, text, record.text, record.header.font, textArea(record),
             record.header.textColour);
    object.drawn = true;
    return object;
}

RenderedObject storedObject(const CaptionRecord& record) {
    RenderedObject object;
    const Rect& bounds = record.header.boundsRect;
    if (!sane(bounds) || !pictureFromPackedDib(record.stored.picture, object.picture) ||
        !pictureFromPackedDib(record.stored.mask, object.mask))
        return RenderedObject();
    // Compositing copies the bounds' size from each; what a stored picture does
    // not cover leaves the target alone.
    Picture picture(bounds.width(), bounds.height(), kWhite), mask(bounds.width(), bounds.height(), kBlack);
    blit(picture, 0, 0, bounds.width(), bounds.height(), object.picture, 0, 0, RasterOp::Copy);
    blit(mask, 0, 0, bounds.width(), bounds.height(), object.mask, 0, 0, RasterOp::Copy);
    object.picture = std::move(picture);
    object.mask = std::move(mask);
    object.at = Point{bounds.left, bounds.top};
    object.drawn = true;
    return object;
}

}  // namespace

RenderedObject renderObject(const CaptionRecord& record, TextPainter* text) {
    const ObjectHeader& h = record.header;
    const uint32_t kind = record.kind();
    if (kind == kRectFrame) return solidObject(rectangleOutline(h.bodyRect, h.lineWidth), rgbFromColour(h.lineColour));
    if (kind == kArrowLine) return solidObject(arrowRegion(record), rgbFromColour(h.lineColour));
    if (kind == kSoundCaption || kind == kHotspotCaption) return RenderedObject();
    if (kind == kImageCaption && record.picture.usable() && record.picture.pictureType == 0) return renderIcon(record);
    // A stored picture stands for the rendering until the object is invalidated.
    if (record.stored.present()) {
        RenderedObject stored = storedObject(record);
        if (stored.drawn) return stored;
    }
    if (kind == kEllipseFrame) return solidObject(ellipseOutline(h.bodyRect, h.lineWidth), rgbFromColour(h.lineColour));
    if (kind >= kBoxCaption && kind <= kEllipseBalloon) return renderTextObject(record, text);
    if (kind == kImageCaption && record.picture.usable() && record.picture.pictureType == 1)
        return renderBitmap(record, text);
    return RenderedObject();
}

void compositeObject(Picture& target, Point origin, const RenderedObject& object) {
    if (!object.drawn) return;
    const int32_t x = object.at.x + origin.x, y = object.at.y + origin.y;
    const int32_t w = object.picture.width, h = object.picture.height;
    if (object.icon) {
        blit(target, x, y, w, h, object.mask, 0, 0, RasterOp::And);
        blit(target, x, y, w, h, object.picture, 0, 0, RasterOp::Invert);
        return;
    }
    blit(target, x, y, w, h, object.mask, 0, 0, RasterOp::Paint);
    blit(target, x, y, w, h, object.picture, 0, 0, RasterOp::And);
}

}  // namespace render
}  // namespace quillet
