#include "tools/moviewriter/object_description.h"

#include "player/objects/arrow_geometry.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace quillet {
namespace {

using namespace caption_kind;

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
    if (key == "title") return r.title.title = value, true;
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
    return r;
}

}  // namespace

Rect paintedBounds(const CaptionRecord& record) {
    const ObjectHeader& h = record.header;
    if (record.kind() != kArrowLine) {
        Rect r = h.bodyRect;
        return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                    std::max(r.top, r.bottom)};
    }
    const Point& s = record.arrow.start;
    const Point& e = record.arrow.end;
    const int32_t reach = 2 * h.lineWidth + 15;
    return Rect{std::min(s.x, e.x) - reach, std::min(s.y, e.y) - reach, std::max(s.x, e.x) + reach,
                std::max(s.y, e.y) + reach};
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
        } else if (parseInt(words[0], numbered) && numbered >= 0 && numbered <= static_cast<int32_t>(kLast)) {
            kind = static_cast<uint32_t>(numbered);
        } else {
            error = where + "unknown kind " + words[0];
            return false;
        }
        CaptionRecord record = defaultsFor(kind);
        bool boundsGiven = false;
        for (size_t i = 1; i < words.size(); ++i) {
            const size_t equals = words[i].find('=');
            const std::string key = words[i].substr(0, equals);
            const std::string value = equals == std::string::npos ? std::string() : words[i].substr(equals + 1);
            if (equals == std::string::npos || !applyValue(record, key, value)) {
                error = where + "cannot use " + words[i];
                return false;
            }
            boundsGiven |= key == "bounds";
        }
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
        if (!boundsGiven) record.header.boundsRect = paintedBounds(record);
        if (record.header.textRect == Rect()) record.header.textRect = record.header.bodyRect;
        const Rect& body = record.header.bodyRect;
        record.tailOffset = Point{wrappingDifference(record.balloon.tailTip.x, body.left),
                                  wrappingDifference(record.balloon.tailTip.y, body.top)};
        records.push_back(std::move(record));
    }
    return true;
}

}  // namespace quillet
