#include "player/container/record_forms.h"

#include "common/byte_reader.h"
#include "player/container/record_stream.h"

namespace quillet {
namespace {

// Fields of a frame record, each a 32-bit word.
enum class Field { BandCount, Delay, StandardCursor, CursorId, CursorX, CursorY, GroupFirst, Input, InputParam,
                   Hold, HoldMagnitude, HoldSign, StopMark };

// The entries of one of the constant lists below.
template <typename T>
struct Entries {
    const T* items;
    size_t count;
    const T* begin() const { return items; }
    const T* end() const { return items + count; }
};

template <typename T, size_t N>
constexpr Entries<T> entries(const T (&items)[N]) {
    return {items, N};
}

using FieldList = Entries<Field>;

using F = Field;
constexpr Field kR36a[] = {F::BandCount, F::Delay, F::StandardCursor, F::CursorId, F::CursorX, F::CursorY,
                           F::GroupFirst, F::Input, F::InputParam};
constexpr Field kR40a[] = {F::BandCount, F::Delay, F::StandardCursor, F::CursorId, F::CursorX, F::CursorY,
                           F::GroupFirst, F::Input, F::InputParam, F::Hold};
constexpr Field kR44[] = {F::BandCount, F::Delay, F::StandardCursor, F::CursorId, F::CursorX, F::CursorY,
                          F::GroupFirst, F::Input, F::InputParam, F::HoldMagnitude, F::HoldSign};
constexpr Field kR40b[] = {F::BandCount, F::Delay, F::StandardCursor, F::CursorId, F::CursorX, F::CursorY,
                           F::Input, F::InputParam, F::HoldMagnitude, F::HoldSign};
constexpr Field kR36b[] = {F::BandCount, F::Delay, F::StandardCursor, F::CursorId, F::CursorX, F::CursorY,
                           F::Input, F::InputParam, F::Hold};
constexpr Field kCurrentRecord[] = {F::BandCount, F::Delay, F::StandardCursor, F::CursorId, F::CursorX, F::CursorY,
                                    F::Input, F::InputParam, F::Hold, F::StopMark};

FieldList fieldsOf(FrameRecordForm form) {
    switch (form) {
    case FrameRecordForm::R36a: return entries(kR36a);
    case FrameRecordForm::R40a: return entries(kR40a);
    case FrameRecordForm::R44: return entries(kR44);
    case FrameRecordForm::R40b: return entries(kR40b);
    case FrameRecordForm::R36b: return entries(kR36b);
    case FrameRecordForm::Current: break;
    }
    return entries(kCurrentRecord);
}

// The word of a field that maps one to one; the hold's two words have none.
uint32_t* wordOf(Field field, StoredFrameRecord& s) {
    FrameRecord& r = s.record;
    auto word = [](auto& value) { return reinterpret_cast<uint32_t*>(&value); };
    switch (field) {
    case F::BandCount: return word(r.bandCount);
    case F::Delay: return word(r.delayMs);
    case F::StandardCursor: return word(r.standardCursor);
    case F::CursorId: return &r.cursorId;
    case F::CursorX: return word(r.cursorX);
    case F::CursorY: return word(r.cursorY);
    case F::GroupFirst: return word(s.groupFirst);
    case F::Input: return &r.inputMessage;
    case F::InputParam: return &r.inputWParam;
    case F::Hold: return word(r.holdMs);
    case F::StopMark: return word(r.stopMark);
    case F::HoldMagnitude:
    case F::HoldSign: break;
    }
    return nullptr;
}

// The 28-byte band header's words.
constexpr size_t kH28Size = 28;
constexpr size_t kLinkTextSize = LogoRecord::kTextSize;
constexpr size_t kLogoPaddingSize = 2;

// Parts of a logo, in file order per form.
enum class LogoPart { Corner, Picture, LinkText, MailText, Word, Padding };

using LogoParts = Entries<LogoPart>;

using P = LogoPart;
constexpr LogoPart kL1[] = {P::Picture};
constexpr LogoPart kL2[] = {P::Corner, P::Picture};
constexpr LogoPart kL3[] = {P::Corner, P::Picture, P::LinkText};
constexpr LogoPart kL4[] = {P::Corner, P::Picture, P::Word, P::LinkText};
constexpr LogoPart kL5[] = {P::Corner, P::LinkText, P::Padding, P::Picture};
constexpr LogoPart kCurrentLogo[] = {P::Corner, P::LinkText, P::MailText, P::Picture};

LogoParts partsOf(LogoForm form) {
    switch (form) {
    case LogoForm::None: return {nullptr, 0};
    case LogoForm::L1: return entries(kL1);
    case LogoForm::L2: return entries(kL2);
    case LogoForm::L3: return entries(kL3);
    case LogoForm::L4: return entries(kL4);
    case LogoForm::L5: return entries(kL5);
    case LogoForm::Current: break;
    }
    return entries(kCurrentLogo);
}

}  // namespace

size_t frameRecordSize(FrameRecordForm form) { return fieldsOf(form).count * RecordStream::kWordSize; }

StoredFrameRecord decodeFrameRecord(FrameRecordForm form, const uint8_t* bytes) {
    const FieldList fields = fieldsOf(form);
    ByteReader in(bytes, fields.count * RecordStream::kWordSize);
    StoredFrameRecord stored;
    uint32_t magnitude = 0, sign = 0;
    for (const Field field : fields) {
        const uint32_t value = in.u32();
        if (field == F::HoldMagnitude)
            magnitude = value;
        else if (field == F::HoldSign)
            sign = value;
        else
            *wordOf(field, stored) = value;
    }
    // Negated as an unsigned word, so that the most negative magnitude wraps.
    const bool split = form == FrameRecordForm::R44 || form == FrameRecordForm::R40b;
    if (split) stored.record.holdMs = static_cast<int32_t>(sign != 0 ? magnitude : 0u - magnitude);
    return stored;
}

std::string encodeFrameRecord(FrameRecordForm form, const StoredFrameRecord& stored) {
    const FieldList fields = fieldsOf(form);
    StoredFrameRecord copy = stored;
    const int32_t hold = stored.record.holdMs;
    std::string bytes;
    ByteWriter out(bytes);
    for (const Field field : fields) {
        switch (field) {
        case F::HoldMagnitude:
            out.u32(hold < 0 ? 0u - static_cast<uint32_t>(hold) : static_cast<uint32_t>(hold));
            break;
        case F::HoldSign: out.u32(hold < 0 ? 0 : 1); break;
        default: out.u32(*wordOf(field, copy)); break;
        }
    }
    return bytes;
}

size_t bandHeaderSize(BandHeaderForm form) { return form == BandHeaderForm::H28 ? kH28Size : BandHeader::kSize; }

StoredBandHeader decodeBandHeader(BandHeaderForm form, const uint8_t* bytes) {
    StoredBandHeader stored;
    if (form == BandHeaderForm::Current) {
        stored.header = BandHeader::decode(bytes);
        return stored;
    }
    ByteReader in(bytes, kH28Size);
    stored.present = in.i32() != 0;
    in.skip(8);  // two words nothing reads
    stored.header = BandHeader::decode(bytes + 12);
    return stored;
}

std::string encodeBandHeader(BandHeaderForm form, const StoredBandHeader& stored) {
    if (form == BandHeaderForm::Current) return stored.header.encode();
    std::string bytes;
    ByteWriter out(bytes);
    out.i32(stored.present ? 1 : 0);
    out.zeros(8);
    out.bytes(stored.header.encode());
    return bytes;
}

bool readLogo(BufferedReader& in, LogoForm form, LogoRecord& record, std::vector<uint8_t>& picture) {
    RecordStream stream(in);
    record = LogoRecord();
    picture.clear();
    for (const LogoPart part : partsOf(form)) {
        switch (part) {
        case P::Corner: record.corner = stream.u32(); break;
        case P::LinkText: stream.fixed(record.linkText.data(), kLinkTextSize); break;
        case P::MailText: stream.fixed(record.mailText.data(), kLinkTextSize); break;
        case P::Word: stream.u32(); break;
        case P::Padding: stream.skip(kLogoPaddingSize); break;
        case P::Picture: {
            const std::string bytes = stream.counted();
            picture.assign(bytes.begin(), bytes.end());
            break;
        }
        }
    }
    return stream.ok();
}

std::string encodeLogo(LogoForm form, const LogoRecord& record, const std::string& pictureDib) {
    std::string bytes;
    ByteWriter out(bytes);
    for (const LogoPart part : partsOf(form)) {
        switch (part) {
        case P::Corner: out.u32(record.corner); break;
        case P::LinkText: out.bytes(record.linkText.data(), kLinkTextSize); break;
        case P::MailText: out.bytes(record.mailText.data(), kLinkTextSize); break;
        case P::Word: out.u32(0); break;
        case P::Padding: out.zeros(kLogoPaddingSize); break;
        case P::Picture:
            out.u32(static_cast<uint32_t>(pictureDib.size()));
            out.bytes(pictureDib);
            break;
        }
    }
    return bytes;
}

}  // namespace quillet
