#include "player/objects/object_section.h"

#include "common/byte_reader.h"

namespace quillet {

ObjectSectionPrefix readObjectSectionPrefix(MovieFile& file) {
    uint8_t bytes[ObjectSectionPrefix::kSize] = {};
    file.readBlock(bytes, sizeof bytes);
    ByteReader in(bytes, sizeof bytes);
    ObjectSectionPrefix prefix;
    prefix.soundsSeparate = in.u32();
    prefix.cacheStored = in.u32();
    prefix.objectCount = in.u32();
    prefix.effectCounter = in.u32();
    return prefix;
}

}  // namespace quillet
