#include "player/objects/caption_record.h"

#include "common/byte_reader.h"

namespace quillet {

ObjectHeader ObjectHeader::decode(const uint8_t* bytes, size_t size) {
    ByteReader in(bytes, size);
    ObjectHeader h;
    h.kind = in.u32();
    h.depthCorner = in.i32();
    h.bodyRect = in.rect();
    h.textRect = in.rect();
    h.boundsRect = in.rect();
    h.depthX = in.i32();
    h.depthY = in.i32();
    h.depthOn = in.i32();
    in.skip(4);  // reserved
    h.lineWidth = in.i32();
    h.fillColour = in.u32();
    h.lineColour = in.u32();
    h.textColour = in.u32();
    in.bytes(h.font.data(), h.font.size());
    h.firstFrame = in.i32();
    h.frameCount = in.i32();
    h.objectId = in.i32();
    if (size >= kSize) {
        h.shadowAnchor = in.i32();
        h.shadowX = in.i32();
        h.shadowY = in.i32();
        h.shadowOn = in.i32();
        h.shadowRgb = in.u32();
    }
    return h;
}

std::string ObjectHeader::encode() const {
    std::string bytes;
    ByteWriter out(bytes);
    out.u32(kind);
    out.i32(depthCorner);
    out.rect(bodyRect);
    out.rect(textRect);
    out.rect(boundsRect);
    out.i32(depthX);
    out.i32(depthY);
    out.i32(depthOn);
    out.zeros(4);
    out.i32(lineWidth);
    out.u32(fillColour);
    out.u32(lineColour);
    out.u32(textColour);
    out.bytes(font.data(), font.size());
    out.i32(firstFrame);
    out.i32(frameCount);
    out.i32(objectId);
    out.i32(shadowAnchor);
    out.i32(shadowX);
    out.i32(shadowY);
    out.i32(shadowOn);
    out.u32(shadowRgb);
    return bytes;
}

}  // namespace quillet
