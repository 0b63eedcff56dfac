#include "tools/moviewriter/object_description.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "player/objects/arrow_geometry.h"
#include "player/objects/caption_geometry.h"

namespace quillet {
namespace {

// A packed DIB as a movie stores it: zlib at level 9, behind the inflated size.
CompressedBlock compressedDib(const std::string& dib) {
    CompressedBlock block;
    block.rawSize = static_cast<uint32_t>(dib.size());
    uLongf length = compressBound(static_cast<uLong>(dib.size()));
    block.packed.resize(length);
    if (compress2(reinterpret_cast<Bytef*>(block.packed.data()), &length, reinterpret_cast<const Bytef*>(dib.data()),
                  static_cast<uLong>(dib.size()), 9) != Z_OK)
        length = 0;
    block.packed.resize(length);
    return block;
}

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

using namespace caption_kind;

// Numbered kinds beyond the last known one write a record a player cannot read
// past, as a damaged movie holds.
constexpr int32_t kLargestWrittenKind = 255;

const std::map<std::string, uint32_t>& kindNames() {
    static const std::map<std::string, uint32_t> names = {
        {"rect", kRectFrame},     {"ellipse", kEllipseFrame},         {"arrow", kArrowLine},
        {"box", kBoxCaption},     {"round", kRoundCaption},           {"oval", kEllipseCaption},
        {"titled", kTitledCaption}, {"balloon", kBoxBalloon},         {"round-balloon", kRoundBalloon},
        {"oval-balloon", kEllipseBalloon}, {"image", kImageCaption}, {"sound", kSoundCaption},
        {"hotspot", kHotspotCaption},
    };
    return names;
}

// Splits a line into words; "quoted words" keep their spaces.
bool splitWords(const std::string& line, std::vector<std::string>& words) {
    std::string word;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return !quoted;
}

bool parseInts(const std::string& text, std::vector<long>& out, size_t count) {
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        char* end = nullptr;
        long value = std::strtol(part.c_str(), &end, 0);
        if (part.empty() || *end) return false;
        out.push_back(value);
    }
    return out.size() == count;
}

bool parsePoint(const std::string& text, Point& p) {
    std::vector<long> v;
    if (!parseInts(text, v, 2)) return false;
    p = Point{static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1])};
    return true;
}

bool parseRect(const std::string& text, Rect& r) {
    std::vector<long> v;
    if (!parseInts(text, v, 4)) return false;
    r = Rect{static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]), static_cast<int32_t>(v[2]),
             static_cast<int32_t>(v[3])};
    return true;
}

bool parseInt(const std::string& text, int32_t& value) {
    std::vector<long> v;
    if (!parseInts(text, v, 1)) return false;
    value = static_cast<int32_t>(v[0]);
    return true;
}

bool parseHex(const std::string& text, uint32_t& value) {
    char* end = nullptr;
    value = static_cast<uint32_t>(std::strtoul(text.c_str(), &end, 16));
    return !text.empty() && !*end;
}

// RRGGBB as people write colours, stored as 0x00BBGGRR.
bool parseColour(const std::string& text, uint32_t& colour) {
    uint32_t rgb = 0;
    if (text.size() != 6 || !parseHex(text, rgb)) return false;
    colour = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    return true;
}

// FACE,HEIGHT[,WEIGHT] into LOGFONTA bytes.
bool parseFont(const std::string& text, LogFontBytes& font) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos || comma == 0 || comma >= 32) return false;
    std::vector<long> numbers;
    const std::string rest = text.substr(comma + 1);
    if (!parseInts(rest, numbers, 1) && !(numbers.clear(), parseInts(rest, numbers, 2))) return false;
    font.fill(0);
    const auto height = static_cast<int32_t>(numbers[0]);
    const int32_t weight = numbers.size() > 1 ? static_cast<int32_t>(numbers[1]) : 400;
    std::memcpy(font.data(), &height, 4);       // lfHeight
    std::memcpy(font.data() + 16, &weight, 4);  // lfWeight
    std::memcpy(font.data() + 28, text.data(), comma);  // lfFaceName
    return true;
}

bool readPicture(const std::string& path, Picture& picture) {
    std::string error;
    return readBmpFile(path, picture, error);
}

bool applyValue(CaptionRecord& r, const std::string& key, const std::string& value) {
    ObjectHeader& h = r.header;
    int32_t number = 0;
    if (key == "id") return parseInt(value, h.objectId);
    if (key == "first") return parseInt(value, h.firstFrame);
    if (key == "frames") return parseInt(value, h.frameCount);
    if (key == "body") return parseRect(value, h.bodyRect);
    if (key == "bounds") return parseRect(value, h.boundsRect);
    if (key == "text") return r.text = value, true;
    if (key == "line") return parseColour(value, h.lineColour);
    if (key == "fill") return parseColour(value, h.fillColour);
    if (key == "text-colour") return parseColour(value, h.textColour);
    if (key == "width") return parseInt(value, h.lineWidth);
    if (key == "start") return parsePoint(value, r.arrow.start);
    if (key == "end") return parsePoint(value, r.arrow.end);
    if (key == "style" && parseInt(value, number)) return r.arrow.arrowStyle = static_cast<uint32_t>(number), true;
    if (key == "corner") return parsePoint(value, r.cornerSize);
    if (key == "tail") return parsePoint(value, r.balloon.tailTip);
    if (key == "tail-base") {
        std::vector<long> v;
        if (!parseInts(value, v, 4)) return false;
        r.balloon.tailBaseA = Point{static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1])};
        r.balloon.tailBaseB = Point{static_cast<int32_t>(v[2]), static_cast<int32_t>(v[3])};
        return true;
    }
    if (key == "title") return r.title.title = value, true;
    if (key == "title-bar") return parseRect(value, r.title.titleBar);
    if (key == "title-colour") return parseColour(value, r.title.titleColour);
    if (key == "body-text") return parseRect(value, r.title.bodyTextRect);
    if (key == "font") return parseFont(value, h.font);
    if (key == "title-font") return parseFont(value, r.title.titleFont);
    if (key == "depth") {
        Point depth;
        if (!parsePoint(value, depth)) return false;
        h.depthX = depth.x, h.depthY = depth.y, h.depthOn = 1;
        return true;
    }
    if (key == "depth-corner") return parseInt(value, h.depthCorner);
    if (key == "shadow") {
        Point shadow;
        if (!parsePoint(value, shadow)) return false;
        h.shadowX = shadow.x, h.shadowY = shadow.y, h.shadowOn = 1;
        return true;
    }
    if (key == "shadow-colour") return parseColour(value, h.shadowRgb);
    if (key == "picture" || key == "icon") {
        Picture picture;
        if (!readPicture(value, picture)) return false;
        if (key == "icon" && (picture.width != 32 || picture.height != 32)) return false;
        const bool natural = r.picture.actualSize != 0;
        r.picture = key == "icon" ? iconPicture(picture, 0xFF00FF) : bitmapPicture(picture);
        r.picture.actualSize = natural;
        return true;
    }
    if (key == "mask") {
        Picture mask, image;
        if (r.picture.pictureType != 1 || !readPicture(value, mask)) return false;
        const bool natural = r.picture.actualSize != 0;
        image.width = static_cast<int32_t>(r.picture.naturalWidth);
        image.height = static_cast<int32_t>(r.picture.naturalHeight);
        if (mask.width != image.width || mask.height != image.height) return false;
        PictureTail withMask = bitmapPicture(Picture(1, 1), &mask);
        r.picture.hasMask = 1;
        r.picture.imageMask = withMask.imageMask;
        r.picture.imageMaskDib = withMask.imageMaskDib;
        r.picture.actualSize = natural;
        return true;
    }
    if (key == "actual-size" && parseInt(value, number)) return r.picture.actualSize = number != 0, true;
    if (key == "events") return parseHex(value, reinterpret_cast<uint32_t&>(r.hotspot.eventMask));
    if (key == "modifiers") return parseInt(value, r.hotspot.modifiers);
    if (key == "cursor") return parseInt(value, r.hotspot.cursor);
    if (key == "key" && parseInt(value, number)) return r.hotspot.key = static_cast<uint16_t>(number), true;
    if (key == "partner") return parseInt(value, r.hotspot.partnerId);
    if (key == "label") return r.hotspot.label = value, true;
    if (key == "sound-name") {
        r.hotspot.sound.hasSound = 1;
        r.hotspot.sound.name = value;
        r.sound.name = value;
        return true;
    }
    return false;
}

// What a new object of a kind looks like before its line is applied.
CaptionRecord defaultsFor(uint32_t kind) {
    CaptionRecord r;
    r.header.kind = kind;
    if (kind <= kArrowLine) r.header.lineWidth = 2;
    if (kind == kRoundCaption || kind == kRoundBalloon) r.cornerSize = Point{50, 50};
    if (kind >= kBoxBalloon && kind <= kEllipseBalloon) r.balloon.tailMode = 5;
    if (kind == kTitledCaption) r.title.titleColour = 0xFFFFFF;
    if (kind == kImageCaption) r.picture.pictureType = 2;  // none until one is given
    return r;
}

// What the line left out and the body decides: a balloon's tail from the body's
// centre, a titled box's bar along its top and its text below.
void completeFromBody(CaptionRecord& r, const std::map<std::string, bool>& given) {
    const Rect& body = r.header.bodyRect;
    const Point centre{static_cast<int32_t>((int64_t{body.left} + body.right) / 2),
                       static_cast<int32_t>((int64_t{body.top} + body.bottom) / 2)};
    if (r.kind() >= kBoxBalloon && r.kind() <= kEllipseBalloon) {
        r.balloon.tailRoot = centre;
        if (!given.count("tail")) r.balloon.tailTip = Point{centre.x - 20, centre.y};
        if (!given.count("tail-base")) {
            r.balloon.tailBaseA = Point{centre.x, body.top};
            r.balloon.tailBaseB = Point{centre.x, body.bottom};
        }
    }
    if (r.kind() == kTitledCaption) {
        const int32_t barBottom = body.top + std::min<int32_t>(24, body.height() / 2);
        if (!given.count("title-bar")) r.title.titleBar = Rect{body.left, body.top, body.right, barBottom};
        if (!given.count("body-text")) r.title.bodyTextRect = Rect{body.left, r.title.titleBar.bottom, body.right, body.bottom};
    }
}

}  // namespace

Rect paintedBounds(const CaptionRecord& record) {
    const ObjectHeader& h = record.header;
    if (record.kind() == kArrowLine) {
        const Point& s = record.arrow.start;
        const Point& e = record.arrow.end;
        const int32_t reach = 2 * h.lineWidth + 15;
        return Rect{std::min(s.x, e.x) - reach, std::min(s.y, e.y) - reach, std::max(s.x, e.x) + reach,
                    std::max(s.y, e.y) + reach};
    }
    const Rect& b = h.bodyRect;
    Rect r{std::min(b.left, b.right), std::min(b.top, b.bottom), std::max(b.left, b.right),
           std::max(b.top, b.bottom)};
    if (record.kind() < kBoxCaption || record.kind() > kEllipseBalloon) return r;
    auto include = [&](Point p) {
        r.left = std::min(r.left, p.x), r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x + 1), r.bottom = std::max(r.bottom, p.y + 1);
    };
    include(Point{r.right, r.bottom});  // curved bodies reach their right and bottom
    if (record.kind() >= kBoxBalloon)
        for (const Point& p : tailTriangle(record.balloon)) include(p);
    if (h.depthOn) {
        const bool rectangular = record.kind() == kBoxCaption || record.kind() == kTitledCaption ||
                                 record.kind() == kBoxBalloon;
        const Point d = forcedDepth(h.depthCorner, h.depthX, h.depthY, rectangular);
        const Rect shifted = adjusted(b, d.x, d.y, d.x, d.y);
        include(Point{shifted.left, shifted.top});
        include(Point{shifted.right, shifted.bottom});
    }
    if (h.shadowOn) {
        const Rect shadow = adjusted(r, h.shadowX, h.shadowY, h.shadowX, h.shadowY);
        include(Point{shadow.left, shadow.top});
        include(Point{shadow.right - 1, shadow.bottom - 1});
    }
    return r;
}

bool parseObjectDescription(const std::string& text, std::vector<CaptionRecord>& records, std::string& error) {
    std::stringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        std::vector<std::string> words;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!splitWords(line, words)) {
            error = where + "a quote is not closed";
            return false;
        }
        uint32_t kind = 0;
        auto named = kindNames().find(words[0]);
        int32_t numbered = 0;
        if (named != kindNames().end()) {
            kind = named->second;
        } else if (parseInt(words[0], numbered) && numbered >= 0 && numbered <= kLargestWrittenKind) {
            kind = static_cast<uint32_t>(numbered);
        } else {
            error = where + "unknown kind " + words[0];
            return false;
        }
        CaptionRecord record = defaultsFor(kind);
        std::map<std::string, bool> given;
        for (size_t i = 1; i < words.size(); ++i) {
            const size_t equals = words[i].find('=');
            const std::string key = words[i].substr(0, equals);
            const std::string value = equals == std::string::npos ? std::string() : words[i].substr(equals + 1);
            if (equals == std::string::npos || !applyValue(record, key, value)) {
                error = where + "cannot use " + words[i];
                return false;
            }
            given[key] = true;
        }
        completeFromBody(record, given);
        if (kind == kArrowLine) {
            ArrowTail& arrow = record.arrow;
            const Point& s = arrow.start;
            const Point& e = arrow.end;
            record.header.bodyRect = Rect{std::min(s.x, e.x), std::min(s.y, e.y), std::max(s.x, e.x), std::max(s.y, e.y)};
            const ArrowLayout layout = layOutArrow(s, e, record.header.lineWidth, arrow.arrowStyle);
            if (layout.headAtEnd) {
                arrow.headLeft = layout.endHead.left;
                arrow.headRight = layout.endHead.right;
                arrow.headTip = layout.endHead.tip;
            }
        }
        if (!given.count("bounds")) record.header.boundsRect = paintedBounds(record);
        if (record.header.textRect == Rect()) record.header.textRect = record.header.bodyRect;
        const Rect& body = record.header.bodyRect;
        record.tailOffset = Point{wrappingDifference(record.balloon.tailTip.x, body.left),
                                  wrappingDifference(record.balloon.tailTip.y, body.top)};
        records.push_back(std::move(record));
    }
    return true;
}

}  // namespace quillet

namespace quillet {

PictureTail bitmapPicture(const Picture& image, const Picture* mask) {
    PictureTail tail;
    tail.pictureType = 1;
    const std::string dib = packedDib(image);
    tail.image = compressedDib(dib);
    tail.imageDib = bytesOf(dib);
    if (mask) {
        const std::string maskDib = packedDib(*mask);
        tail.hasMask = 1;
        tail.imageMask = compressedDib(maskDib);
        tail.imageMaskDib = bytesOf(maskDib);
    }
    tail.naturalWidth = static_cast<uint32_t>(image.width);
    tail.naturalHeight = static_cast<uint32_t>(image.height);
    return tail;
}

PictureTail iconPicture(const Picture& image, uint32_t keyColour) {
    PictureTail tail;
    tail.pictureType = 0;
    const uint32_t flagAndHotSpot[3] = {1, 16, 16};
    std::memcpy(tail.iconInfo.data(), flagAndHotSpot, sizeof flagAndHotSpot);
    // The mask is 1 where the icon is transparent; the colour there is black, so
    // that drawing leaves the screen as it was.
    std::vector<uint8_t> bits(static_cast<size_t>(image.width) * image.height);
    Picture colour = image;
    for (size_t i = 0; i < bits.size(); ++i)
        if (image.pixels[i] == keyColour) bits[i] = 1, colour.pixels[i] = 0;
    const std::string maskDib = packedMonochromeDib(image.width, image.height, bits);
    const std::string colourDib = packedDib(colour);
    tail.iconMask = compressedDib(maskDib);
    tail.iconMaskDib = bytesOf(maskDib);
    tail.iconColour = compressedDib(colourDib);
    tail.iconColourDib = bytesOf(colourDib);
    tail.naturalWidth = tail.naturalHeight = 32;
    return tail;
}

}  // namespace quillet
