#include "player/playback/view_layout.h"

namespace quillet {

Size viewClientSize(Size recorded, int zoomIndex, bool fullScreen, Size screen) {
    if (fullScreen) return screen;
    const int32_t w = recorded.width, h = recorded.height;
    switch (zoomIndex) {
    case 0: return {2 * w, 2 * h};
    case 1: return {3 * w / 2, 3 * h / 2};
    case 3: return {3 * w / 4, 3 * h / 4};
    case 4: return {w / 2, h / 2};
    default: return recorded;
    }
}

const char* zoomCaptionSuffix(int zoomIndex, bool fullScreen) {
    if (fullScreen) return " (Full Screen)";
    switch (zoomIndex) {
    case 0: return " (200 %)";
    case 1: return " (150 %)";
    case 3: return " (75 %)";
    case 4: return " (50 %)";
    default: return " (100 %)";
    }
}

bool viewHasCaption(Size client, Size screen, bool noCaption) {
    if (noCaption) return false;
    if (client.width > screen.width || client.height > screen.height) return false;
    return client.width < screen.width || client.height < screen.height;
}

Point viewPosition(Size window, Size screen, const Rect& recordedArea, const ViewPlacementOptions& options,
                   const FrameMetrics& metrics) {
    if (options.overRecordedArea) {
        return {recordedArea.left - metrics.dialogFrameX,
                recordedArea.top - 2 * metrics.dialogFrameY - metrics.smallCaption - metrics.border};
    }
    Point at{(screen.width - window.width) / 2, (screen.height - window.height) / 2};
    if (options.viewX >= 0 && options.viewX < screen.width) at.x = options.viewX;
    if (options.viewY >= 0 && options.viewY < screen.height) at.y = options.viewY;
    return at;
}

Rect logoClickArea(uint32_t corner, Size recorded, Size logo) {
    constexpr int32_t kMargin = 4;
    constexpr int32_t kUnknownCornerAt = 500;
    int32_t left = kUnknownCornerAt, top = kUnknownCornerAt;
    switch (corner) {
    case 0: left = kMargin; top = kMargin; break;
    case 1: left = recorded.width - logo.width - kMargin; top = kMargin; break;
    case 2: left = kMargin; top = recorded.height - logo.height - kMargin; break;
    case 3:
        left = recorded.width - logo.width - kMargin;
        top = recorded.height - logo.height - kMargin;
        break;
    default: break;
    }
    return {left, top, left + logo.width, top + logo.height};
}

bool contains(const Rect& rect, Point point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

PointerChoice hotspotPointer(int32_t value) {
    using namespace system_cursor;
    switch (value) {
    case 12: return {false, kAppStarting};
    case 13: return {false, kCross};
    case 14: return {false, kHelp};
    case 15: return {false, kIBeam};
    case 16: return {false, kSizeAll};
    case 17: return {false, kSizeNesw};
    case 18: return {false, kSizeNs};
    case 19: return {false, kSizeNwse};
    case 20: return {false, kSizeWe};
    case 21: return {false, kUpArrow};
    case 22: return {true, kCursorSeekBar};
    case 23: return {true, kCursorHotspotHand};
    default: return {false, kArrow};
    }
}

}  // namespace quillet
