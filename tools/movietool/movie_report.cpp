#include "tools/movietool/movie_report.h"

#include "common/json_writer.h"
#include "player/container/frame_data.h"
#include "player/container/frame_time.h"
#include "player/container/movie_container.h"
#include "player/container/movie_document.h"
#include "tools/movietool/movie_locate.h"

namespace quillet {
namespace {

void writeHeader(JsonWriter& json, const MovieHeader& header) {
    json.value("signature", header.signatureText());
    json.value("createdBy", header.createdByText());
    json.value("date", header.dateText());
    json.value("description", header.descriptionText());
    json.value("versionMajor", header.versionMajor);
    json.value("versionMinor", header.versionMinor);
}

void writeRect(JsonWriter& json, const char* key, const Rect& r) {
    json.beginObject(key);
    json.value("left", r.left);
    json.value("top", r.top);
    json.value("right", r.right);
    json.value("bottom", r.bottom);
    json.endObject();
}

void writeMovieInfo(JsonWriter& json, const FrameData& frames) {
    const MovieInfo& info = frames.info();
    json.beginObject("MovieInfo");
    json.value("durationSec", info.durationSec);
    json.value("framesPerSecond", info.framesPerSecond);
    json.value("frameCount", frames.frameCount());
    json.value("dibSize", info.dibSize);
    writeRect(json, "recordedArea", info.recordedArea);
    writeRect(json, "currentArea", info.currentArea);
    json.value("screenWidth", info.screenWidth);
    json.value("screenHeight", info.screenHeight);
    json.value("bitsPerPixel", info.bitsPerPixel);
    json.value("logoPresent", info.logoPresent);
    json.endObject();
}

void writeFrames(JsonWriter& json, const FrameData& data) {
    const FrameList& frames = data.frames();
    json.beginArray("frames");
    int64_t time = 0;
    for (size_t i = 0; i < static_cast<size_t>(data.frameCount()); ++i) {
        const MovieFrame& frame = frames[i];
        json.beginObject();
        json.value("index", static_cast<int64_t>(i));
        json.value("timeMs", time);
        json.value("delayMs", frame.delayMs);
        json.value("holdMs", frame.holdMs);
        json.value("bands", static_cast<int64_t>(frame.bands.size()));
        uint64_t bandBytes = 0;
        for (const FrameBand& band : frame.bands) bandBytes += band.compressedSize;
        json.value("bandBytes", bandBytes);
        json.value("standardCursor", frame.standardCursor);
        json.value("cursorId", frame.cursorId);
        json.value("cursorX", frame.cursorX);
        json.value("cursorY", frame.cursorY);
        json.value("inputMessage", frame.inputMessage);
        json.value("inputWParam", frame.inputWParam);
        json.value("stopMark", frame.stopMark);
        json.endObject();
        time += frame.delayMs;
    }
    json.endArray();
}

// Reads the frame stream of a current movie whose sections before it are empty.
void writeFrameStream(JsonWriter& json, MovieFile& file, const MovieLocation& location,
                      bool withFrames) {
    SectionsBeforeFrames sections = readSectionsBeforeFrames(file);
    json.value("objectCount", sections.objects.objectCount);
    json.value("soundsPresent", sections.sounds.anySound());
    if (!sections.empty()) return;

    PackedDibFactory bitmaps;
    FrameData frames(bitmaps);
    frames.LoadFrameStream(file, location.movieEnd);

    writeMovieInfo(json, frames);
    json.value("totalLength", totalLength(frames.frames()));
    json.value("cursorShapes", static_cast<int64_t>(frames.cursorShapes().size()));
    if (frames.hasLogo() || frames.info().logoPresent) {
        json.beginObject("logo");
        json.value("corner", frames.logoRecord().corner);
        json.value("linkText", frames.logoRecord().link());
        json.value("mailText", frames.logoRecord().mail());
        json.endObject();
    }
    if (withFrames) writeFrames(json, frames);
}

}  // namespace

bool describeMovie(MovieFile& file, bool withFrames, std::string& report, std::string& error) {
    MovieLocation location;
    MovieHeader header;
    bool appended = false;
    if (!locateMovie(file, location, header, appended)) {
        error = kDamagedMovieText;
        return false;
    }

    const double version = header.version();
    JsonWriter json;
    json.beginObject();
    json.value("appended", appended);
    json.value("movieOffset", location.movieOffset);
    json.value("movieBytes", location.movieEnd - location.movieOffset);
    writeHeader(json, header);
    json.value("version", version);
    json.value("versionText",
               std::to_string(header.versionMajor) + "." + std::to_string(header.versionMinor));
    json.value("newerThanPlayer", version > ProgramVersion());

    json.beginObject("headerCopy");
    bool present = version >= kFirstVersionWithHeaderCopy;
    json.value("present", present);
    MovieHeader copy = header;
    if (present) {
        HeaderCopyResult result = readHeaderCopy(file, location.movieEnd, copy);
        json.value("storedLength", result.storedLength);
        json.value("fits", result.fits);
        json.value("inflated", result.inflated);
        json.value("matchesHeader", result.inflated && copy == header);
        if (result.inflated && !(copy == header)) {
            json.beginObject("fields");
            writeHeader(json, copy);
            json.endObject();
        }
    }
    json.endObject();
    if (version == ProgramVersion()) writeFrameStream(json, file, location, withFrames);
    json.endObject();
    report = json.text();
    return true;
}

}  // namespace quillet
