#pragma once
// The fixed records of the frame stream, decoded from and encoded to their stored
// bytes. Layouts: movie information 80 bytes, logo record 104, frame record 40, band
// header 16, all little-endian.

#include <array>
#include <cstdint>
#include <string>

#include "common/geometry.h"

namespace quillet {

struct MovieInfo {
    static constexpr size_t kSize = 80;

    int32_t durationSec = 0;
    int32_t framesPerSecond = 0;
    int32_t frameCount = 0;
    uint32_t screenBuffer = 0;
    int32_t dibSize = 0;
    Rect recordedArea;
    Rect currentArea;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t bitsPerPixel = 0;
    std::array<int32_t, 3> reserved{};
    int32_t logoPresent = 0;

    static MovieInfo decode(const uint8_t* bytes);
    std::string encode() const;
};

struct LogoRecord {
    static constexpr size_t kSize = 104;
    static constexpr size_t kTextSize = 50;

    uint32_t corner = 0;  // 0 top left, 1 top right, 2 bottom left, 3 bottom right
    std::array<char, kTextSize> linkText{};
    std::array<char, kTextSize> mailText{};

    static LogoRecord decode(const uint8_t* bytes);
    std::string encode() const;
    std::string link() const;
    std::string mail() const;
};

struct FrameRecord {
    static constexpr size_t kSize = 40;

    int32_t bandCount = 0;
    int32_t delayMs = 0;
    int32_t standardCursor = 0;
    uint32_t cursorId = 0;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    uint32_t inputMessage = 0;
    uint32_t inputWParam = 0;
    int32_t holdMs = 0;
    int32_t stopMark = 0;

    static FrameRecord decode(const uint8_t* bytes);
    std::string encode() const;
    // A record that holds nothing; 21 of them in a row end the stream.
    bool empty() const { return delayMs == 0 && bandCount == 0 && holdMs == 0; }
};

struct BandHeader {
    static constexpr size_t kSize = 16;

    int32_t topRow = 0;
    uint32_t compressedSize = 0;
    uint32_t unpackedSize = 0;
    int32_t bandHeight = 0;

    static BandHeader decode(const uint8_t* bytes);
    std::string encode() const;
};

// Window messages a frame may record: keys, and the buttons in the client area and
// on a window's frame.
constexpr uint32_t kInputKeyDown = 256;
constexpr uint32_t kInputLeftButtonDown = 513;
constexpr uint32_t kInputLeftButtonUp = 514;
constexpr uint32_t kInputRightButtonDown = 516;
constexpr uint32_t kInputRightButtonUp = 517;
constexpr uint32_t kInputMiddleButtonDown = 519;
constexpr uint32_t kInputMiddleButtonUp = 520;
constexpr uint32_t kInputFrameLeftButtonDown = 161;
constexpr uint32_t kInputFrameLeftButtonUp = 162;
constexpr uint32_t kInputFrameRightButtonDown = 164;
constexpr uint32_t kInputFrameRightButtonUp = 165;
constexpr uint32_t kInputFrameMiddleButtonDown = 167;
constexpr uint32_t kInputFrameMiddleButtonUp = 168;
// A key-down with this parameter is a recorded click.
constexpr uint32_t kRecordedClickKey = 229;

}  // namespace quillet
