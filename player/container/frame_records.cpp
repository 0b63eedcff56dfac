#include "player/container/frame_records.h"

#include "common/byte_reader.h"

namespace quillet {
namespace {

std::string fieldText(const std::array<char, LogoRecord::kTextSize>& field) {
    size_t length = 0;
    while (length < field.size() && field[length]) ++length;
    return std::string(field.data(), length);
}

}  // namespace

MovieInfo MovieInfo::decode(const uint8_t* bytes) {
    ByteReader in(bytes, kSize);
    MovieInfo info;
    info.durationSec = in.i32();
    info.framesPerSecond = in.i32();
    info.frameCount = in.i32();
    info.screenBuffer = in.u32();
    info.dibSize = in.i32();
    info.recordedArea = in.rect();
    info.currentArea = in.rect();
    info.screenWidth = in.i32();
    info.screenHeight = in.i32();
    info.bitsPerPixel = in.i32();
    for (int32_t& word : info.reserved) word = in.i32();
    info.logoPresent = in.i32();
    return info;
}

std::string MovieInfo::encode() const {
    std::string bytes;
    ByteWriter out(bytes);
    out.i32(durationSec);
    out.i32(framesPerSecond);
    out.i32(frameCount);
    out.u32(screenBuffer);
    out.i32(dibSize);
    out.rect(recordedArea);
    out.rect(currentArea);
    out.i32(screenWidth);
    out.i32(screenHeight);
    out.i32(bitsPerPixel);
    for (int32_t word : reserved) out.i32(word);
    out.i32(logoPresent);
    return bytes;
}

LogoRecord LogoRecord::decode(const uint8_t* bytes) {
    ByteReader in(bytes, kSize);
    LogoRecord logo;
    logo.corner = in.u32();
    in.bytes(logo.linkText.data(), logo.linkText.size());
    in.bytes(logo.mailText.data(), logo.mailText.size());
    return logo;
}

std::string LogoRecord::encode() const {
    std::string bytes;
    ByteWriter out(bytes);
    out.u32(corner);
    out.bytes(linkText.data(), linkText.size());
    out.bytes(mailText.data(), mailText.size());
    return bytes;
}

std::string LogoRecord::link() const { return fieldText(linkText); }
std::string LogoRecord::mail() const { return fieldText(mailText); }

FrameRecord FrameRecord::decode(const uint8_t* bytes) {
    ByteReader in(bytes, kSize);
    FrameRecord r;
    r.bandCount = in.i32();
    r.delayMs = in.i32();
    r.standardCursor = in.i32();
    r.cursorId = in.u32();
    r.cursorX = in.i32();
    r.cursorY = in.i32();
    r.inputMessage = in.u32();
    r.inputWParam = in.u32();
    r.holdMs = in.i32();
    r.stopMark = in.i32();
    return r;
}

std::string FrameRecord::encode() const {
    std::string bytes;
    ByteWriter out(bytes);
    out.i32(bandCount);
    out.i32(delayMs);
    out.i32(standardCursor);
    out.u32(cursorId);
    out.i32(cursorX);
    out.i32(cursorY);
    out.u32(inputMessage);
    out.u32(inputWParam);
    out.i32(holdMs);
    out.i32(stopMark);
    return bytes;
}

BandHeader BandHeader::decode(const uint8_t* bytes) {
    ByteReader in(bytes, kSize);
    BandHeader band;
    band.topRow = in.i32();
    band.compressedSize = in.u32();
    band.unpackedSize = in.u32();
    band.bandHeight = in.i32();
    return band;
}

std::string BandHeader::encode() const {
    std::string bytes;
    ByteWriter out(bytes);
    out.i32(topRow);
    out.u32(compressedSize);
    out.u32(unpackedSize);
    out.i32(bandHeight);
    return bytes;
}

}  // namespace quillet
