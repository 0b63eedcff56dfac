#pragma once
// Text boxes and speech balloons (kinds 3 to 9): a rectangular, rounded or
// elliptic body, a tail for balloons, a title bar for the titled box, an optional
// depth swept from the body with shaded side faces and an optional drop shadow,
// and the text centred in the body. They render once into their picture and mask
// and are composited after that.

#include "player/objects/win32/caption.h"

namespace quillet {

class CTextCaption : public CCaption {
public:
    enum class Body { Rectangle, Rounded, Ellipse };
    CTextCaption(CaptionRecord record, Body body, bool balloon);

    Rect textRect(HDC dc) override;
    // The side faces made by the last render, in object coordinates.
    HRGN depthRegion() const { return static_cast<HRGN>(depthRegion_.get()); }

protected:
    bool renders() const override { return true; }
    void render(HDC pictureDc, HDC maskDc) override;
    // Paints the side faces of the body swept along depth into dc and keeps the
    // region they join.
    void drawDepth(HDC dc, Point depth);
    // The title bar of the titled box, after the body text.
    virtual void drawTitle(HDC /*dc*/) {}
    // What empty text measures: a space centred in area, between the body's sides.
    Rect measuredSpace(HDC dc, const Rect& area) const;

private:
    win32::UniqueGdiObject bodyRegion() const;
    win32::UniqueGdiObject shiftedBodyRegion(Point depth) const;
    bool isSmallRounded() const;

    Body body_;
    bool balloon_;
    win32::UniqueGdiObject depthRegion_;
};

class CBoxCaption : public CTextCaption {
public:
    explicit CBoxCaption(CaptionRecord record) : CTextCaption(std::move(record), Body::Rectangle, false) {}
};

class CRoundCaption : public CTextCaption {
public:
    explicit CRoundCaption(CaptionRecord record) : CTextCaption(std::move(record), Body::Rounded, false) {}
};

class CEllipseCaption : public CTextCaption {
public:
    explicit CEllipseCaption(CaptionRecord record) : CTextCaption(std::move(record), Body::Ellipse, false) {}
};

class CTitledCaption : public CTextCaption {
public:
    explicit CTitledCaption(CaptionRecord record) : CTextCaption(std::move(record), Body::Rectangle, false) {}
    Rect textRect(HDC dc) override;
    // The title's rectangle, measured with the title font selected into dc.
    Rect titleTextRect(HDC dc);

protected:
    void drawTitle(HDC dc) override;
};

class CBoxBalloon : public CTextCaption {
public:
    explicit CBoxBalloon(CaptionRecord record) : CTextCaption(std::move(record), Body::Rectangle, true) {}
};

class CRoundBalloon : public CTextCaption {
public:
    explicit CRoundBalloon(CaptionRecord record) : CTextCaption(std::move(record), Body::Rounded, true) {}
};

class CEllipseBalloon : public CTextCaption {
public:
    explicit CEllipseBalloon(CaptionRecord record) : CTextCaption(std::move(record), Body::Ellipse, true) {}
};

// A font made from stored LOGFONTA bytes.
win32::UniqueGdiObject fontFrom(const LogFontBytes& bytes);
// Measures non-empty text in area with the font selected into dc, laid out as it
// will be drawn, and centres the block vertically in area.
Rect measuredText(HDC dc, const std::string& text, const Rect& area);
// Draws text in where, centred, word-wrapped, over a transparent background.
void drawCaptionText(HDC dc, const std::string& text, const Rect& where, uint32_t colour);

}  // namespace quillet
