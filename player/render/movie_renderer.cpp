#include "player/render/movie_renderer.h"

#include <algorithm>

#include "player/container/dib_layout.h"
#include "player/render/dib_picture.h"

namespace quillet {
namespace render {
namespace {

constexpr int32_t kCursorSide = 32;
constexpr uint32_t kHotspotKind = caption_kind::kHotspotCaption;

const PackedDibBitmap* packed(const DeviceBitmap* bitmap) { return dynamic_cast<const PackedDibBitmap*>(bitmap); }

// The arrow: '#' black, '.' white, anything else leaves the screen.
const char* const kArrow[] = {
    "#",           "##",          "#.#",         "#..#",        "#...#",       "#....#",      "#.....#",
    "#......#",    "#.......#",   "#........#",  "#.....#####", "#..#..#",     "#.# #..#",    "##  #..#",
    "#    #..#",   "     #..#",   "      #..#",  "      #..#",  "       ##",
};

CursorImage makeArrow() {
    CursorImage image{Picture(kCursorSide, kCursorSide, 0xFFFFFF), Picture(kCursorSide, kCursorSide, 0)};
    for (int32_t y = 0; y < static_cast<int32_t>(sizeof kArrow / sizeof kArrow[0]); ++y)
        for (int32_t x = 0; kArrow[y][x]; ++x) {
            if (kArrow[y][x] == ' ') continue;
            image.andMask.at(x, y) = 0;
            image.xorMask.at(x, y) = kArrow[y][x] == '.' ? 0xFFFFFF : 0;
        }
    return image;
}

}  // namespace

const CursorImage& systemCursorImage(uint32_t) {
    static const CursorImage arrow = makeArrow();
    return arrow;
}

MovieRenderer::MovieRenderer(const FrameData& frames, std::vector<CaptionRecord> objects, TextPainter* text)
    : frames_(frames), objects_(std::move(objects)), rendered_(objects_.size()), text_(text) {
    ScreenLayout layout;
    const std::vector<uint8_t>& screen = frames_.screenBuffer();
    const int32_t height = frames_.info().screenHeight;
    if (screenLayout(screen.data(), screen.size(), frames_.info().screenWidth, layout) && height > 0 &&
        layout.bandOffset < screen.size() && layout.stride * static_cast<uint64_t>(height) <= screen.size()) {
        stride_ = layout.stride;
        screenRows_.assign(static_cast<size_t>(stride_ * static_cast<uint64_t>(height)), 0);
        scratch_.assign(screen.size() - static_cast<size_t>(layout.bandOffset), 0);
    }
}

MovieRenderer::~MovieRenderer() { stillCache_.cancel(); }

int64_t MovieRenderer::frameCount() const {
    return std::min<int64_t>(static_cast<int64_t>(frames_.frames().filled()), frames_.frameCount());
}

// As the player's still rebuild: from the frame held (or the first frame of the
// frame's group when going back), or from the still cache's nearest picture when
// the rebuild would start at the movie's first frame; each frame's bands from
// the last to the first.
bool MovieRenderer::bringScreenTo(int64_t frameIndex) {
    if (stride_ == 0) return false;
    const FrameList& list = frames_.frames();
    const int32_t height = frames_.info().screenHeight;
    const int64_t held = heldFrame_ <= frameIndex ? heldFrame_ : -1;
    const MovieFrame& target = list[static_cast<size_t>(frameIndex)];
    int64_t first = held >= 0 && held < frameIndex ? std::max<int64_t>(held + 1, target.groupFirst)
                                                     : std::max<int64_t>(held, target.groupFirst);
    if (target.groupFirst == 0 && (held < 0 || frameIndex - held > 1)) {
        int64_t pictureFrame = -1;
        if (stillCache_.nearest(frameIndex, held, pictureFrame, screenRows_)) first = pictureFrame + 1;
    }
    for (int64_t i = std::max<int64_t>(first, 0); i <= frameIndex; ++i) {
        const MovieFrame& frame = list[static_cast<size_t>(i)];
        for (size_t b = frame.bands.size(); b-- > 0;)
            StillCache::applyBand(frame.bands[b], scratch_, screenRows_, stride_, height);
    }
    heldFrame_ = frameIndex;
    return true;
}

void MovieRenderer::drawCursor(Picture& buffer, const MovieFrame& frame) {
    const int32_t x = frame.cursorX, y = frame.cursorY;
    if (!frame.standardCursor) {
        const CursorShape* shape = frames_.findCursorShape(frame.cursorId);
        const PackedDibBitmap* colourBits = shape ? packed(shape->colour.get()) : nullptr;
        const PackedDibBitmap* maskBits = shape ? packed(shape->mask.get()) : nullptr;
        Picture colour, mask;
        if (colourBits && maskBits && pictureFromPackedDib(colourBits->bytes(), colour) &&
            pictureFromPackedDib(maskBits->bytes(), mask)) {
            blit(buffer, x, y, kCursorSide, kCursorSide, colour, 0, 0, RasterOp::Invert);
            blit(buffer, x, y, kCursorSide, kCursorSide, mask, 0, 0, RasterOp::And);
            blit(buffer, x, y, kCursorSide, kCursorSide, colour, 0, 0, RasterOp::Invert);
            blit(buffer, x, y, kCursorSide, kCursorSide, colour, 0, 0, RasterOp::And);
            return;
        }
    }
    const CursorImage& image = systemCursorImage(frame.standardCursor ? frame.cursorId : 1);
    blit(buffer, x, y, kCursorSide, kCursorSide, image.andMask, 0, 0, RasterOp::And);
    blit(buffer, x, y, kCursorSide, kCursorSide, image.xorMask, 0, 0, RasterOp::Invert);
}

const RenderedObject& MovieRenderer::object(size_t index) {
    if (!rendered_[index]) {
        rendered_[index] = std::make_unique<RenderedObject>(renderObject(objects_[index], text_));
        ++objectRenders_;
    }
    return *rendered_[index];
}

void MovieRenderer::drawObjects(Picture& buffer, int64_t frameIndex) {
    const Point origin{0, frames_.info().recordedArea.top};
    for (size_t i = 0; i < objects_.size(); ++i) {
        const ObjectHeader& h = objects_[i].header;
        // A still neither holds at a hotspot nor shows the editor's marker of one.
        if (h.kind == kHotspotKind || frameIndex < h.firstFrame || frameIndex >= int64_t{h.firstFrame} + h.frameCount)
            continue;
        compositeObject(buffer, origin, object(i));
    }
}

void MovieRenderer::drawLogo(Picture& buffer) {
    const PackedDibBitmap* logo = packed(frames_.logo());
    Picture picture;
    if (!logo || !pictureFromPackedDib(logo->bytes(), picture)) return;
    const Rect where = frames_.logoRect();
    blit(buffer, where.left, where.top, where.width(), where.height(), picture, 0, 0, RasterOp::Copy);
}

bool MovieRenderer::renderFrame(int64_t frameIndex, const RenderOptions& options, Picture& picture) {
    if (frameIndex < 0 || frameIndex >= frameCount() || !bringScreenTo(frameIndex)) return false;
    const MovieInfo& info = frames_.info();
    Picture screen;
    if (!pictureFromScreenRows(frames_.screenBuffer(), screenRows_.data(), screenRows_.size(), info.screenHeight,
                               screen))
        return false;
    // The buffers are as wide as the recorded area and as high as the screen.
    const int32_t width = std::max(0, std::min(shownWidth(), 1 << 16));
    if (buffer_.width != width || buffer_.height != info.screenHeight) buffer_ = Picture(width, info.screenHeight);
    else std::fill(buffer_.pixels.begin(), buffer_.pixels.end(), 0);
    blit(buffer_, 0, 0, width, info.screenHeight, screen, 0, 0, RasterOp::Copy);

    if (options.cursor) drawCursor(buffer_, frames_.frames()[static_cast<size_t>(frameIndex)]);
    if (options.objects) drawObjects(buffer_, frameIndex);
    if (options.logo) drawLogo(buffer_);

    const int32_t shownW = width, shownH = std::max(0, std::min(shownHeight(), 1 << 16));
    const int32_t outW = options.width > 0 ? options.width : shownW;
    const int32_t outH = options.height > 0 ? options.height : shownH;
    picture = Picture(outW, outH);
    if (outW == shownW && outH == shownH)
        blit(picture, 0, 0, shownW, shownH, buffer_, 0, info.recordedArea.top, RasterOp::Copy);
    else
        stretchBlit(picture, 0, 0, outW, outH, buffer_, 0, info.recordedArea.top, shownW, shownH);
    return true;
}

}  // namespace render
}  // namespace quillet
