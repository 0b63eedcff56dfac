#pragma once
// Captions of an export: one per text object, on the video's clock, written as
// WebVTT and handed to the video's caption track.

#include <cstdint>
#include <string>
#include <vector>

#include "player/objects/caption_record.h"
#include "tools/movietool/export_timeline.h"

namespace quillet {

struct Caption {
    int64_t startMs = 0;
    int64_t endMs = 0;
    std::string text;  // UTF-8, lines separated by "\n"
};

// The movie's texts (object kinds 3 to 9; a titled box's title before its body),
// from the start of the first frame of the object's span the video shows to the
// end of the last, in start order. Objects whose frames the video never shows, and
// objects without text, have none.
std::vector<Caption> captionsOf(const std::vector<CaptionRecord>& objects, const ExportTimeline& timeline);

// The movie's 8-bit text (the recording machine's Western code page) in UTF-8,
// with line breaks as "\n".
std::string utf8FromMovieText(const std::string& text);

// A WebVTT document of the captions.
std::string webVtt(const std::vector<Caption>& captions);

}  // namespace quillet
