#include "tools/movietool/movie_report.h"

#include "common/json_writer.h"
#include "player/container/frame_data.h"
#include "player/container/frame_time.h"
#include "player/container/movie_container.h"
#include "player/movie/movie_document.h"
#include "tools/movietool/tool_movie.h"

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
        json.value("groupFirst", frame.groupFirst);
        json.endObject();
        time += frame.delayMs;
    }
    json.endArray();
}

void writePoint(JsonWriter& json, const char* key, const Point& p) {
    json.beginObject(key);
    json.value("x", p.x);
    json.value("y", p.y);
    json.endObject();
}

void writeBlockSizes(JsonWriter& json, const char* key, const CompressedBlock& block) {
    json.beginObject(key);
    json.value("rawSize", block.rawSize);
    json.value("packedSize", static_cast<uint64_t>(block.packed.size()));
    json.endObject();
}

void writeKindFields(JsonWriter& json, const CaptionRecord& r) {
    using namespace caption_kind;
    switch (r.kind()) {
    case kArrowLine:
        json.value("arrowStyle", r.arrow.arrowStyle);
        writePoint(json, "start", r.arrow.start);
        writePoint(json, "end", r.arrow.end);
        writePoint(json, "headLeft", r.arrow.headLeft);
        writePoint(json, "headRight", r.arrow.headRight);
        writePoint(json, "headTip", r.arrow.headTip);
        break;
    case kRoundCaption: writePoint(json, "cornerSize", r.cornerSize); break;
    case kTitledCaption:
        json.value("title", r.title.title);
        json.value("titleColour", r.title.titleColour);
        writeRect(json, "titleBar", r.title.titleBar);
        writeRect(json, "titleTextRect", r.title.titleTextRect);
        writeRect(json, "bodyTextRect", r.title.bodyTextRect);
        break;
    case kBoxBalloon:
    case kRoundBalloon:
    case kEllipseBalloon:
        json.value("tailMode", r.balloon.tailMode);
        writePoint(json, "tailRoot", r.balloon.tailRoot);
        writePoint(json, "tailTip", r.balloon.tailTip);
        writePoint(json, "tailBaseA", r.balloon.tailBaseA);
        writePoint(json, "tailBaseB", r.balloon.tailBaseB);
        writePoint(json, "tailOffset", r.tailOffset);
        if (r.kind() == kRoundBalloon) writePoint(json, "cornerSize", r.cornerSize);
        break;
    case kImageCaption:
        json.value("pictureType", r.picture.pictureType);
        if (r.picture.pictureType == 0) {
            writeBlockSizes(json, "iconMask", r.picture.iconMask);
            writeBlockSizes(json, "iconColour", r.picture.iconColour);
        } else if (r.picture.pictureType == 1) {
            writeBlockSizes(json, "image", r.picture.image);
            json.value("hasMask", r.picture.hasMask);
            if (r.picture.hasMask) writeBlockSizes(json, "imageMask", r.picture.imageMask);
            json.value("actualSize", r.picture.actualSize);
            json.value("reference", r.picture.reference);
            json.value("naturalWidth", r.picture.naturalWidth);
            json.value("naturalHeight", r.picture.naturalHeight);
        }
        break;
    case kSoundCaption:
        json.value("name", r.sound.name);
        json.value("embedded", r.sound.embedded);
        if (r.sound.embedded) writeBlockSizes(json, "sound", r.sound.sound);
        break;
    case kHotspotCaption:
        json.value("eventMask", r.hotspot.eventMask);
        json.value("modifiers", r.hotspot.modifiers);
        json.value("cursor", r.hotspot.cursor);
        json.value("key", static_cast<uint32_t>(r.hotspot.key));
        json.value("partner", r.hotspot.partnerId);
        json.value("label", r.hotspot.label);
        json.value("hasSound", r.hotspot.sound.hasSound);
        json.value("soundName", r.hotspot.sound.name);
        if (!r.hotspot.sound.sound.empty()) writeBlockSizes(json, "sound", r.hotspot.sound.sound);
        break;
    default: break;
    }
}

void writeObjects(JsonWriter& json, const ObjectSection& section) {
    json.beginObject("objectSection");
    json.value("soundsSeparate", section.soundsSeparate);
    json.value("cacheStored", section.cacheStored);
    json.value("effectCounter", section.effectCounter);
    json.value("stoppedEarly", section.stoppedEarly);
    json.beginArray("objects");
    for (const CaptionRecord& r : section.objects) {
        const ObjectHeader& h = r.header;
        json.beginObject();
        json.value("kind", h.kind);
        json.value("objectId", h.objectId);
        json.value("firstFrame", h.firstFrame);
        json.value("frameCount", h.frameCount);
        writeRect(json, "bodyRect", h.bodyRect);
        writeRect(json, "boundsRect", h.boundsRect);
        json.value("text", r.text);
        json.value("lineColour", h.lineColour);
        json.value("fillColour", h.fillColour);
        json.value("textColour", h.textColour);
        json.value("lineWidth", h.lineWidth);
        writeKindFields(json, r);
        json.value("storedPicture", r.stored.present());
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

void writeSounds(JsonWriter& json, const SoundTrackSet& tracks) {
    const SoundSectionHeader& h = tracks.section();
    json.beginObject("soundSection");
    json.value("distNamingA", h.distNamingA);
    json.value("distNamingB", h.distNamingB);
    json.value("distSoundName", h.distSoundName);
    json.value("narrationPresent", h.narrationPresent);
    json.value("backgroundPresent", h.backgroundPresent);
    json.value("effectsPresent", h.effectsPresent);
    json.value("narrationEmbedded", h.narrationEmbedded);
    json.value("backgroundEmbedded", h.backgroundEmbedded);
    json.value("effectsEmbedded", h.effectsEmbedded);
    json.value("speechCompressed", h.speechCompressed);
    json.value("narrationVolume", h.narrationVolume);
    json.value("backgroundVolume", h.backgroundVolume);
    json.beginArray("records");
    for (const SoundRecordListing& record : tracks.records()) {
        json.beginObject();
        json.value("sound", record.what);
        json.value("form", record.speech ? "speech" : "zlib");
        json.value(record.speech ? "dataLength" : "uncompressedLength", record.rawSize);
        json.value(record.speech ? "frameBytes" : "compressedLength", record.storedSize);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

const char* soundFormName(SoundSectionForm form) {
    switch (form) {
    case SoundSectionForm::Below095: return "below 0.95";
    case SoundSectionForm::From095To14: return "0.95 to 1.4";
    case SoundSectionForm::From15To155: return "1.5 and 1.55";
    case SoundSectionForm::From16Below30: return "1.6 to below 3.0";
    case SoundSectionForm::Current: break;
    }
    return "current";
}

const char* logoFormName(LogoForm form) {
    static const char* const names[] = {"none", "L1", "L2", "L3", "L4", "L5", "current"};
    return names[static_cast<int>(form)];
}

// The readers the version table gives the movie's version.
void writeReaders(JsonWriter& json, const FormatReaders& readers) {
    json.beginObject("readers");
    json.value("objectForm", static_cast<int32_t>(readers.objects));
    json.value("soundForm", soundFormName(readers.sounds));
    json.value("frameGroup", "G" + std::to_string(static_cast<int>(readers.frames)));
    json.value("logoForm", logoFormName(readers.logo));
    json.value("frameReading", readers.reading == FrameReading::Background ? "background" : "foreground");
    json.endObject();
}

// Writes the sections of a movie that opening read: its objects and its sounds,
// then reads and writes its frames when the sounds were read.
void writeSections(JsonWriter& json, MovieFile& file, const OpenedMovie& movie, const SoundTrackSet& tracks,
                   bool soundsRead, bool withFrames) {
    writeReaders(json, movie.readers);
    json.value("objectCount", static_cast<uint64_t>(movie.objects.objects.size()));
    writeObjects(json, movie.objects);
    json.value("soundsPresent", tracks.section().anySound());
    writeSounds(json, tracks);
    if (!soundsRead) return;

    PackedDibFactory bitmaps;
    FrameData frames(bitmaps);
    readAllFrames(frames, file, movie);

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
    ToolMovie tool;
    const MovieOpenStatus status = tool.open(file);
    const OpenedMovie& movie = tool.movie();
    // The player refuses both: no movie, or one past whose unknown object nothing
    // can be found.
    if (status == MovieOpenStatus::NotAMovie || status == MovieOpenStatus::UnknownObjectKind) {
        error = openFailureText(status);
        return false;
    }

    const MovieHeader& header = movie.plainHeader;
    JsonWriter json;
    json.beginObject();
    json.value("appended", movie.appended);
    json.value("movieOffset", movie.location.movieOffset);
    json.value("movieBytes", movie.location.movieEnd - movie.location.movieOffset);
    writeHeader(json, header);
    json.value("version", movie.version);
    json.value("versionText",
               std::to_string(header.versionMajor) + "." + std::to_string(header.versionMinor));
    json.value("newerThanPlayer", status == MovieOpenStatus::Newer);

    json.beginObject("headerCopy");
    const bool present = movie.version >= kFirstVersionWithHeaderCopy;
    json.value("present", present);
    if (present) {
        const HeaderCopyResult& result = movie.headerCopy;
        json.value("storedLength", result.storedLength);
        json.value("fits", result.fits);
        json.value("inflated", result.inflated);
        json.value("matchesHeader", result.inflated && movie.header == header);
        if (result.inflated && !(movie.header == header)) {
            json.beginObject("fields");
            writeHeader(json, movie.header);
            json.endObject();
        }
    }
    json.endObject();
    if (status != MovieOpenStatus::Newer)
        writeSections(json, file, movie, tool.tracks(), status == MovieOpenStatus::Opened, withFrames);
    json.endObject();
    report = json.text();
    return true;
}

}  // namespace quillet
