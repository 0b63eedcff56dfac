#pragma once
// The geometry of the view window: its size for a zoom setting, whether it has a
// caption, where it goes on the screen, where the logo can be clicked, and which
// pointer a hotspot asks for.

#include <cstdint>

#include "player/container/frame_records.h"

namespace quillet {

constexpr int kDefaultZoomIndex = 2;  // 100 %

// The client size for a recorded area of recorded.width × recorded.height.
Size viewClientSize(Size recorded, int zoomIndex, bool fullScreen, Size screen);
// " (100 %)" and the like, appended to the view's caption.
const char* zoomCaptionSuffix(int zoomIndex, bool fullScreen);

// A view with a caption is smaller than the screen in one dimension and larger in
// none; noCaption removes it always.
bool viewHasCaption(Size client, Size screen, bool noCaption);

// The system metrics that place a view over the recorded area.
struct FrameMetrics {
    int32_t dialogFrameX = 0;  // SM_CXDLGFRAME
    int32_t dialogFrameY = 0;  // SM_CYDLGFRAME
    int32_t smallCaption = 0;  // SM_CYSMCAPTION
    int32_t border = 0;        // SM_CYBORDER
};

struct ViewPlacementOptions {
    bool overRecordedArea = false;
    int32_t viewX = -1;
    int32_t viewY = -1;
};

// The window's top-left corner.
Point viewPosition(Size window, Size screen, const Rect& recordedArea, const ViewPlacementOptions& options,
                   const FrameMetrics& metrics);

// Where a click opens the logo's link, in client coordinates of the shown part.
// Logos with an unknown corner code are drawn at (500, 500), and are clicked there.
Rect logoClickArea(uint32_t corner, Size recorded, Size logo);
bool contains(const Rect& rect, Point point);

// The pointer for a hotspot cursor value: a system cursor (IDC_* number) or one of
// the program's cursor resources.
struct PointerChoice {
    bool programResource = false;
    int32_t id = 0;
    bool operator==(const PointerChoice& o) const { return programResource == o.programResource && id == o.id; }
};
PointerChoice hotspotPointer(int32_t hotspotCursorValue);

// System cursor numbers, as the Win32 headers define them.
namespace system_cursor {
constexpr int32_t kArrow = 32512;
constexpr int32_t kIBeam = 32513;
constexpr int32_t kWait = 32514;
constexpr int32_t kCross = 32515;
constexpr int32_t kUpArrow = 32516;
constexpr int32_t kSizeNwse = 32642;
constexpr int32_t kSizeNesw = 32643;
constexpr int32_t kSizeWe = 32644;
constexpr int32_t kSizeNs = 32645;
constexpr int32_t kSizeAll = 32646;
constexpr int32_t kNo = 32648;
constexpr int32_t kAppStarting = 32650;
constexpr int32_t kHelp = 32651;
}  // namespace system_cursor

// The program's own cursors.
constexpr int32_t kCursorHotspotHand = 105;
constexpr int32_t kCursorLogoLink = 133;
constexpr int32_t kCursorSeekBar = 278;

}  // namespace quillet
