#pragma once
// CImageButton: an owner-drawn push button that shows a small bitmap beside or
// instead of its caption. It looks flat until the mouse is over it, raised while
// it is, sunken while pressed, and lets its parent's background show through.
//
// The parent hands its WM_DRAWITEM messages to reflectDrawItem.

#include <windows.h>

#include "common/win32/handles.h"

namespace quillet {

class CImageButton {
public:
    enum Alignment { kImageLeft = 0, kImageRight = 1, kImageCentred = 2 };

    CImageButton() = default;
    ~CImageButton();
    CImageButton(const CImageButton&) = delete;
    CImageButton& operator=(const CImageButton&) = delete;

    // Takes over a push button: it becomes owner-drawn and tells its parent of
    // focus changes.
    bool attach(HWND button);
    bool attach(HWND dialog, int controlId) { return attach(::GetDlgItem(dialog, controlId)); }
    HWND handle() const { return button_; }

    // Loads the bitmap from the program's resources; the image is drawn as a square
    // as wide as the bitmap, leaving out the pixels of keyColour.
    void setImage(int bitmapId, COLORREF keyColour, int alignment);
    void setImage(win32::UniqueGdiObject bitmap, COLORREF keyColour, int alignment);
    void enable() { ::EnableWindow(button_, TRUE); }
    void disable() { ::EnableWindow(button_, FALSE); }
    bool hovering() const { return hovering_; }

    // Hands a parent's WM_DRAWITEM to the image button it is for; true when it was
    // one and has drawn.
    static bool reflectDrawItem(LPARAM drawItem);

private:
    static LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR self);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void drawItem(const DRAWITEMSTRUCT& item);
    void drawFrame(HDC dc, const RECT& rect, UINT state) const;
    void drawCaption(HDC dc, const RECT& rect, UINT state) const;
    void drawImage(HDC dc, const RECT& rect) const;
    void detach();

    HWND button_ = nullptr;
    win32::UniqueGdiObject image_;
    bool hasImage_ = false;
    bool hovering_ = false;
    bool redrawParent_ = true;
    COLORREF keyColour_ = RGB(255, 0, 255);
    int alignment_ = kImageLeft;
    int imageSize_ = 0;
};

}  // namespace quillet
