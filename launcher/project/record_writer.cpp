#include "launcher/project/record_writer.h"

#include <cstdio>

#include "common/byte_reader.h"
#include "launcher/project/record_reader.h"
#include "launcher/project/text_scrambler.h"

namespace quillet::project {

void RecordWriter::integer(int32_t value) {
    ByteWriter out(out_);
    out.u8(kRecordInteger);
    out.u16(static_cast<uint16_t>(kIntegerPayloadSize));
    out.i32(value);
}

void RecordWriter::text(const std::string& value) {
    if (value.size() > UINT16_MAX) throw std::invalid_argument("a text longer than 65535 bytes: " + value.substr(0, 40) + "...");
    std::string stored;
    size_t at = 0;
    if (!scrambleText(value, stored, &at)) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(static_cast<uint8_t>(value[at])));
        throw std::invalid_argument(
            "the text \"" + value + "\" cannot be stored: its byte " + std::to_string(at + 1) + " (" + byte +
            ") meets the scrambling key where it would turn into the zero that ends a text. Many bytes from 0x86 "
            "to 0xCE, which accented letters in UTF-8 hold, are lost at about one position in 25: change the text "
            "or move the letter by a character");
    }
    ByteWriter out(out_);
    out.u8(kRecordText);
    out.u16(static_cast<uint16_t>(stored.size()));
    out.bytes(stored);
}

}  // namespace quillet::project
