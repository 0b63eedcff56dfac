#pragma once
// The texts of the File Properties box, made from the movie's header, its frames
// and the size of the file it came from.

#include <cstdint>
#include <optional>
#include <string>

#include "common/geometry.h"
#include "player/container/movie_header.h"

namespace quillet {

// The format texts, as the string table holds them.
struct FilePropertiesFormats {
    std::string description;      // one %s
    std::string createdBy;        // one %s
    std::string date;             // one %s
    std::string recordedArea;     // four %d: left, top, right, bottom
    std::string fileSize;         // one %s: kilobytes with digit groups
    std::string fileLength;       // one %d: seconds
    std::string fileSizeUnknown;  // no fields
};

struct FilePropertiesTexts {
    std::string versionLine;
    std::string description;
    std::string createdBy;
    std::string date;
    std::string recordedArea;
    std::string fileSize;
    std::string fileLength;
};

struct MovieFacts {
    const MovieHeader& header;
    Rect recordedArea;
    int64_t lengthMs = 0;                // delays plus hold magnitudes of every frame
    std::optional<uint64_t> fileBytes;   // none when the movie's file is gone
};

FilePropertiesTexts filePropertiesTexts(const MovieFacts& movie, const FilePropertiesFormats& formats);

// "Tavrix" and the rest of a signature that begins with it, then " Final"; empty for
// any other signature.
std::string versionLine(const std::string& signature);
// Whole kilobytes of 1000 bytes, rounded down, with digit groups.
std::string fileSizeText(std::optional<uint64_t> fileBytes, const FilePropertiesFormats& formats);
// Whole seconds, rounded down; a length below zero (hostile delays) counts as none.
int64_t lengthSeconds(int64_t lengthMs);

}  // namespace quillet
