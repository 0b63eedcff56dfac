#include "player/container/movie_header.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(FormatVersion, MinorIsReadAsDecimalDigits) {
    EXPECT_DOUBLE_EQ(FormatVersion(1, 85), 1.85);
    EXPECT_EQ(FormatVersion(1, 5), FormatVersion(1, 50));
    EXPECT_DOUBLE_EQ(FormatVersion(1, 55), 1.55);
    EXPECT_EQ(FormatVersion(3, 0), programVersion());
    EXPECT_GT(FormatVersion(3, 1), programVersion());
    EXPECT_LT(FormatVersion(1, 4), 1.5);
}

TEST(MovieHeader, EncodesTo268BytesAtTheStoredOffsets) {
    MovieHeader header;
    MovieHeader::setText(header.signature, "Compact Movie Ver. 3.0, Pro.");
    MovieHeader::setText(header.description, std::string(300, 'x'));  // cut to the field
    header.versionMajor = 3;
    header.versionMinor = 7;
    std::string bytes = header.encode();
    ASSERT_EQ(bytes.size(), kMovieHeaderSize);
    EXPECT_EQ(bytes.compare(0, 7, "Compact"), 0);
    EXPECT_EQ(bytes[252], 3);
    EXPECT_EQ(bytes[256], 7);
    EXPECT_EQ(bytes[249], '\0');

    uint8_t raw[kMovieHeaderSize];
    std::copy(bytes.begin(), bytes.end(), raw);
    MovieHeader back = MovieHeader::decode(raw);
    EXPECT_EQ(back, header);
    EXPECT_EQ(back.descriptionText(), std::string(99, 'x'));
}

TEST(MovieHeader, SignatureTest) {
    struct Case {
        const char* signature;
        bool accepted;
    } cases[] = {
        {"Compact Movie Ver. 3.0, Pro.", true}, {"Tavrix", true},  {"TavrixMovie", true},
        {"Compac", false},                      {"tavrix", false}, {"", false},
        {"Tavri", false},
    };
    for (const Case& c : cases) {
        MovieHeader header;
        MovieHeader::setText(header.signature, c.signature);
        EXPECT_EQ(header.signatureAccepted(), c.accepted) << c.signature;
    }
}

}  // namespace
}  // namespace quillet
