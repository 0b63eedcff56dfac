#pragma once
// The outlines: rectangle (kind 0), ellipse (kind 1) and line with arrow heads
// (kind 2). They paint straight onto the target at every draw, with a pen as wide
// as the object's line (1 or 2 pixels in a mapped view), and store a rendered
// picture only for older players.

#include <functional>

#include "player/objects/arrow_geometry.h"
#include "player/objects/win32/caption.h"

namespace quillet {

class CRectFrame : public CCaption {
public:
    using CCaption::CCaption;
    void draw(HDC dc, const RECT* target, bool mode, int start) override;
    StoredPicture renderForStorage(HDC reference) override;
};

// Drawing a wide ellipse is slow enough that, 1:1, it is rendered once into a
// picture and mask and composited after that, to the same pixels.
class CEllipseFrame : public CCaption {
public:
    using CCaption::CCaption;
    void draw(HDC dc, const RECT* target, bool mode, int start) override;
    StoredPicture renderForStorage(HDC reference) override;

protected:
    bool renders() const override { return true; }
    void renderPicture(HDC pictureDc) override;
    void renderMask(HDC maskDc) override;
};

class CArrowLine : public CCaption {
public:
    using CCaption::CCaption;
    void draw(HDC dc, const RECT* target, bool mode, int start) override;
    StoredPicture renderForStorage(HDC reference) override;

    float slope() const { return slope_; }
    // The region of the last head drawn 1:1.
    HRGN headRegion() const { return static_cast<HRGN>(headRegion_.get()); }

private:
    float slope_ = 1.0f;
    win32::UniqueGdiObject headRegion_;
};

// The pen of an outline: as wide as the line 1:1, and 1 pixel (2 from a width of 7
// up) in a mapped view.
int outlinePenWidth(int32_t lineWidth, bool mapped);

// Renders an outline's picture over white and its mask over black, with the line
// colour white in the mask, at the bounds' size: drawOutline paints 1:1 in object
// coordinates with the colour it is given.
StoredPicture storeOutline(HDC reference, const Rect& bounds, uint32_t lineColour,
                           const std::function<void(HDC, uint32_t colour)>& drawOutline);

}  // namespace quillet
