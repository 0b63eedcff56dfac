#include "tools/movietool/export_captions.h"

#include <algorithm>
#include <cstdio>

namespace quillet {
namespace {

// The code page's characters 0x80 to 0x9F; 0 where it has none.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\n");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\n") - first + 1);
}

std::string timestamp(int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", static_cast<long long>(ms / 3600000),
                  static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
                  static_cast<long long>(ms % 1000));
    return text;
}

}  // namespace

std::string utf8FromMovieText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) break;
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') continue;
            out += '\n';
        } else if (c >= 0x80 && c < 0xA0) {
            if (kHighControls[c - 0x80]) appendUtf8(out, kHighControls[c - 0x80]);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

std::vector<Caption> captionsOf(const std::vector<CaptionRecord>& objects, const ExportTimeline& timeline) {
    std::vector<Caption> captions;
    for (const CaptionRecord& object : objects) {
        const uint32_t kind = object.kind();
        if (kind < caption_kind::kBoxCaption || kind > caption_kind::kEllipseBalloon) continue;
        std::string text = trimmed(utf8FromMovieText(object.text));
        if (kind == caption_kind::kTitledCaption) {
            const std::string title = trimmed(utf8FromMovieText(object.title.title));
            if (!title.empty()) text = text.empty() ? title : title + "\n" + text;
        }
        if (text.empty()) continue;
        const int64_t first = object.header.firstFrame;
        const int64_t last = first + std::max<int64_t>(object.header.frameCount, 1) - 1;
        Caption caption;
        bool seen = false;
        for (const ShownFrame& shown : timeline.frames) {
            if (shown.frame < first || shown.frame > last) continue;
            if (!seen) caption.startMs = shown.startMs;
            seen = true;
            caption.endMs = shown.startMs + shown.durationMs;
        }
        if (!seen || caption.endMs <= caption.startMs) continue;
        caption.text = std::move(text);
        captions.push_back(std::move(caption));
    }
    std::stable_sort(captions.begin(), captions.end(),
                     [](const Caption& a, const Caption& b) { return a.startMs < b.startMs; });
    return captions;
}

std::string webVtt(const std::vector<Caption>& captions) {
    std::string out = "WEBVTT\n";
    for (const Caption& caption : captions) {
        out += "\n" + timestamp(caption.startMs) + " --> " + timestamp(caption.endMs) + "\n";
        // A cue's text ends at an empty line, and "<" and "&" begin markup.
        bool lineEmpty = true;
        for (char c : caption.text) {
            if (c == '\n' && lineEmpty) continue;
            if (c == '&') out += "&amp;";
            else if (c == '<') out += "&lt;";
            else if (c == '>') out += "&gt;";
            else out += c;
            lineEmpty = c == '\n';
        }
        out += "\n";
    }
    return out;
}

}  // namespace quillet
