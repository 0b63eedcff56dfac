#include "player/objects/win32/image_caption.h"

#include <algorithm>
#include <cstring>

#include "player/objects/caption_geometry.h"
#include "player/objects/win32/caption_list.h"
#include "player/objects/win32/text_captions.h"
#include "player/bitmaps/win32/dib.h"

namespace quillet {
namespace {

constexpr int kIconSide = 32;

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

CImageCaption::CImageCaption(CaptionRecord record) : CCaption(std::move(record)) {
    if (!record_.picture.usable()) return;
    if (record_.picture.pictureType == 0) makeIcon();
    else makeImage();
}

CImageCaption::~CImageCaption() {
    CCaptionList::deferIcon(std::move(icon_));
    CCaptionList::deferBitmap(std::move(image_));
}

void CImageCaption::makeIcon() {
    const PictureTail& p = record_.picture;
    win32::UniqueGdiObject mask = monochromeBitmapFromDib(p.iconMaskDib.data(), p.iconMaskDib.size());
    win32::UniqueGdiObject colour = bitmapFromDib(p.iconColourDib.data(), p.iconColourDib.size());
    if (!mask || !colour) return;
    // The stored structure: the icon flag and the hot spot, then two handles that
    // meant something only to the program that wrote them.
    ICONINFO info{};
    uint32_t words[3];
    std::memcpy(words, p.iconInfo.data(), sizeof words);
    info.fIcon = words[0] != 0;
    info.xHotspot = words[1];
    info.yHotspot = words[2];
    info.hbmMask = static_cast<HBITMAP>(mask.get());
    info.hbmColor = static_cast<HBITMAP>(colour.get());
    icon_.reset(::CreateIconIndirect(&info));
}

void CImageCaption::makeImage() {
    const PictureTail& p = record_.picture;
    win32::UniqueGdiObject image = bitmapFromDib(p.imageDib.data(), p.imageDib.size());
    if (!image) return;
    if (p.hasMask) {
        imageMask_ = bitmapFromDib(p.imageMaskDib.data(), p.imageMaskDib.size());
        if (!imageMask_) return;
    }
    image_ = std::move(image);
}

SIZE CImageCaption::sourceSize() const {
    const SIZE has = bitmapSize(static_cast<HBITMAP>(image_.get()));
    const PictureTail& p = record_.picture;
    auto held = [](uint32_t natural, LONG actual) {
        return natural == 0 || natural > static_cast<uint32_t>(actual) ? actual : static_cast<LONG>(natural);
    };
    return SIZE{held(p.naturalWidth, has.cx), held(p.naturalHeight, has.cy)};
}

void CImageCaption::draw(HDC dc, const RECT* target, bool mode, int start) {
    if (icon_) {
        drawIcon(dc, target);
        return;
    }
    // Without a picture of its own the object shows what was stored with it, if
    // anything.
    CCaption::draw(dc, target, mode, start);
}

void CImageCaption::drawIcon(HDC dc, const RECT* target) {
    const Rect& body = bodyRect();
    if (!target) {
        ::DrawIcon(dc, body.left, body.top, icon_.get());
        return;
    }
    if (!iconColour_) {
        ICONINFO info{};
        if (!::GetIconInfo(icon_.get(), &info)) return;
        iconColour_.reset(info.hbmColor);
        win32::UniqueGdiObject discard(info.hbmMask);
        if (!iconColour_) return;
    }
    const Rect to = scaleFor(*target).map(body);
    win32::UniqueMemoryDc source(::CreateCompatibleDC(dc));
    if (!source) return;
    win32::ScopedSelect select(source.get(), iconColour_.get());
    ::StretchBlt(dc, to.left, to.top, to.width(), to.height(), source.get(), 0, 0, kIconSide, kIconSide, SRCCOPY);
}

// The bitmap covers the picture from its top-left corner; where it does not reach
// the mask is black, so that the recording shows there. Without a mask of its own
// the bitmap is opaque; with one, it shows where its mask is white.
void CImageCaption::render(HDC pictureDc, HDC maskDc) {
    const Rect& bounds = boundsRect();
    const int width = bounds.width(), height = bounds.height();
    POINT pictureOrigin{}, maskOrigin{};
    ::SetViewportOrgEx(pictureDc, 0, 0, &pictureOrigin);
    ::SetViewportOrgEx(maskDc, 0, 0, &maskOrigin);
    const RECT whole{0, 0, width, height};
    ::FillRect(maskDc, &whole, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));

    const SIZE source = sourceSize();
    const bool natural = record_.picture.actualSize == 1;
    const int toWidth = natural ? source.cx : width, toHeight = natural ? source.cy : height;
    win32::UniqueMemoryDc from(::CreateCompatibleDC(pictureDc));
    if (from) {
        {
            win32::ScopedSelect select(from.get(), image_.get());
            ::StretchBlt(pictureDc, 0, 0, toWidth, toHeight, from.get(), 0, 0, source.cx, source.cy, SRCCOPY);
        }
        if (imageMask_) {
            win32::ScopedSelect select(from.get(), imageMask_.get());
            ::StretchBlt(maskDc, 0, 0, toWidth, toHeight, from.get(), 0, 0, source.cx, source.cy, SRCCOPY);
        } else {
            const RECT covered{0, 0, toWidth, toHeight};
            ::FillRect(maskDc, &covered, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        }
        // Compositing ANDs the picture over the target: where the mask leaves the
        // target, the picture must be white whatever the image holds there.
        ::BitBlt(pictureDc, 0, 0, width, height, maskDc, 0, 0, MERGEPAINT);
    }

    if (!record_.text.empty()) {
        win32::UniqueGdiObject font = fontFrom(record_.header.font);
        win32::ScopedSelect selectFont(pictureDc, font ? font.get() : ::GetStockObject(DEFAULT_GUI_FONT));
        const Rect r = textRect(pictureDc);
        drawCaptionText(pictureDc, record_.text, adjusted(r, -int64_t{bounds.left}, -int64_t{bounds.top},
                                                          -int64_t{bounds.left}, -int64_t{bounds.top}),
                        record_.header.textColour);
    }
    ::SetViewportOrgEx(pictureDc, pictureOrigin.x, pictureOrigin.y, nullptr);
    ::SetViewportOrgEx(maskDc, maskOrigin.x, maskOrigin.y, nullptr);
}

Rect CImageCaption::textRect(HDC dc) {
    if (record_.text.empty()) return adjusted(bodyRect(), 4, 4, -4, -4);
    record_.header.textRect = measuredText(dc, record_.text, textArea(record_));
    return record_.header.textRect;
}

// An icon stores what it draws: its colours where it is opaque, over a mask that
// is white there and black around it.
StoredPicture CImageCaption::renderForStorage(HDC reference) {
    if (!icon_) return CCaption::renderForStorage(reference);
    const Rect& body = bodyRect();
    return paintedForStorage(
        reference, boundsRect(),
        [&](HDC dc) { ::DrawIconEx(dc, body.left, body.top, icon_.get(), kIconSide, kIconSide, 0, nullptr, DI_NORMAL); },
        [&](HDC dc) {
            // The icon's own mask is white where it is transparent: drawn over
            // white and turned over, it is white where the icon shows.
            const Rect& b = boundsRect();
            const RECT whole{b.left, b.top, b.right, b.bottom};
            ::FillRect(dc, &whole, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            ::DrawIconEx(dc, body.left, body.top, icon_.get(), kIconSide, kIconSide, 0, nullptr, DI_MASK);
            ::PatBlt(dc, b.left, b.top, b.width(), b.height(), DSTINVERT);
        });
}

}  // namespace quillet
