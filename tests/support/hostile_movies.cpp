#include "tests/support/hostile_movies.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <utility>

#include "common/byte_reader.h"
#include "tests/support/tone_wav.h"
#include "tools/moviewriter/movie_writer.h"
#include "tools/moviewriter/object_description.h"

namespace quillet::testing {
namespace {

constexpr ScreenFormat kScreen{64, 48, 32};
constexpr uint32_t kBitmapInfoHeaderSize = 40;

// Bytes no stream compresses: a fixed sequence, so that every run writes the same movies.
std::string noise(size_t length, uint32_t seed) {
    std::string bytes(length, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (char& c : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::string deflate(const std::string& raw) {
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &length, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("compress2 failed");
    packed.resize(length);
    return packed;
}

void putU32(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<char>(value >> (8 * i));
}

// A sound record (its two lengths, then the stream) whose stream is stored whole but
// whose first length claims rawSize.
std::string claimingSoundRecord(const std::string& packed, uint32_t rawSize) {
    std::string record;
    ByteWriter out(record);
    out.u32(rawSize);
    out.u32(static_cast<uint32_t>(packed.size()));
    out.bytes(packed);
    return record;
}

// A WAV file of 8-bit noise: its stream stays as long as the file.
std::string noiseWav(uint32_t dataLength, uint32_t seed) {
    return pcmWavHeader(1, 22050, 8, dataLength) + noise(dataLength, seed);
}

// A picture that claims width x height but holds only the run-length code that ends
// it: converting it allocates by the claim.
std::string runLengthDib(int32_t width, int32_t height) {
    std::string dib;
    ByteWriter out(dib);
    out.u32(kBitmapInfoHeaderSize);
    out.i32(width);
    out.i32(height);
    out.u16(1);   // planes
    out.u16(8);   // bits per pixel
    out.u32(1);   // run-length coded, 8 bits
    out.u32(2);   // the coded bytes
    out.u32(0);
    out.u32(0);
    out.u32(2);   // colours used
    out.u32(0);
    out.u32(0x000000);
    out.u32(0xFFFFFF);
    out.bytes(std::string("\0\1", 2));  // end of picture
    return dib;
}

// A movie of the given version over the small screen, with no frames yet.
MovieWriter emptyMovie(int major, int minor, const std::string& name,
                       Rect area = {0, 0, kScreen.width, kScreen.height}) {
    MovieWriter writer;
    writer.setVersion(major, minor);
    MovieHeader::setText(writer.header().description, name);
    writer.setScreen(kScreen);
    writer.setRecordedArea(area);
    writer.setBandHeight(8);
    return writer;
}

// A short, plain movie of the given version: a few frames of a small screen, the
// recorded area the whole screen.
MovieWriter plainMovie(int major, int minor, const std::string& name, int frames = 3) {
    MovieWriter writer = emptyMovie(major, minor, name);
    for (int k = 0; k < frames; ++k) {
        Picture picture(kScreen.width, kScreen.height, 0x203040);
        picture.fillRect(4 + 6 * k, 8, 16 + 6 * k, 20, 0xE0D0C0);
        writer.addFrame(picture, FrameSpec(80));
    }
    return writer;
}

HostileMovie made(std::string name, std::string what, std::string bytes) {
    HostileMovie movie;
    movie.name = std::move(name);
    movie.what = std::move(what);
    movie.bytes = std::move(bytes);
    return movie;
}

ObjectHeader objectHeader(uint32_t kind, int32_t id, int32_t firstFrame, int32_t frameCount) {
    ObjectHeader header;
    header.kind = kind;
    header.objectId = id;
    header.firstFrame = firstFrame;
    header.frameCount = frameCount;
    header.bodyRect = header.textRect = header.boundsRect = Rect{4, 4, 36, 28};
    return header;
}

CaptionRecord imageObject(int32_t id, const CompressedBlock& image) {
    CaptionRecord record;
    record.header = objectHeader(caption_kind::kImageCaption, id, 0, 2);
    record.picture = bitmapPicture(Picture(8, 8, 0x00FF00));
    record.picture.image = image;
    return record;
}

// The movie with its screen header changed as a crafted file would have it: a header
// size that wraps the offset of the pixels to 0 at 8 bits per pixel.
std::string withWrappingScreenHeader(const MovieWriter& writer) {
    std::string movie = writer.build();
    const std::string stream = writer.frameStream();
    const size_t streamAt = movie.size() - stream.size();
    std::string pattern;
    ByteWriter out(pattern);
    out.u32(kBitmapInfoHeaderSize);
    out.i32(kScreen.width);
    out.i32(kScreen.height);
    const size_t headerAt = movie.find(pattern, streamAt);
    if (headerAt == std::string::npos) throw std::logic_error("no screen header in the frame stream");
    putU32(movie, headerAt, 0xFFFFFC00u);
    movie[headerAt + 14] = 8;
    movie[headerAt + 15] = 0;
    return movie;
}

HostileMovie screenHeaderWraps(int major, int minor, const std::string& name) {
    return made(name,
            "version " + std::to_string(major) + "." + std::to_string(minor) +
                ": the screen header's size is 0xFFFFFC00 at 8 bits per pixel",
            withWrappingScreenHeader(plainMovie(major, minor, name)));
}

HostileMovie soundClaims2GiB() {
    MovieWriter writer = plainMovie(3, 0, "sound_claims_2gib");
    StoredSounds& sounds = writer.sounds();
    sounds.header.narrationPresent = sounds.header.narrationEmbedded = 1;
    // Enough stored bytes that the claim passes the ratio deflate can reach.
    sounds.narration = claimingSoundRecord(noise(2100000, 1), 0x7FFFFFF0u);
    return made("sound_claims_2gib", "a narration of 2.1 MB of bytes that are no stream claims 0x7FFFFFF0 bytes",
            writer.build());
}

HostileMovie soundClaims200MB() {
    MovieWriter writer = plainMovie(3, 0, "sound_claims_200mb");
    StoredSounds& sounds = writer.sounds();
    sounds.header.narrationPresent = sounds.header.narrationEmbedded = 1;
    sounds.narration = claimingSoundRecord(deflate(noiseWav(256 * 1024, 2)), 200000000u);
    return made("sound_claims_200mb", "a valid narration stream of 256 KB claims 200,000,000 bytes", writer.build());
}

HostileMovie imageClaims200MB() {
    MovieWriter writer = plainMovie(3, 0, "image_claims_200mb");
    writer.addObject(imageObject(1, CompressedBlock{200000000u, deflate(noise(256 * 1024, 3))}));
    return made("image_claims_200mb", "an image object's valid 256 KB stream claims 200,000,000 bytes", writer.build());
}

HostileMovie imagesClaim512MiB() {
    MovieWriter writer = plainMovie(3, 0, "images_claim_512mib");
    for (int32_t id = 1; id <= 3; ++id) {
        // A stream that yields 560 KB and then fails its checksum.
        std::string packed = deflate(noise(560 * 1024, 10 + static_cast<uint32_t>(id)));
        for (size_t i = packed.size() - 4; i < packed.size(); ++i) packed[i] = static_cast<char>(~packed[i]);
        writer.addObject(imageObject(id, CompressedBlock{512u << 20, packed}));
    }
    return made("images_claim_512mib", "three image streams claim 512 MiB each and fail after 560 KB", writer.build());
}

HostileMovie emptyCursorShapes() {
    MovieWriter writer = plainMovie(1, 8, "empty_cursor_shapes");
    for (uint32_t id = 1; id <= 200000; ++id) writer.addCursorShape(id, "", "");
    return made("empty_cursor_shapes", "version 1.8: 200,000 empty cursor shapes", writer.build());
}

HostileMovie logoAtInt32Edge() {
    // The logo's place is the area's top plus an offset: past INT32_MAX.
    MovieWriter writer = emptyMovie(3, 0, "logo_at_int32_edge", {0, INT32_MAX - 2, 40, INT32_MAX});
    writer.setLogo(LogoRecord(), packedDib(Picture(5, 3, 0xFFFFFF)));
    for (int k = 0; k < 3; ++k) writer.addFrame(Picture(kScreen.width, kScreen.height, 0x102030u * (k + 1)), FrameSpec(80));
    return made("logo_at_int32_edge", "the recorded area's top is INT32_MAX - 2 with a logo at the top left",
            writer.build());
}

HostileMovie narration10Bytes() {
    MovieWriter writer = plainMovie(3, 0, "narration_10_bytes", 6);
    StoredSounds& sounds = writer.sounds();
    sounds.header.narrationPresent = sounds.header.narrationEmbedded = 1;
    sounds.narration = zlibSoundRecord(pcmWavHeader(2, 22050, 16, 10) + std::string(10, '\0'));
    return made("narration_10_bytes", "a narration of 10 data bytes (0 ms) that never starts", writer.build());
}

HostileMovie effectCounterHuge() {
    MovieWriter writer = plainMovie(3, 0, "effect_counter_huge");
    writer.objects().effectCounter = 0xFFFFFFFEu;
    std::string error;
    parseObjectDescription("rect id=1 first=0 frames=2 body=4,4,40,30 line=ff0000 width=2\n",
                           writer.objects().objects, error);
    return made("effect_counter_huge", "the object section's effect counter is 0xFFFFFFFE", writer.build());
}

HostileMovie manyCursorShapes() {
    MovieWriter writer = plainMovie(1, 8, "cursor_shapes_40000");
    const std::string colour = packedDib(Picture(1, 1, 0x000000));
    const std::string mask = packedMonochromeDib(1, 1, {0});
    for (uint32_t id = 1; id <= 40000; ++id) writer.addCursorShape(id, colour, mask);
    return made("cursor_shapes_40000", "version 1.8: 40,000 cursor shapes of 1 x 1 pixel", writer.build());
}

HostileMovie runLengthPicturesHuge() {
    MovieWriter writer = emptyMovie(3, 0, "rle_pictures_huge");
    const std::string huge = runLengthDib(30000, 30000);
    writer.addCursorShape(1, huge, huge);
    writer.setLogo(LogoRecord(), huge);
    FrameSpec spec(80);
    spec.cursorId = 1;
    spec.cursorX = 10;
    spec.cursorY = 10;
    for (int k = 0; k < 3; ++k) writer.addFrame(Picture(kScreen.width, kScreen.height, 0x405060), spec);
    return made("rle_pictures_huge", "cursor and logo pictures of a few bytes claim 30000 x 30000 pixels (RLE8)",
            writer.build());
}

HostileMovie soundObjectsNameAFile() {
    MovieWriter writer = plainMovie(1, 8, "sound_objects_victim");
    const std::string wav = toneWav(8000, 0.2, 440);
    int32_t id = 0;
    for (const char* name : {"victim.txt", "victim.txt", "CON"}) {
        CaptionRecord record;
        record.header = objectHeader(caption_kind::kSoundCaption, ++id, 0, 2);
        record.sound.name = name;
        record.sound.embedded = 1;
        record.sound.sound = CompressedBlock{static_cast<uint32_t>(wav.size()), deflate(wav)};
        writer.addObject(record);
    }
    HostileMovie movie = made("sound_objects_victim",
                       "version 1.8: two sound objects named victim.txt and one named CON", writer.build());
    movie.plantedFile = "victim.txt";
    return movie;
}

HostileMovie damagedImages() {
    MovieWriter writer = plainMovie(3, 0, "damaged_images_2000");
    for (int32_t id = 1; id <= 2000; ++id)
        writer.addObject(imageObject(id, CompressedBlock{4096, noise(16, 100 + static_cast<uint32_t>(id))}));
    return made("damaged_images_2000", "2,000 image objects whose streams do not inflate", writer.build());
}

HostileMovie hotspotSoundsMissing() {
    MovieWriter writer = plainMovie(3, 0, "hotspot_sounds_missing");
    writer.objects().soundsSeparate = 1;
    // Their spans begin after the last frame: the sounds are looked for when the
    // objects are read, and the run never holds, so it ends without a viewer.
    for (int32_t id = 1; id <= 200; ++id) {
        CaptionRecord record;
        record.header = objectHeader(caption_kind::kHotspotCaption, id, 100, 1);
        record.hotspot.sound.hasSound = 1;
        record.hotspot.sound.name = "missing_" + std::to_string(id) + ".wav";
        writer.addObject(record);
    }
    return made("hotspot_sounds_missing", "200 hotspots name sound files beside the movie that do not exist",
            writer.build());
}

HostileMovie objectKind13() {
    MovieWriter writer = plainMovie(3, 0, "object_kind_13");
    std::string error;
    parseObjectDescription("rect id=1 first=0 frames=2 body=4,4,40,30\n13 id=2\n", writer.objects().objects, error);
    HostileMovie movie = made("object_kind_13", "an object of kind 13, whose record carries no length", writer.build());
    movie.refused = true;
    return movie;
}

HostileMovie narrationByteRateDiffers() {
    MovieWriter writer = plainMovie(3, 0, "narration_byte_rate", 6);
    std::string wav = toneWav(8000, 0.4, 440);
    putU32(wav, 28, 12345);      // byte rate, not 16000
    wav[32] = 7;                 // block alignment, not 2
    wav[33] = 0;
    StoredSounds& sounds = writer.sounds();
    sounds.header.narrationPresent = sounds.header.narrationEmbedded = 1;
    sounds.narration = zlibSoundRecord(wav);
    return made("narration_byte_rate", "a narration WAV whose stored byte rate and block alignment are wrong",
            writer.build());
}

}  // namespace

std::vector<HostileMovie> hostileMovies() {
    return {
        screenHeaderWraps(3, 0, "screen_header_wraps"),
        screenHeaderWraps(1, 1, "screen_header_wraps_1_1"),
        soundClaims2GiB(),
        soundClaims200MB(),
        imageClaims200MB(),
        imagesClaim512MiB(),
        emptyCursorShapes(),
        logoAtInt32Edge(),
        narration10Bytes(),
        effectCounterHuge(),
        manyCursorShapes(),
        runLengthPicturesHuge(),
        soundObjectsNameAFile(),
        damagedImages(),
        hotspotSoundsMissing(),
        objectKind13(),
        narrationByteRateDiffers(),
    };
}

}  // namespace quillet::testing
