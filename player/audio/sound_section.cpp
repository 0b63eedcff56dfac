#include "player/audio/sound_section.h"

#include "common/byte_reader.h"

namespace quillet {

SoundSectionHeader readSoundSectionHeader(MovieFile& file) {
    uint8_t bytes[SoundSectionHeader::kSize] = {};
    file.readBlock(bytes, sizeof bytes);
    ByteReader in(bytes, sizeof bytes);
    SoundSectionHeader h;
    for (int32_t* field : {&h.distNamingA, &h.distNamingB, &h.distSoundName, &h.narrationPresent,
                           &h.backgroundPresent, &h.effectsPresent, &h.narrationEmbedded,
                           &h.backgroundEmbedded, &h.effectsEmbedded, &h.speechCompressed,
                           &h.narrationVolume, &h.backgroundVolume})
        *field = in.i32();
    return h;
}

}  // namespace quillet
