#include "launcher/project/record_writer.h"

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
    if (!scrambleText(value, stored))
        throw std::invalid_argument("a text that cannot be stored (a byte would scramble to zero): " + value);
    ByteWriter out(out_);
    out.u8(kRecordText);
    out.u16(static_cast<uint16_t>(stored.size()));
    out.bytes(stored);
}

}  // namespace quillet::project
