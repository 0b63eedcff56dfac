#pragma once
// Draws a frame's recorded cursor: a system cursor by index, or a recorded shape of
// colour image and mask.

#include <windows.h>

#include <array>

#include "player/container/frame_model.h"

namespace quillet {

constexpr int kCursorSize = 32;
constexpr size_t kSystemCursorCount = 15;

class CursorOverlay {
public:
    // Loads the shared system cursors once.
    CursorOverlay();

    void drawCursor(HDC dc, const MovieFrame& sample, const CursorShapeMap& shapes) const;
    HCURSOR systemCursor(size_t index) const {
        return index < cursors_.size() ? cursors_[index] : cursors_[kArrowIndex];
    }

private:
    static constexpr size_t kArrowIndex = 1;
    void drawSystem(HDC dc, HCURSOR cursor, int x, int y) const;

    std::array<HCURSOR, kSystemCursorCount> cursors_{};
};

}  // namespace quillet
