#pragma once
// A picture over the recording (kind 10): an icon drawn with its own transparency,
// or a bitmap with an optional mask, at its natural size or stretched over the
// object's bounds, with optional text over it.

#include "player/objects/win32/caption.h"

namespace quillet {

class CImageCaption : public CCaption {
public:
    explicit CImageCaption(CaptionRecord record);
    // The icon or the image goes to the deferred handles, which destroy it when an
    // object list is cleared.
    ~CImageCaption() override;

    void draw(HDC dc, const RECT* target, bool mode, int start) override;
    Rect textRect(HDC dc) override;
    StoredPicture renderForStorage(HDC reference) override;
    // Whether the record's picture was made: a known type whose blocks inflated.
    bool hasPicture() const { return icon_ || image_; }

protected:
    bool renders() const override { return static_cast<bool>(image_); }
    void render(HDC pictureDc, HDC maskDc) override;

private:
    void makeIcon();
    void makeImage();
    void drawIcon(HDC dc, const RECT* target);
    // The part of the image the picture is made from: its natural size, held to
    // the bitmap it has.
    SIZE sourceSize() const;

    win32::UniqueIcon icon_;
    win32::UniqueGdiObject iconColour_;  // fetched once, for scaled drawing
    win32::UniqueGdiObject image_;
    win32::UniqueGdiObject imageMask_;
};

}  // namespace quillet
