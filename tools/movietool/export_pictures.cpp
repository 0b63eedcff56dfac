#include "tools/movietool/export_pictures.h"

#include <algorithm>
#include <cstring>

#include "player/container/dib_layout.h"
#include "player/playback/still_cache.h"
#include "tools/movietool/export_movie.h"
#include "tools/movietool/export_timeline.h"
#include "tools/moviewriter/desktop_scene.h"

namespace quillet {
namespace {

// The screen as the bands leave it, frame after frame, in the screen's own DIB
// rows; the shown part of it copied out for each picture.
class BandPictureSource : public ExportPictureSource {
public:
    BandPictureSource(const FrameData& frames, const ScreenLayout& layout)
        : frames_(frames),
          stride_(layout.stride),
          screen_(static_cast<size_t>(layout.stride * static_cast<uint64_t>(frames.info().screenHeight)), 0),
          scratch_(frames.screenBuffer().size() - static_cast<size_t>(layout.bandOffset), 0) {}

    int32_t width() const override { return frames_.info().recordedArea.width(); }
    int32_t height() const override { return frames_.info().recordedArea.height(); }

    bool pictureAt(int64_t frame, Picture& out) override {
        const FrameList& list = frames_.frames();
        const int32_t screenHeight = frames_.info().screenHeight;
        if (frame < applied_ || frame >= static_cast<int64_t>(list.filled())) return false;
        for (; applied_ < frame + 1; ++applied_) {
            const MovieFrame& f = list[static_cast<size_t>(applied_)];
            // A run draws a frame's bands in their stored order.
            for (const FrameBand& band : f.bands) StillCache::applyBand(band, scratch_, screen_, stride_, screenHeight);
        }
        const Rect area = frames_.info().recordedArea;
        if (out.width != width() || out.height != height()) out = Picture(width(), height());
        for (int32_t y = 0; y < out.height; ++y) {
            const int32_t screenRow = area.top + y;
            if (screenRow < 0 || screenRow >= screenHeight) {
                out.fillRect(0, y, out.width, y + 1, 0);
                continue;
            }
            // A 32-bit screen row is the picture's row but for the unused top byte.
            const uint8_t* row = &screen_[static_cast<size_t>(screenHeight - 1 - screenRow) * stride_];
            uint32_t* pixels = &out.at(0, y);
            const size_t count = std::min<size_t>(static_cast<size_t>(out.width), stride_ / 4);
            std::memcpy(pixels, row, count * 4);
            for (size_t x = 0; x < count; ++x) pixels[x] &= 0xFFFFFF;
        }
        return true;
    }

private:
    const FrameData& frames_;
    uint64_t stride_;
    std::vector<uint8_t> screen_;
    std::vector<uint8_t> scratch_;
    int64_t applied_ = 0;
};

constexpr uint32_t kPromptColour = 0xFF2060;
constexpr uint32_t kPromptText = 0xFFFFFF;
constexpr int32_t kPromptLine = 3;
constexpr int32_t kPromptScale = 2;
constexpr int32_t kGlyphStep = 6;  // the scene font's advance

void outline(Picture& picture, const Rect& r) {
    picture.fillRect(r.left - kPromptLine, r.top - kPromptLine, r.right + kPromptLine, r.top, kPromptColour);
    picture.fillRect(r.left - kPromptLine, r.bottom, r.right + kPromptLine, r.bottom + kPromptLine, kPromptColour);
    picture.fillRect(r.left - kPromptLine, r.top, r.left, r.bottom, kPromptColour);
    picture.fillRect(r.right, r.top, r.right + kPromptLine, r.bottom, kPromptColour);
}

}  // namespace

std::unique_ptr<ExportPictureSource> makePictureSource(ExportMovie& movie, const PictureOptions&, std::string& error) {
    const FrameData& frames = *movie.frames;
    const MovieInfo& info = frames.info();
    ScreenLayout layout;
    const std::vector<uint8_t>& screen = frames.screenBuffer();
    if (info.bitsPerPixel != 32 || info.recordedArea.width() <= 0 || info.recordedArea.height() <= 0 ||
        !screenLayout(screen.data(), screen.size(), info.screenWidth, layout) ||
        layout.bandOffset >= screen.size()) {
        error = "its screen is not one the export can draw";
        return nullptr;
    }
    return std::make_unique<BandPictureSource>(frames, layout);
}

void drawHoldPrompt(Picture& picture, const CaptionRecord& hotspot, const std::vector<CaptionRecord>& objects) {
    outline(picture, hotspot.header.bodyRect);
    if (hotspot.hotspot.linked())
        for (const CaptionRecord& object : objects)
            if (object.header.objectId == hotspot.hotspot.partnerId) outline(picture, object.header.bodyRect);
    // The words go under the area, or above it near the bottom, on a band of the
    // outline's colour so that they read on any picture.
    const std::string words = expectedAction(hotspot, objects);
    const Rect& r = hotspot.header.bodyRect;
    const int32_t textWidth = static_cast<int32_t>(words.size()) * kGlyphStep * kPromptScale;
    const int32_t textHeight = 7 * kPromptScale;
    const int32_t pad = 4;
    int32_t x = std::clamp(r.left, 0, std::max(0, picture.width - textWidth - 2 * pad));
    int32_t y = r.bottom + kPromptLine + 2;
    if (y + textHeight + 2 * pad > picture.height) y = std::max(0, r.top - kPromptLine - 2 - textHeight - 2 * pad);
    picture.fillRect(x, y, x + textWidth + 2 * pad, y + textHeight + 2 * pad, kPromptColour);
    drawSceneText(picture, x + pad, y + pad, words, kPromptText, kPromptScale);
}

}  // namespace quillet
