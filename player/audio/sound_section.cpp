#include "player/audio/sound_section.h"

#include "common/byte_reader.h"

namespace quillet {
namespace {

constexpr size_t kWordSize = 4;
// The current form's first three words (the "_Dist" names) came last; the forms
// before it store the other nine, or the first two or six of those.
constexpr size_t kNamingWords = 3;

size_t storedWords(SoundSectionForm form) {
    switch (form) {
    case SoundSectionForm::Below095: return 2;
    case SoundSectionForm::From095To14: return 6;
    case SoundSectionForm::From15To155: return 9;
    case SoundSectionForm::From16Below30:
    case SoundSectionForm::Current: break;
    }
    return SoundSectionHeader::kSize / kWordSize;
}

// The fields of the words a form stores, in file order.
template <typename Header, typename Visit>
void eachStoredField(Header& h, SoundSectionForm form, Visit visit) {
    const size_t words = storedWords(form);
    const size_t first = words == SoundSectionHeader::kSize / kWordSize ? 0 : kNamingWords;
    size_t index = 0;
    for (auto* field : {&h.distNamingA, &h.distNamingB, &h.distSoundName, &h.narrationPresent, &h.backgroundPresent,
                        &h.effectsPresent, &h.narrationEmbedded, &h.backgroundEmbedded, &h.effectsEmbedded,
                        &h.speechCompressed, &h.narrationVolume, &h.backgroundVolume}) {
        if (index >= first && index < first + words) visit(*field);
        ++index;
    }
}

}  // namespace

size_t SoundSectionHeader::storedSize(SoundSectionForm form) { return storedWords(form) * kWordSize; }

SoundSectionHeader SoundSectionHeader::decode(SoundSectionForm form, const uint8_t* bytes) {
    ByteReader in(bytes, storedSize(form));
    SoundSectionHeader h;
    eachStoredField(h, form, [&](int32_t& field) { field = in.i32(); });
    return h;
}

std::string SoundSectionHeader::encode(SoundSectionForm form) const {
    std::string bytes;
    ByteWriter out(bytes);
    eachStoredField(*this, form, [&](const int32_t& field) { out.i32(field); });
    return bytes;
}

SoundSectionHeader SoundSectionHeader::decode(const uint8_t* bytes) { return decode(SoundSectionForm::Current, bytes); }

std::string SoundSectionHeader::encode() const { return encode(SoundSectionForm::Current); }

SoundSectionHeader readSoundSectionHeader(MovieFile& file) {
    uint8_t bytes[SoundSectionHeader::kSize] = {};
    file.readBlock(bytes, sizeof bytes);
    return SoundSectionHeader::decode(bytes);
}

}  // namespace quillet
