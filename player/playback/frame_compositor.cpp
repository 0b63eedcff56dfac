#include "player/playback/frame_compositor.h"

#include "player/container/compressed_block.h"
#include "player/playback/dib.h"
#include "player/playback/dib_layout.h"

namespace quillet {
namespace {

constexpr uint32_t kHotspotKind = kStopObjectKind;

BITMAPINFOHEADER* screenHeader(FrameData& frames) {
    std::vector<uint8_t>& buffer = frames.screenBuffer();
    if (buffer.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
    return reinterpret_cast<BITMAPINFOHEADER*>(buffer.data());
}

// Where bands are inflated: behind the header and a full colour table for 8 bits
// or fewer, right behind the header otherwise.
size_t bandOffset(const BITMAPINFOHEADER& header) {
    return header.biSize + (header.biBitCount <= 8 ? 4u << header.biBitCount : 0u);
}

}  // namespace

void FrameCompositor::Buffer::release() {
    if (dc && previous) ::SelectObject(dc.get(), previous);
    previous = nullptr;
    dc.reset();
    bitmap.reset();
}

FrameCompositor::FrameCompositor(FrameData& frames, const CursorOverlay& cursors)
    : frames_(frames), cursors_(cursors) {}

void FrameCompositor::reset() {
    clean_.release();
    composed_.release();
    palette_.reset();
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

bool FrameCompositor::ensureBuffers(HDC reference, bool freshComposed) {
    if (!palette_) {
        const std::vector<uint8_t>& screen = frames_.screenBuffer();
        paletteFromDib(screen.data(), screen.size(), palette_);
    }
    if (freshComposed) composed_.release();
    if (!clean_.dc && !createBuffer(clean_, reference)) return false;
    if (!composed_.dc && !createBuffer(composed_, reference)) return false;
    return true;
}

bool FrameCompositor::drawBand(const FrameBand& band, HDC const* targets, int targetCount) {
    if (!band.data || band.compressedSize == 0) return false;
    BITMAPINFOHEADER* header = screenHeader(frames_);
    if (!header) return false;
    std::vector<uint8_t>& screen = frames_.screenBuffer();
    size_t offset = bandOffset(*header);
    // A band that would not fit in the pixel area is skipped, as one that fails to
    // inflate is.
    if (offset >= screen.size() || band.unpackedSize > screen.size() - offset) return false;
    if (!UncompressBlock(band.data, band.compressedSize, screen.data() + offset, band.unpackedSize))
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

void FrameCompositor::drawObjects(const CCaptionList& objects, int64_t frameIndex) {
    HDC dc = composed_.dc.get();
    POINT previous{};
    ::SetViewportOrgEx(dc, 0, frames_.info().recordedArea.top, &previous);
    for (const auto& object : objects.objects()) {
        if (!object->spans(frameIndex)) continue;
        if (stopAtObjectMode_ && object->kind == kHotspotKind && object->firstFrame != frameIndex) continue;
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
                                      const CCaptionList* objects, bool drawCursor, bool drawLogoToo) {
    const FrameList& list = frames_.frames();
    if (frameIndex < 0 || frameIndex >= static_cast<int64_t>(list.filled())) return false;
    while (frames_.busyState() == 1) ::Sleep(1);
    if (!ensureBuffers(target, heldFrame == -1)) return false;
    BITMAPINFOHEADER* header = screenHeader(frames_);
    if (!header) return false;
    const MovieInfo& info = frames_.info();
    header->biHeight = info.screenHeight;

    HDC composed = composed_.dc.get();
    ::BitBlt(composed, 0, 0, info.recordedArea.width(), info.screenHeight, clean_.dc.get(), 0, 0, SRCCOPY);
    if (palette_) ::RealizePalette(composed);
    const int64_t first = std::max<int64_t>(heldFrame, list[static_cast<size_t>(frameIndex)].groupFirst);
    for (int64_t i = std::max<int64_t>(first, 0); i <= frameIndex; ++i)
        applyFrameBands(list[static_cast<size_t>(i)], &composed, 1, true);
    ::BitBlt(clean_.dc.get(), 0, 0, info.recordedArea.width(), info.screenHeight, composed, 0, 0, SRCCOPY);

    if (drawCursor) cursors_.drawCursor(composed, list[static_cast<size_t>(frameIndex)], frames_.cursorShapes());
    if (objects) drawObjects(*objects, frameIndex);
    if (drawLogoToo) drawLogo(composed);
    copyShownPart(target, dest);
    return true;
}

bool FrameCompositor::renderStill(HDC target, int64_t frameIndex, int64_t heldFrame,
                                  const CCaptionList* objects, bool drawCursor, bool drawLogoToo) {
    RECT dest{0, 0, shownWidth(), shownHeight()};
    return renderStillInto(target, frameIndex, heldFrame, dest, objects, drawCursor, drawLogoToo);
}

}  // namespace quillet
