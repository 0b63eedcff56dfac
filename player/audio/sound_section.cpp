#include "player/audio/sound_section.h"

#include "common/byte_reader.h"

namespace quillet {
namespace {

template <typename Header, typename Visit>
void eachField(Header& h, Visit visit) {
    for (auto* field : {&h.distNamingA, &h.distNamingB, &h.distSoundName, &h.narrationPresent, &h.backgroundPresent,
                        &h.effectsPresent, &h.narrationEmbedded, &h.backgroundEmbedded, &h.effectsEmbedded,
                        &h.speechCompressed, &h.narrationVolume, &h.backgroundVolume})
        visit(*field);
}

}  // namespace

SoundSectionHeader SoundSectionHeader::decode(const uint8_t* bytes) {
    ByteReader in(bytes, kSize);
    SoundSectionHeader h;
    eachField(h, [&](int32_t& field) { field = in.i32(); });
    return h;
}

std::string SoundSectionHeader::encode() const {
    std::string bytes;
    ByteWriter out(bytes);
    eachField(*this, [&](const int32_t& field) { out.i32(field); });
    return bytes;
}

SoundSectionHeader readSoundSectionHeader(MovieFile& file) {
    uint8_t bytes[SoundSectionHeader::kSize] = {};
    file.readBlock(bytes, sizeof bytes);
    return SoundSectionHeader::decode(bytes);
}

}  // namespace quillet
