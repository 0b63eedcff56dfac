#include "launcher/app/dialog_font.h"

#include <cstdlib>

#include "common/byte_reader.h"

namespace quillet::launcher {

namespace {

// Extended template header: version 1, signature 0xFFFF, help id, extended style,
// style, item count, x, y, cx, cy; then menu, class and title.
constexpr size_t kHeaderSize = 26;
constexpr size_t kStyleOffset = 12;
constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT
constexpr uint16_t kDefaultWeight = 400;

// Skips a name-or-ordinal field: 0 (none), 0xFFFF and an ordinal, or a UTF-16 text.
void skipNameOrOrdinal(ByteReader& in) {
    uint16_t first = in.u16();
    if (first == 0) return;
    if (first == 0xFFFF) {
        in.u16();
        return;
    }
    while (in.ok() && in.u16() != 0) {
    }
}

void skipText(ByteReader& in) {
    while (in.ok() && in.u16() != 0) {
    }
}

}  // namespace

int pointSizeOfHeight(int height, int dpi) {
    if (dpi <= 0) return 0;
    const long long product = static_cast<long long>(height) * 72;
    long long quotient = (std::llabs(product) + dpi / 2) / dpi;
    if (product < 0) quotient = -quotient;
    return static_cast<int>(-quotient);
}

std::vector<uint8_t> withDialogFont(const uint8_t* data, size_t size, uint16_t pointSize,
                                    const std::u16string& face) {
    ByteReader in(data, size);
    const uint16_t version = in.u16();
    const uint16_t signature = in.u16();
    in.skip(kHeaderSize - 4);
    if (!in.ok() || version != 1 || signature != 0xFFFF) return {};
    ByteReader styleReader(data + kStyleOffset, 4);
    const uint32_t style = styleReader.u32();
    skipNameOrOrdinal(in);  // menu
    skipNameOrOrdinal(in);  // class
    skipText(in);           // title
    const size_t fontStart = in.position();
    uint16_t weight = kDefaultWeight;
    uint8_t italic = 0, charset = 1;  // DEFAULT_CHARSET
    if (style & kSetFont) {
        in.u16();  // point size
        weight = in.u16();
        italic = in.u8();
        charset = in.u8();
        skipText(in);
    }
    if (!in.ok()) return {};
    const size_t itemsStart = (in.position() + 3) & ~size_t{3};
    if (itemsStart > size) return {};

    std::string out(reinterpret_cast<const char*>(data), fontStart);
    std::string styleBytes;
    ByteWriter(styleBytes).u32(style | kSetFont);
    out.replace(kStyleOffset, 4, styleBytes);
    ByteWriter writer(out);
    writer.u16(pointSize);
    writer.u16(weight);
    writer.u8(italic);
    writer.u8(charset);
    for (char16_t c : face) writer.u16(static_cast<uint16_t>(c));
    writer.u16(0);
    while (out.size() % 4) writer.u8(0);
    out.append(reinterpret_cast<const char*>(data) + itemsStart, size - itemsStart);
    return std::vector<uint8_t>(out.begin(), out.end());
}

}  // namespace quillet::launcher
