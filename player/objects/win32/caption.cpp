#include "player/objects/win32/caption.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "player/objects/win32/caption_list.h"
#include "player/bitmaps/masked_blend.h"
#include "player/bitmaps/win32/dib.h"

namespace quillet {
namespace {


RECT toRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A mapped coordinate, cut toward zero and held to the range a coordinate has.
int32_t mapped(double value) {
    if (!(value > -2147483648.0)) return INT32_MIN;
    if (!(value < 2147483647.0)) return INT32_MAX;
    return static_cast<int32_t>(value);
}

}  // namespace

CCaption::CCaption(CaptionRecord record) : record_(std::move(record)) {}

CCaption::~CCaption() = default;

bool ObjectDcs::ready(HDC reference) {
    if (!picture_) picture_.reset(::CreateCompatibleDC(reference));
    if (!mask_) mask_.reset(::CreateCompatibleDC(reference));
    return picture_ && mask_;
}

bool CCaption::HeldBitmap::hold(HDC reference, int width, int height) {
    release();
    if (isSection32(reference))
        bitmap_ = makeSection32(reference, width, height, pixels_);
    else
        bitmap_.reset(::CreateCompatibleBitmap(reference, width, height));
    dc_.reset(::CreateCompatibleDC(reference));
    if (!bitmap_ || !dc_) {
        release();
        return false;
    }
    previous_ = ::SelectObject(dc_.get(), bitmap_.get());
    return true;
}

void CCaption::HeldBitmap::release() {
    if (dc_ && previous_) ::SelectObject(dc_.get(), previous_);
    previous_ = nullptr;
    dc_.reset();
    bitmap_.reset();
    pixels_ = SectionPixels();
}

ObjectDcs* CCaption::dcsFor(HDC reference, ObjectDcs& ownPair) {
    ObjectDcs* dcs = owner_ ? &owner_->objectDcs() : &ownPair;
    return dcs->ready(reference) ? dcs : nullptr;
}

void CCaption::releaseBitmaps() { held_.release(); }

void CCaption::invalidate() {
    releaseBitmaps();
    scaledPicture_.reset();
    scaledMask_.reset();
    dirty_ = true;
    // From now on the object renders from its fields; a kind that cannot keeps its
    // stored picture to draw at all.
    if (renders()) record_.stored = StoredPicture();
}

Rect CCaption::textRect(HDC) { return record_.header.bodyRect; }

CCaption::Scale CCaption::scaleFor(const RECT& target) const {
    const Rect& reference = owner_ ? owner_->referenceRect : Rect();
    Scale s;
    s.x = static_cast<float>(target.right - target.left) / static_cast<float>(std::max(1, reference.width()));
    s.y = static_cast<float>(target.bottom - target.top) / static_cast<float>(std::max(1, reference.height()));
    s.left = target.left;
    s.top = target.top;
    return s;
}

// The scale factors are single-precision, as the products are.
Point CCaption::Scale::map(Point p) const {
    return {mapped(left + static_cast<double>(mapped(x * static_cast<float>(p.x)))),
            mapped(top + static_cast<double>(mapped(y * static_cast<float>(p.y))))};
}

Rect CCaption::Scale::map(const Rect& r) const {
    const Point corner = map(Point{r.left, r.top});
    return Rect{corner.x, corner.y, mapped(corner.x + static_cast<double>(mapped(x * static_cast<float>(r.width())))),
                mapped(corner.y + static_cast<double>(mapped(y * static_cast<float>(r.height()))))};
}

bool CCaption::holdSideBySide(HDC reference, HGDIOBJ picture, HGDIOBJ mask) {
    const Rect& bounds = boundsRect();
    const int width = bounds.width(), height = bounds.height();
    ObjectDcs ownPair;
    ObjectDcs* dcs = dcsFor(reference, ownPair);
    if (width <= 0 || height <= 0 || width > INT32_MAX / 2 || !dcs || !held_.hold(reference, 2 * width, height))
        return false;
    win32::ScopedSelect selectPicture(dcs->picture(), picture);
    win32::ScopedSelect selectMask(dcs->mask(), mask);
    ::BitBlt(held_.dc(), 0, 0, width, height, dcs->picture(), 0, 0, SRCCOPY);
    ::BitBlt(held_.dc(), width, 0, width, height, dcs->mask(), 0, 0, SRCCOPY);
    return true;
}

bool CCaption::bitmapsFromStorage(HDC reference) {
    const StoredPicture& stored = record_.stored;
    if (!stored.present() || held_) return false;
    const win32::UniqueGdiObject picture = bitmapFromDib(stored.picture.data(), stored.picture.size());
    const win32::UniqueGdiObject mask = bitmapFromDib(stored.mask.data(), stored.mask.size());
    if (!picture || !mask || !holdSideBySide(reference, picture.get(), mask.get())) {
        releaseBitmaps();
        return false;
    }
    return true;
}

bool CCaption::renderSeparate(HDC reference, win32::UniqueGdiObject& picture, win32::UniqueGdiObject& mask) {
    const Rect& bounds = boundsRect();
    const int width = bounds.width(), height = bounds.height();
    if (width <= 0 || height <= 0) return false;
    ObjectDcs ownPair;
    ObjectDcs* dcs = dcsFor(reference, ownPair);
    picture.reset(::CreateCompatibleBitmap(reference, width, height));
    mask.reset(::CreateCompatibleBitmap(reference, width, height));
    if (!dcs || !picture || !mask) return false;
    ++renderCount_;
    win32::ScopedSelect selectPicture(dcs->picture(), picture.get());
    win32::ScopedSelect selectMask(dcs->mask(), mask.get());
    const RECT whole = toRect(bounds);
    for (HDC each : {dcs->picture(), dcs->mask()}) {
        ::SetViewportOrgEx(each, -bounds.left, -bounds.top, nullptr);
        ::FillRect(each, &whole, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    render(dcs->picture(), dcs->mask());
    for (HDC each : {dcs->picture(), dcs->mask()}) ::SetViewportOrgEx(each, 0, 0, nullptr);
    return true;
}

bool CCaption::renderBitmaps(HDC reference) {
    releaseBitmaps();
    win32::UniqueGdiObject picture, mask;
    if (!renderSeparate(reference, picture, mask) || !holdSideBySide(reference, picture.get(), mask.get())) {
        releaseBitmaps();
        return false;
    }
    dirty_ = false;
    return true;
}

void CCaption::composite(HDC dc, const RECT* target) {
    if (bitmapsFromStorage(dc)) dirty_ = false;
    else if (!held_) dirty_ = true;
    if (dirty_ && !renders()) return;

    if (dirty_ && !renderBitmaps(dc)) return;
    const Rect& bounds = boundsRect();
    const int width = bounds.width(), height = bounds.height();
    if (width <= 0 || height <= 0) return;
    HDC pictureDc = held_.dc(), maskDc = held_.dc();
    const int maskLeft = width;

    if (!target) {
        if (blendOntoSection(dc)) return;
        ::BitBlt(dc, bounds.left, bounds.top, width, height, maskDc, maskLeft, 0, SRCPAINT);
        ::BitBlt(dc, bounds.left, bounds.top, width, height, pictureDc, 0, 0, SRCAND);
        return;
    }
    const Scale scale = scaleFor(*target);
    const int scaledWidth = mapped(static_cast<float>(width) * scale.x);
    const int scaledHeight = mapped(static_cast<float>(height) * scale.y);
    if (scaledWidth <= 0 || scaledHeight <= 0) return;
    scaledPicture_.reset(::CreateCompatibleBitmap(dc, scaledWidth, scaledHeight));
    scaledMask_.reset(::CreateCompatibleBitmap(dc, scaledWidth, scaledHeight));
    win32::UniqueMemoryDc scaledDc(::CreateCompatibleDC(dc));
    if (!scaledPicture_ || !scaledMask_ || !scaledDc) return;
    const int x = mapped(target->left + static_cast<double>(mapped(static_cast<float>(bounds.left) * scale.x)));
    const int y = mapped(target->top + static_cast<double>(mapped(static_cast<float>(bounds.top) * scale.y)));
    {
        win32::ScopedSelect select(scaledDc.get(), scaledMask_.get());
        ::StretchBlt(scaledDc.get(), 0, 0, scaledWidth, scaledHeight, maskDc, maskLeft, 0, width, height, SRCCOPY);
        ::BitBlt(dc, x, y, scaledWidth, scaledHeight, scaledDc.get(), 0, 0, SRCPAINT);
    }
    win32::ScopedSelect select(scaledDc.get(), scaledPicture_.get());
    ::StretchBlt(scaledDc.get(), 0, 0, scaledWidth, scaledHeight, pictureDc, 0, 0, width, height, SRCCOPY);
    ::BitBlt(dc, x, y, scaledWidth, scaledHeight, scaledDc.get(), 0, 0, SRCAND);
}

bool CCaption::blendOntoSection(HDC dc) {
    const SectionPixels& source = held_.pixels();
    const SectionPixels* direct = owner_ ? owner_->directPixels(dc) : nullptr;
    if (!source.topRow || !direct || ::GetMapMode(dc) != MM_TEXT || ::GetGraphicsMode(dc) != GM_COMPATIBLE)
        return false;
    const SectionPixels& target = *direct;
    POINT window{}, viewport{};
    RECT clip{};
    ::GetWindowOrgEx(dc, &window);
    ::GetViewportOrgEx(dc, &viewport);
    if (window.x != 0 || window.y != 0 || ::GetClipBox(dc, &clip) != SIMPLEREGION) return false;
    // The bounds and the clip box in the target's pixels, and the part of the
    // bounds that lies inside both it and the target.
    const Rect& bounds = boundsRect();
    const int64_t width = bounds.width(), height = bounds.height();
    const int64_t x = int64_t{bounds.left} + viewport.x, y = int64_t{bounds.top} + viewport.y;
    const int64_t left = std::max({x, int64_t{clip.left} + viewport.x, int64_t{0}});
    const int64_t top = std::max({y, int64_t{clip.top} + viewport.y, int64_t{0}});
    const int64_t right = std::min({x + width, int64_t{clip.right} + viewport.x, int64_t{target.width}});
    const int64_t bottom = std::min({y + height, int64_t{clip.bottom} + viewport.y, int64_t{target.height}});
    if (left >= right || top >= bottom) return true;
    // Drawing queued for either bitmap must reach its pixels first.
    ::GdiFlush();
    for (int64_t row = top; row < bottom; ++row) {
        const uint32_t* picture = source.row(static_cast<int>(row - y)) + (left - x);
        blendMaskedRow(target.row(static_cast<int>(row)) + left, picture, picture + width,
                       static_cast<int>(right - left));
    }
    return true;
}

void CCaption::draw(HDC dc, const RECT* target, bool, int) { composite(dc, target); }

StoredPicture paintedForStorage(HDC reference, const Rect& bounds, const std::function<void(HDC)>& paintPicture,
                                const std::function<void(HDC)>& paintMask) {
    StoredPicture stored;
    const int width = bounds.width(), height = bounds.height();
    if (width <= 0 || height <= 0) return stored;
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(reference));
    win32::UniqueGdiObject picture(::CreateCompatibleBitmap(reference, width, height));
    win32::UniqueGdiObject mask(::CreateCompatibleBitmap(reference, width, height));
    if (!dc || !picture || !mask) return stored;
    const RECT whole{0, 0, width, height};
    for (const auto& [bitmap, start, paint] : {std::tuple(picture.get(), WHITE_BRUSH, &paintPicture),
                                               std::tuple(mask.get(), BLACK_BRUSH, &paintMask)}) {
        win32::ScopedSelect select(dc.get(), bitmap);
        ::FillRect(dc.get(), &whole, static_cast<HBRUSH>(::GetStockObject(start)));
        ::SetViewportOrgEx(dc.get(), -bounds.left, -bounds.top, nullptr);
        (*paint)(dc.get());
        ::SetViewportOrgEx(dc.get(), 0, 0, nullptr);
    }
    stored.picture = packedDibBytes(static_cast<HBITMAP>(picture.get()));
    stored.mask = packedDibBytes(static_cast<HBITMAP>(mask.get()));
    if (!stored.present()) stored = StoredPicture();
    return stored;
}

StoredPicture CCaption::renderForStorage(HDC reference) {
    StoredPicture stored;
    win32::UniqueGdiObject picture, mask;
    if (!renders()) return stored;
    releaseBitmaps();
    dirty_ = true;
    if (!renderSeparate(reference, picture, mask)) return stored;
    stored.picture = packedDibBytes(static_cast<HBITMAP>(picture.get()));
    stored.mask = packedDibBytes(static_cast<HBITMAP>(mask.get()));
    if (!stored.present()) stored = StoredPicture();
    return stored;
}

}  // namespace quillet
