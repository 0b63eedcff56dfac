#include "player/objects/caption.h"

#include <algorithm>

#include "player/objects/caption_list.h"
#include "player/playback/dib.h"

namespace quillet {
namespace {

constexpr int kHandleSide = 6;

RECT toRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

bool touches(const Rect& a, const Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

}  // namespace

CCaption::CCaption(CaptionRecord record) : record_(std::move(record)) {}

CCaption::~CCaption() = default;

void CCaption::releaseBitmaps() {
    picture_.reset();
    mask_.reset();
}

void CCaption::invalidate() {
    releaseBitmaps();
    scaledPicture_.reset();
    scaledMask_.reset();
    dirty_ = true;
    // From now on the object renders from its fields; a kind that cannot keeps its
    // stored picture to draw at all.
    if (renders()) record_.stored = StoredPicture();
}

Rect CCaption::textRect(HDC) const { return record_.header.bodyRect; }

Point CCaption::handlePoint(int index) const {
    const Rect& r = bodyRect();
    const int32_t midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    switch (index) {
    case 1: return {r.left, r.top};
    case 2: return {midX, r.top};
    case 3: return {r.right, r.top};
    case 4: return {r.right, midY};
    case 5: return {r.right, r.bottom};
    case 6: return {midX, r.bottom};
    case 7: return {r.left, r.bottom};
    case 8: return {r.left, midY};
    default: return {};
    }
}

Rect CCaption::handleRect(int index) const {
    const Point p = handlePoint(index);
    return Rect{p.x - kHandleSide / 2, p.y - kHandleSide / 2, p.x + kHandleSide / 2, p.y + kHandleSide / 2};
}

int CCaption::handleAt(int32_t x, int32_t y) const {
    for (int i = 1; i <= handleCount(); ++i) {
        const Rect r = handleRect(i);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return 0;
}

bool CCaption::hitTest(const Rect& rect) const {
    if (touches(rect, bodyRect())) return true;
    return handleAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2) != 0;
}

CCaption::Scale CCaption::scaleFor(const RECT& target) const {
    const Rect& reference = owner_ ? owner_->referenceRect : Rect();
    Scale s;
    s.x = static_cast<float>(target.right - target.left) / static_cast<float>(std::max(1, reference.width()));
    s.y = static_cast<float>(target.bottom - target.top) / static_cast<float>(std::max(1, reference.height()));
    s.left = target.left;
    s.top = target.top;
    return s;
}

Point CCaption::Scale::map(Point p) const {
    return {left + static_cast<int32_t>(x * p.x), top + static_cast<int32_t>(y * p.y)};
}

Rect CCaption::Scale::map(const Rect& r) const {
    const Point corner = map(Point{r.left, r.top});
    return Rect{corner.x, corner.y, corner.x + static_cast<int32_t>(x * r.width()),
                corner.y + static_cast<int32_t>(y * r.height())};
}

bool CCaption::bitmapsFromStorage() {
    const StoredPicture& stored = record_.stored;
    if (!stored.present() || picture_) return false;
    picture_ = bitmapFromDib(stored.picture.data(), stored.picture.size());
    mask_ = bitmapFromDib(stored.mask.data(), stored.mask.size());
    if (!picture_ || !mask_) {
        releaseBitmaps();
        return false;
    }
    return true;
}

void CCaption::composite(HDC dc, const RECT* target) {
    if (bitmapsFromStorage()) dirty_ = false;
    else if (!picture_ || !mask_) dirty_ = true;
    if (dirty_ && !renders()) return;

    const Rect& bounds = boundsRect();
    const int width = bounds.width(), height = bounds.height();
    if (width <= 0 || height <= 0) return;
    win32::UniqueMemoryDc pictureDc(::CreateCompatibleDC(dc));
    win32::UniqueMemoryDc maskDc(::CreateCompatibleDC(dc));
    if (!pictureDc || !maskDc) return;

    if (dirty_) {
        releaseBitmaps();
        picture_.reset(::CreateCompatibleBitmap(dc, width, height));
        mask_.reset(::CreateCompatibleBitmap(dc, width, height));
        if (!picture_ || !mask_) {
            releaseBitmaps();
            return;
        }
    }
    win32::ScopedSelect selectPicture(pictureDc.get(), picture_.get());
    win32::ScopedSelect selectMask(maskDc.get(), mask_.get());
    if (dirty_) {
        dirty_ = false;
        ++renderCount_;
        const RECT whole = toRect(bounds);
        for (HDC each : {pictureDc.get(), maskDc.get()}) {
            ::SetViewportOrgEx(each, -bounds.left, -bounds.top, nullptr);
            ::FillRect(each, &whole, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        }
        renderPicture(pictureDc.get());
        renderMask(maskDc.get());
        for (HDC each : {pictureDc.get(), maskDc.get()}) ::SetViewportOrgEx(each, 0, 0, nullptr);
    }

    if (!target) {
        ::BitBlt(dc, bounds.left, bounds.top, width, height, maskDc.get(), 0, 0, SRCPAINT);
        ::BitBlt(dc, bounds.left, bounds.top, width, height, pictureDc.get(), 0, 0, SRCAND);
        return;
    }
    const Scale scale = scaleFor(*target);
    const int scaledWidth = static_cast<int>(width * scale.x), scaledHeight = static_cast<int>(height * scale.y);
    if (scaledWidth <= 0 || scaledHeight <= 0) return;
    scaledPicture_.reset(::CreateCompatibleBitmap(dc, scaledWidth, scaledHeight));
    scaledMask_.reset(::CreateCompatibleBitmap(dc, scaledWidth, scaledHeight));
    win32::UniqueMemoryDc scaledDc(::CreateCompatibleDC(dc));
    if (!scaledPicture_ || !scaledMask_ || !scaledDc) return;
    lastTarget_ = *target;
    const int x = target->left + static_cast<int>(bounds.left * scale.x);
    const int y = target->top + static_cast<int>(bounds.top * scale.y);
    {
        win32::ScopedSelect select(scaledDc.get(), scaledMask_.get());
        ::StretchBlt(scaledDc.get(), 0, 0, scaledWidth, scaledHeight, maskDc.get(), 0, 0, width, height, SRCCOPY);
        ::BitBlt(dc, x, y, scaledWidth, scaledHeight, scaledDc.get(), 0, 0, SRCPAINT);
    }
    win32::ScopedSelect select(scaledDc.get(), scaledPicture_.get());
    ::StretchBlt(scaledDc.get(), 0, 0, scaledWidth, scaledHeight, pictureDc.get(), 0, 0, width, height, SRCCOPY);
    ::BitBlt(dc, x, y, scaledWidth, scaledHeight, scaledDc.get(), 0, 0, SRCAND);
}

void CCaption::draw(HDC dc, const RECT* target, bool, int) { composite(dc, target); }

StoredPicture CCaption::renderForStorage(HDC) { return StoredPicture(); }

}  // namespace quillet
