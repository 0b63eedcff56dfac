#pragma once
// One annotation object as the movie stores it: the fixed object header, the text,
// the tail of its kind and the pre-rendered picture that may follow it. The object
// classes of the Windows layer are made from these records; the writer turns them
// back into bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/geometry.h"
#include "player/container/record_stream.h"

namespace quillet {

// The kind code that begins every object record.
namespace caption_kind {
constexpr uint32_t kRectFrame = 0;
constexpr uint32_t kEllipseFrame = 1;
constexpr uint32_t kArrowLine = 2;
constexpr uint32_t kBoxCaption = 3;
constexpr uint32_t kRoundCaption = 4;
constexpr uint32_t kEllipseCaption = 5;
constexpr uint32_t kTitledCaption = 6;
constexpr uint32_t kBoxBalloon = 7;
constexpr uint32_t kRoundBalloon = 8;
constexpr uint32_t kEllipseBalloon = 9;
constexpr uint32_t kImageCaption = 10;
constexpr uint32_t kSoundCaption = 11;
constexpr uint32_t kHotspotCaption = 12;
constexpr uint32_t kLast = 12;
}  // namespace caption_kind

// A Windows LOGFONTA structure, kept as its 60 stored bytes.
constexpr size_t kLogFontSize = 60;
using LogFontBytes = std::array<uint8_t, kLogFontSize>;

struct ObjectHeader {
    static constexpr size_t kSize = 180;
    // The oldest section form stores the first 160 bytes; the shadow fields keep
    // their defaults.
    static constexpr size_t kForm1Size = 160;

    uint32_t kind = 0;
    int32_t depthCorner = 0;
    Rect bodyRect;
    Rect textRect;
    Rect boundsRect;
    int32_t depthX = 20;
    int32_t depthY = -20;
    int32_t depthOn = 0;
    int32_t lineWidth = 1;
    uint32_t fillColour = 0;
    uint32_t lineColour = 0;
    uint32_t textColour = 0;
    LogFontBytes font{};
    int32_t firstFrame = 0;
    int32_t frameCount = 1;
    int32_t objectId = 0;
    int32_t shadowAnchor = 1;
    int32_t shadowX = 10;
    int32_t shadowY = 10;
    int32_t shadowOn = 0;
    uint32_t shadowRgb = 0x464646;

    // size is kSize or kForm1Size.
    static ObjectHeader decode(const uint8_t* bytes, size_t size);
    std::string encode() const;  // kSize bytes, the reserved word 0
};

// Kind 2: the line and the arrow heads last drawn.
struct ArrowTail {
    static constexpr size_t kSize = 44;
    uint32_t arrowStyle = 1;  // 0 no head, 1 head at the end, 2 heads at both ends
    Point headLeft, headRight, headTip;
    Point start, end;
};

// Kinds 7 to 9; kind 8 stores its corner size between the tip and the base.
struct BalloonTail {
    uint32_t tailMode = 0;
    Point tailRoot, tailTip;
    Point tailBaseA, tailBaseB;
};

// Kind 6: the title bar and its text, font and colour.
struct TitleTail {
    int32_t reserved1 = 0, reserved2 = 0;
    Rect bodyTextRect, titleBar, titleTextRect;
    std::string title;
    uint32_t titleColour = 0;
    LogFontBytes titleFont{};
};

// Kind 10: an icon or a bitmap, as compressed packed DIBs.
struct PictureTail {
    static constexpr size_t kIconInfoSize = 20;
    uint32_t pictureType = 0;  // 0 icon, 1 bitmap, anything else no picture
    std::array<uint8_t, kIconInfoSize> iconInfo{};
    CompressedBlock iconMask, iconColour;
    CompressedBlock image, imageMask;
    uint32_t hasMask = 0;
    uint32_t actualSize = 0;
    int32_t reference = -1;
    uint32_t naturalWidth = 0, naturalHeight = 0;
    // The blocks inflated into packed DIBs when read; empty when a block did not
    // inflate, and the object then has no picture.
    std::vector<uint8_t> iconMaskDib, iconColourDib, imageDib, imageMaskDib;
    bool usable() const {
        if (pictureType == 0) return !iconMaskDib.empty() && !iconColourDib.empty();
        if (pictureType == 1) return !imageDib.empty() && (!hasMask || !imageMaskDib.empty());
        return false;
    }
};

// Kind 11: the sound it starts, stored in the movie or named only.
struct SoundTail {
    std::string name;  // the source file's name (the older forms)
    uint32_t embedded = 0;
    CompressedBlock sound;
    std::string path;  // the file the sound was written to when read, if any
};

// The sound block that ends a hotspot's record: a file beside the movie when the
// movie keeps object sounds separate, else stored.
struct AttachedSound {
    uint32_t hasSound = 0;
    std::string name;
    uint32_t dataFollows = 0;
    CompressedBlock sound;
    std::string path;  // where the sound is when read, if anywhere
};

// Kind 12.
struct HotspotTail {
    static constexpr int32_t kDragSource = 0x200020;
    static constexpr int32_t kDropTarget = 0x100010;
    int32_t modifiers = 0;  // bit 0 Alt, bit 1 Ctrl, bit 2 Shift
    int32_t eventMask = 0x100030;
    int32_t cursor = 0;
    uint16_t key = 0;
    int32_t partnerId = -1;  // stored for drag sources and drop targets only
    std::string label = "Empty";
    AttachedSound sound;
    bool linked() const { return eventMask == kDragSource || eventMask == kDropTarget; }
};

// The picture and mask an object was rendered to, as packed DIBs.
struct StoredPicture {
    std::vector<uint8_t> picture;
    std::vector<uint8_t> mask;
    bool present() const { return !picture.empty() && !mask.empty(); }
};

struct CaptionRecord {
    ObjectHeader header;
    std::string text;
    ArrowTail arrow;
    Point cornerSize;  // kinds 4 and 8
    TitleTail title;
    BalloonTail balloon;
    Point tailOffset;  // kinds 7 to 9: the tip relative to the body's top-left corner
    PictureTail picture;
    SoundTail sound;
    HotspotTail hotspot;
    StoredPicture stored;

    uint32_t kind() const { return header.kind; }
};

}  // namespace quillet
