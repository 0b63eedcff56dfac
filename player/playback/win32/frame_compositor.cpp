#include "player/playback/win32/frame_compositor.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "common/win32/message_pump.h"
#include "player/container/compressed_block.h"
#include "player/bitmaps/win32/dib.h"
#include "player/bitmaps/dib_layout.h"

namespace quillet {
namespace {

constexpr uint32_t kHotspotKind = caption_kind::kHotspotCaption;

BITMAPINFOHEADER* screenHeader(FrameData& frames) {
    std::vector<uint8_t>& buffer = frames.screenBuffer();
    if (buffer.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
    return reinterpret_cast<BITMAPINFOHEADER*>(buffer.data());
}

}  // namespace

void FrameCompositor::Buffer::release() {
    if (dc && previous) ::SelectObject(dc.get(), previous);
    previous = nullptr;
    dc.reset();
    bitmap.reset();
}

FrameCompositor::FrameCompositor(FrameData& frames, const CursorOverlay& cursors)
    : frames_(frames), cursors_(cursors) {
    stillCache_.setWorkerSetup([] { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); });
}

void FrameCompositor::reset() {
    stillCache_.cancel();
    clean_.release();
    composed_.release();
    composedPixels_ = nullptr;
    cleanBehind_.clear();
    anyCleanBehind_ = false;
    cursorSave_.release();
    palette_.reset();
    heldFrame_.store(-1);
}

bool FrameCompositor::createBuffer(Buffer& buffer, HDC reference) {
    buffer.release();
    const MovieInfo& info = frames_.info();
    buffer.dc.reset(::CreateCompatibleDC(reference));
    buffer.bitmap.reset(::CreateCompatibleBitmap(reference, info.recordedArea.width(), info.screenHeight));
    if (!buffer.dc || !buffer.bitmap) {
        buffer.release();
        return false;
    }
    buffer.previous = ::SelectObject(buffer.dc.get(), buffer.bitmap.get());
    if (palette_) {
        ::SelectPalette(buffer.dc.get(), static_cast<HPALETTE>(palette_.get()), FALSE);
        ::RealizePalette(buffer.dc.get());
    }
    return true;
}

bool FrameCompositor::createComposedSection(HDC reference) {
    composedPixels_ = nullptr;
    const BITMAPINFOHEADER* header = screenHeader(frames_);
    const MovieInfo& info = frames_.info();
    if (!header || header->biCompression != BI_RGB || (header->biBitCount != 24 && header->biBitCount != 32) ||
        header->biWidth != info.recordedArea.width() || info.screenHeight <= 0 ||
        ::GetDeviceCaps(reference, BITSPIXEL) != header->biBitCount)
        return false;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), header->biWidth, info.screenHeight, 1, header->biBitCount, BI_RGB,
                        0, 0, 0, 0, 0};
    composed_.release();
    void* pixels = nullptr;
    composed_.dc.reset(::CreateCompatibleDC(reference));
    composed_.bitmap.reset(::CreateDIBSection(reference, &format, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!composed_.dc || !composed_.bitmap || !pixels) {
        composed_.release();
        return false;
    }
    composed_.previous = ::SelectObject(composed_.dc.get(), composed_.bitmap.get());
    composedPixels_ = static_cast<uint8_t*>(pixels);
    composedStride_ = static_cast<size_t>(dibStride(header->biWidth, header->biBitCount));
    composedBitCount_ = header->biBitCount;
    return true;
}

std::optional<CCaptionList::DirectTarget> FrameCompositor::composedAsDirectTarget(CCaptionList& objects) const {
    if (!composedPixels_ || composedBitCount_ != 32) return std::nullopt;
    // Bottom-up: the top row is the last in memory.
    const int height = frames_.info().screenHeight;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(composedStride_);
    SectionPixels pixels;
    pixels.topRow = composedPixels_ + stride * (height - 1);
    pixels.rowStep = -stride;
    pixels.width = static_cast<int>(composedStride_ / 4);
    pixels.height = height;
    return std::optional<CCaptionList::DirectTarget>(std::in_place, objects, composed_.dc.get(), pixels);
}

bool FrameCompositor::ensureBuffers(HDC reference, bool freshComposed) {
    if (!palette_) {
        const std::vector<uint8_t>& screen = frames_.screenBuffer();
        paletteFromDib(screen.data(), screen.size(), palette_);
    }
    win32::WindowDc screen(nullptr);
    if (!reference) reference = screen.get();
    if (freshComposed) {
        // What only the composed buffer holds goes to the clean one first.
        catchUpClean(0, INT32_MAX);
        composed_.release();
        composedPixels_ = nullptr;
    }
    if (!clean_.dc && !createBuffer(clean_, reference)) return false;
    if (!composed_.dc && !createComposedSection(reference) && !createBuffer(composed_, reference)) return false;
    const size_t height = static_cast<size_t>(std::max(frames_.info().screenHeight, 0));
    if (cleanBehind_.size() != height) {
        cleanBehind_.assign(height, 0);
        anyCleanBehind_ = false;
    }
    return true;
}

void FrameCompositor::markCleanBehind(int32_t top, int32_t rows) {
    const int32_t height = static_cast<int32_t>(cleanBehind_.size());
    const int32_t first = std::max(top, 0), last = std::min<int64_t>(int64_t{top} + rows, height);
    for (int32_t row = first; row < last; ++row) cleanBehind_[static_cast<size_t>(row)] = 1;
    if (first < last) anyCleanBehind_ = true;
}

void FrameCompositor::catchUpClean(int32_t top, int32_t bottom) {
    if (!anyCleanBehind_ || !clean_.dc || !composed_.dc) return;
    const int32_t height = static_cast<int32_t>(cleanBehind_.size());
    top = std::max(top, 0);
    bottom = std::min(bottom, height);
    for (int32_t row = top; row < bottom;) {
        if (!cleanBehind_[static_cast<size_t>(row)]) {
            ++row;
            continue;
        }
        const int32_t runStart = row;
        while (row < bottom && cleanBehind_[static_cast<size_t>(row)]) cleanBehind_[static_cast<size_t>(row++)] = 0;
        ::BitBlt(clean_.dc.get(), 0, runStart, shownWidth(), row - runStart, composed_.dc.get(), 0, runStart, SRCCOPY);
    }
    if (top == 0 && bottom == height) anyCleanBehind_ = false;
}

bool FrameCompositor::inflateIntoComposed(const FrameBand& band, bool& inflated) {
    const BITMAPINFOHEADER* header = screenHeader(frames_);
    const int64_t height = static_cast<int64_t>(cleanBehind_.size());
    const int64_t rows = band.bandHeight;
    if (!composedPixels_ || !header || header->biCompression != BI_RGB || header->biBitCount == 0 ||
        static_cast<size_t>(dibStride(header->biWidth, header->biBitCount)) != composedStride_ || rows <= 0 ||
        band.topRow < 0 || band.topRow + rows > height ||
        static_cast<uint64_t>(band.unpackedSize) != static_cast<uint64_t>(rows) * composedStride_)
        return false;
    // Bottom-up rows in both: the band's first row is its lowest screen row.
    uint8_t* at = composedPixels_ + static_cast<size_t>(height - band.topRow - rows) * composedStride_;
    inflated = UncompressBlock(band.data, band.compressedSize, at, band.unpackedSize);
    return true;
}

bool FrameCompositor::drawBand(const FrameBand& band, HDC const* targets, int targetCount) {
    if (!band.data || band.compressedSize == 0) return false;
    BITMAPINFOHEADER* header = screenHeader(frames_);
    if (!header) return false;
    std::vector<uint8_t>& screen = frames_.screenBuffer();
    ScreenLayout layout;
    if (!screenLayout(screen.data(), screen.size(), frames_.info().screenWidth, layout)) return false;
    // A band that would not fit in the pixel area is skipped, as one that fails to
    // inflate is; so is one whose rows, as GDI reads them, would run past it.
    const uint64_t rows = static_cast<uint64_t>(std::abs(static_cast<int32_t>(band.bandHeight)));
    if (layout.bandOffset > screen.size() || band.unpackedSize > screen.size() - layout.bandOffset ||
        !layout.rowsFit(rows, screen.size()))
        return false;
    if (!UncompressBlock(band.data, band.compressedSize, screen.data() + layout.bandOffset, band.unpackedSize))
        return false;
    // Drawing trusts the header: it must still be the one the band was placed by.
    ScreenLayout after;
    if (!screenLayout(screen.data(), screen.size(), frames_.info().screenWidth, after) || !(after == layout))
        return false;
    header->biHeight = band.bandHeight;
    for (int i = 0; i < targetCount; ++i) drawDib(targets[i], screen.data(), 0, band.topRow,
                                                 static_cast<HPALETTE>(palette_.get()));
    return true;
}

void FrameCompositor::applyFrameBands(const MovieFrame& frame, HDC const* targets, int targetCount,
                                      bool lastFirst) {
    const size_t count = frame.bands.size();
    for (size_t i = 0; i < count; ++i) drawBand(frame.bands[lastFirst ? count - 1 - i : i], targets, targetCount);
}

void FrameCompositor::drawLogo(HDC dc) {
    auto* logo = dynamic_cast<const GdiBitmap*>(frames_.logo());
    if (!logo) return;
    Rect where = frames_.logoRect();
    win32::UniqueMemoryDc source(::CreateCompatibleDC(dc));
    if (!source) return;
    win32::ScopedSelect select(source.get(), logo->get());
    ::BitBlt(dc, where.left, where.top, where.width(), where.height(), source.get(), 0, 0, SRCCOPY);
}

void FrameCompositor::drawObjects(CCaptionList& objects, int64_t frameIndex) {
    HDC dc = composed_.dc.get();
    const auto direct = composedAsDirectTarget(objects);
    POINT previous{};
    ::SetViewportOrgEx(dc, 0, frames_.info().recordedArea.top, &previous);
    for (const auto& object : objects.objects()) {
        // A still neither holds at a hotspot nor shows the editor's marker of one:
        // only a run acts on hotspots.
        if (!object->spans(frameIndex) || object->kind() == kHotspotKind) continue;
        object->draw(dc, nullptr, stopAtObjectMode_, 0);
    }
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void FrameCompositor::copyShownPart(HDC target, const RECT& dest) {
    const int width = shownWidth(), height = shownHeight();
    const int top = frames_.info().recordedArea.top;
    const int destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
    if (destWidth == width && destHeight == height) {
        ::BitBlt(target, dest.left, dest.top, width, height, composed_.dc.get(), 0, top, SRCCOPY);
        return;
    }
    int previous = ::SetStretchBltMode(target, COLORONCOLOR);
    ::StretchBlt(target, dest.left, dest.top, destWidth, destHeight, composed_.dc.get(), 0, top,
                 width, height, SRCCOPY);
    ::SetStretchBltMode(target, previous);
}

bool FrameCompositor::renderStillInto(HDC target, int64_t frameIndex, int64_t heldFrame, const RECT& dest,
                                      CCaptionList* objects, bool drawCursor, bool drawLogoToo) {
    const FrameList& list = frames_.frames();
    if (frameIndex < 0 || frameIndex >= static_cast<int64_t>(list.filled())) return false;
    // The run owns the buffers until its thread gives them back, which it does
    // before it reports its end; it may be reporting progress meanwhile.
    win32::waitLettingSentMessagesThrough([this] { return !runOwnsBuffers_.load(); });
    catchUpClean(0, INT32_MAX);
    if (!ensureBuffers(target, heldFrame == -1)) return false;
    BITMAPINFOHEADER* header = screenHeader(frames_);
    if (!header) return false;
    const MovieInfo& info = frames_.info();
    header->biHeight = info.screenHeight;

    HDC composed = composed_.dc.get();
    ::BitBlt(composed, 0, 0, info.recordedArea.width(), info.screenHeight, clean_.dc.get(), 0, 0, SRCCOPY);
    if (palette_) ::RealizePalette(composed);
    int64_t first = std::max<int64_t>(heldFrame, list[static_cast<size_t>(frameIndex)].groupFirst);
    // A picture from the still cache stands for every frame up to its own, when the
    // rebuild would start from the movie's first frame or from an earlier frame.
    if (list[static_cast<size_t>(frameIndex)].groupFirst == 0) {
        cachedPicture_.resize(static_cast<size_t>(dibStride(header->biWidth, header->biBitCount)) *
                              static_cast<size_t>(info.screenHeight));
        int64_t pictureFrame = -1;
        if (stillCache_.nearest(frameIndex, heldFrame, pictureFrame, cachedPicture_)) {
            ::SetDIBitsToDevice(composed, 0, 0, static_cast<DWORD>(header->biWidth), static_cast<DWORD>(info.screenHeight),
                                0, 0, 0, static_cast<UINT>(info.screenHeight), cachedPicture_.data(),
                                reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
            first = pictureFrame + 1;
        }
    }
    for (int64_t i = std::max<int64_t>(first, 0); i <= frameIndex; ++i)
        applyFrameBands(list[static_cast<size_t>(i)], &composed, 1, true);
    ::BitBlt(clean_.dc.get(), 0, 0, info.recordedArea.width(), info.screenHeight, composed, 0, 0, SRCCOPY);
    heldFrame_.store(frameIndex);

    if (drawCursor) cursors_.drawCursor(composed, list[static_cast<size_t>(frameIndex)], frames_.cursorShapes());
    if (objects) drawObjects(*objects, frameIndex);
    if (drawLogoToo) drawLogo(composed);
    if (target) copyShownPart(target, dest);
    return true;
}

bool FrameCompositor::renderStill(HDC target, int64_t frameIndex, int64_t heldFrame,
                                  CCaptionList* objects, bool drawCursor, bool drawLogoToo) {
    RECT dest{0, 0, shownWidth(), shownHeight()};
    return renderStillInto(target, frameIndex, heldFrame, dest, objects, drawCursor, drawLogoToo);
}

bool FrameCompositor::beginRun(HWND view, const RECT& displayRect) {
    win32::WindowDc viewDc(view);
    if (!ensureBuffers(viewDc.get(), false)) return false;
    if (!cursorSave_.dc) {
        cursorSave_.dc.reset(::CreateCompatibleDC(viewDc.get()));
        cursorSave_.bitmap.reset(::CreateCompatibleBitmap(viewDc.get(), kCursorSize, kCursorSize));
        if (!cursorSave_.dc || !cursorSave_.bitmap) return false;
        cursorSave_.previous = ::SelectObject(cursorSave_.dc.get(), cursorSave_.bitmap.get());
    }
    if (BITMAPINFOHEADER* header = screenHeader(frames_)) header->biHeight = frames_.info().screenHeight;
    savedAt_ = POINT{kNothingSaved, kNothingSaved};
    display_ = displayRect;
    runOwnsBuffers_.store(true);
    return true;
}

void FrameCompositor::eraseCursor() {
    if (savedAt_.x <= kNothingSaved || savedAt_.y <= kNothingSaved) return;
    for (HDC dc : {composed_.dc.get(), clean_.dc.get()})
        ::BitBlt(dc, savedAt_.x, savedAt_.y, kCursorSize, kCursorSize, cursorSave_.dc.get(), 0, 0, SRCCOPY);
}

void FrameCompositor::endRun(bool withCursor) {
    if (withCursor) eraseCursor();
    catchUpClean(0, INT32_MAX);
    savedAt_ = POINT{kNothingSaved, kNothingSaved};
    runOwnsBuffers_.store(false);
}

bool FrameCompositor::applyBandsToBoth(int64_t frameIndex, const MovieFrame& frame,
                                       const std::function<bool()>& stopRequested) {
    HDC composed = composed_.dc.get();
    heldFrame_.store(frameIndex);
    // Drawing queued for the section must reach its pixels before they are written.
    if (composedPixels_ && !frame.bands.empty()) ::GdiFlush();
    for (const FrameBand& band : frame.bands) {
        if (stopRequested()) return false;
        if (!band.data || band.compressedSize == 0) continue;
        const int32_t rows = band.bandHeight < 0 ? -band.bandHeight : band.bandHeight;
        bool inflated = false;
        if (inflateIntoComposed(band, inflated)) {
            if (inflated) {
                markCleanBehind(band.topRow, rows);
            } else {
                // A band that does not inflate is skipped: its rows go back to the
                // clean picture (a newer decode of them not yet copied is lost).
                // (inflateIntoComposed took the band only with its rows on the screen.)
                std::fill_n(cleanBehind_.begin() + band.topRow, rows, uint8_t{0});
                ::BitBlt(composed, 0, band.topRow, shownWidth(), rows, clean_.dc.get(), 0, band.topRow, SRCCOPY);
            }
        } else if (drawBand(band, &composed, 1)) {
            markCleanBehind(band.topRow, rows);
        }
    }
    return true;
}

void FrameCompositor::composeOverlays(size_t frameIndex, const MovieFrame& frame, CCaptionList* objects,
                                      bool withSound, bool withCursor) {
    const FrameObjects& shown = frames_.timeline().at(frameIndex);
    HDC composed = composed_.dc.get();
    if (objects && ((withSound && shown.specialObject >= 0) || !shown.endingObjects.empty()))
        catchUpClean(0, INT32_MAX);
    if (objects && withSound && shown.specialObject >= 0)
        objects->drawById(composed, shown.specialObject, nullptr, false, 1);
    if (objects && !shown.endingObjects.empty())
        ::BitBlt(composed, 0, 0, shownWidth(), frames_.info().screenHeight, clean_.dc.get(), 0, 0, SRCCOPY);
    if (withCursor) {
        catchUpClean(frame.cursorY, frame.cursorY + kCursorSize);
        ::BitBlt(cursorSave_.dc.get(), 0, 0, kCursorSize, kCursorSize, clean_.dc.get(), frame.cursorX,
                 frame.cursorY, SRCCOPY);
        savedAt_ = POINT{frame.cursorX, frame.cursorY};
        cursors_.drawCursor(composed, frame, frames_.cursorShapes());
    }
}

bool FrameCompositor::hotspotStartsAt(const CCaption& object, size_t frameIndex) const {
    const int64_t frame = static_cast<int64_t>(frameIndex);
    return stopAtObjectMode_ && object.kind() == kHotspotKind &&
           (object.firstFrame() == frame || (frame == runStart_ && object.spans(frame)));
}

bool FrameCompositor::present(HWND view, size_t frameIndex, CCaptionList* objects) {
    HDC composed = composed_.dc.get();
    if (objects && !frames_.timeline().at(frameIndex).visibleObjects.empty()) catchUpClean(0, INT32_MAX);
    if (frames_.logo()) {
        const Rect logo = frames_.logoRect();
        catchUpClean(logo.top, logo.bottom);
    }
    if (objects) {
        const auto direct = composedAsDirectTarget(*objects);
        POINT previous{};
        ::SetViewportOrgEx(composed, 0, frames_.info().recordedArea.top, &previous);
        for (int32_t id : frames_.timeline().at(frameIndex).visibleObjects) {
            CCaption* object = objects->findById(id);
            if (!object) continue;
            // A hotspot acts once; drawn on the frames after that, it would pause
            // the narration at every one.
            if (stopAtObjectMode_ && object->kind() == kHotspotKind && !hotspotStartsAt(*object, frameIndex))
                continue;
            object->draw(composed, nullptr, stopAtObjectMode_, 0);
            if (hotspotStartsAt(*object, frameIndex)) {
                ::SetViewportOrgEx(composed, previous.x, previous.y, nullptr);
                return false;
            }
        }
        ::SetViewportOrgEx(composed, previous.x, previous.y, nullptr);
    }
    drawLogo(composed);
    {
        win32::WindowDc viewDc(view);
        copyShownPart(viewDc.get(), display_);
    }
    // The frame is due now. GDI batches calls per thread, and the window system
    // may bring a window's surface to the screen only when some thread of the
    // process looks for messages; without this the picture would wait for the
    // view's own thread to wake, which can be a whole frame later.
    ::GdiFlush();
    MSG none;
    ::PeekMessageA(&none, nullptr, 0, 0, PM_NOREMOVE);
    return true;
}

bool FrameCompositor::lateStopCheck(size_t frameIndex, CCaptionList* objects) {
    if (!objects || !stopAtObjectMode_) return true;
    for (int32_t id : frames_.timeline().at(frameIndex).visibleObjects) {
        CCaption* object = objects->findById(id);
        if (object && hotspotStartsAt(*object, frameIndex)) {
            catchUpClean(0, INT32_MAX);
            object->draw(composed_.dc.get(), nullptr, stopAtObjectMode_, 1);
            return false;
        }
    }
    return true;
}

}  // namespace quillet
