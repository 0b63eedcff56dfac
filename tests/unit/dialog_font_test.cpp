// The loading window's template rewritten to the menu font.

#include <gtest/gtest.h>

#include "common/byte_reader.h"
#include "launcher/app/dialog_font.h"

namespace quillet::launcher {
namespace {

constexpr uint32_t kSetFont = 0x40;

void text16(ByteWriter& out, const std::u16string& text) {
    for (char16_t c : text) out.u16(static_cast<uint16_t>(c));
    out.u16(0);
}

void align(std::string& bytes) {
    while (bytes.size() % 4) bytes.push_back('\0');
}

// Two static controls, as they follow a template's header.
std::string items() {
    std::string bytes;
    ByteWriter out(bytes);
    for (int id : {1000, 1001}) {
        align(bytes);
        out.u32(0);
        out.u32(0);
        out.u32(0x50000000);
        for (int v : {10, 10, 100, 10}) out.u16(static_cast<uint16_t>(v));
        out.u32(static_cast<uint32_t>(id));
        out.u16(0xFFFF);
        out.u16(0x0082);  // static
        text16(out, u"text");
        out.u16(0);
    }
    return bytes;
}

// An extended template holding items(); with or without a font.
std::string dialogTemplate(bool withFont) {
    std::string bytes;
    ByteWriter out(bytes);
    out.u16(1);
    out.u16(0xFFFF);
    out.u32(0);                                      // help id
    out.u32(0x00040000);                             // extended style
    out.u32(0x80C80000 | (withFont ? kSetFont : 0));  // style
    out.u16(2);                                      // items
    for (int v : {0, 0, 230, 80}) out.u16(static_cast<uint16_t>(v));
    out.u16(0);  // no menu
    out.u16(0);  // default class
    text16(out, u"Orvane");
    if (withFont) {
        out.u16(8);
        out.u16(700);
        out.u8(1);
        out.u8(0);
        text16(out, u"MS Sans Serif");
    }
    align(bytes);
    return bytes + items();
}

struct ReadFont {
    uint32_t style = 0;
    uint16_t pointSize = 0, weight = 0;
    uint8_t italic = 0;
    std::u16string face;
    std::string items;
};

ReadFont readFont(const std::vector<uint8_t>& bytes) {
    ByteReader in(bytes.data(), bytes.size());
    ReadFont font;
    in.skip(12);
    font.style = in.u32();
    in.skip(10);
    in.skip(4);                       // menu, class
    while (in.ok() && in.u16() != 0) {  // title
    }
    font.pointSize = in.u16();
    font.weight = in.u16();
    font.italic = in.u8();
    in.u8();
    for (uint16_t c; in.ok() && (c = in.u16()) != 0;) font.face += static_cast<char16_t>(c);
    size_t itemsAt = (in.position() + 3) & ~size_t{3};
    font.items.assign(bytes.begin() + static_cast<long>(itemsAt), bytes.end());
    return font;
}

TEST(DialogFont, ReplacesTheTemplatesFontAndKeepsItsItems) {
    const std::string original = dialogTemplate(true);
    const std::vector<uint8_t> rewritten =
        withDialogFont(reinterpret_cast<const uint8_t*>(original.data()), original.size(), 9, u"Tahoma");
    ASSERT_FALSE(rewritten.empty());
    const ReadFont font = readFont(rewritten);
    EXPECT_EQ(font.pointSize, 9);
    EXPECT_EQ(font.face, u"Tahoma");
    EXPECT_EQ(font.weight, 700);
    EXPECT_EQ(font.italic, 1);
    EXPECT_EQ(font.items, items());
}

TEST(DialogFont, GivesAFontToATemplateWithout) {
    const std::string original = dialogTemplate(false);
    const std::vector<uint8_t> rewritten =
        withDialogFont(reinterpret_cast<const uint8_t*>(original.data()), original.size(), 8, u"Segoe UI");
    ASSERT_FALSE(rewritten.empty());
    const ReadFont font = readFont(rewritten);
    EXPECT_TRUE(font.style & kSetFont);
    EXPECT_EQ(font.face, u"Segoe UI");
    EXPECT_EQ(font.pointSize, 8);
    EXPECT_EQ(font.items, items());
}

TEST(DialogFont, RefusesWhatIsNoExtendedTemplate) {
    std::string original = dialogTemplate(true);
    original[2] = 0;  // signature
    EXPECT_TRUE(withDialogFont(reinterpret_cast<const uint8_t*>(original.data()), original.size(), 8, u"X").empty());
    // Cut anywhere within its header and font, it is refused, never overread.
    const std::string good = dialogTemplate(true);
    for (size_t length = 0; length < 70; ++length) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(length));
        EXPECT_TRUE(withDialogFont(cut.data(), cut.size(), 8, u"X").empty()) << length;
    }
}

TEST(DialogFont, PointSizeRoundsAsAMultiplyDivide) {
    struct Case {
        int height, dpi, points;
    };
    const Case cases[] = {{-12, 96, 9}, {-11, 96, 8}, {-13, 96, 10}, {-16, 120, 10},
                          {-15, 120, 9}, {12, 96, -9}, {-12, 0, 0}, {0, 96, 0}};
    for (const Case& c : cases) EXPECT_EQ(pointSizeOfHeight(c.height, c.dpi), c.points) << c.height << "@" << c.dpi;
}

}  // namespace
}  // namespace quillet::launcher
