#include "tools/movietool/export_pictures.h"

#include <algorithm>

#include "player/render/freetype_text.h"
#include "player/render/movie_renderer.h"
#include "tools/movietool/export_movie.h"
#include "tools/movietool/export_timeline.h"
#include "tools/moviewriter/desktop_scene.h"

namespace quillet {
namespace {

// The pictures of the portable renderer: each the still of its frame, made from
// the one before it by applying only the bands in between.
class RenderedPictureSource : public ExportPictureSource {
public:
    RenderedPictureSource(ExportMovie& movie, const PictureOptions& options)
        : renderer_(*movie.frames, movie.objects.objects, &text_) {
        options_.cursor = options.cursor;
        options_.objects = options.objects;
        options_.logo = options.logo;
        options_.width = options.width;
        options_.height = options.height;
    }

    int32_t width() const override { return options_.width > 0 ? options_.width : renderer_.shownWidth(); }
    int32_t height() const override { return options_.height > 0 ? options_.height : renderer_.shownHeight(); }

    bool pictureAt(int64_t frame, Picture& out) override {
        if (!renderer_.renderFrame(frame, options_, rendered_)) return false;
        out.width = rendered_.width;
        out.height = rendered_.height;
        out.pixels.swap(rendered_.pixels);
        return true;
    }

private:
    render::FreetypeText text_;
    render::MovieRenderer renderer_;
    render::RenderOptions options_;
    render::Picture rendered_;
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

std::unique_ptr<ExportPictureSource> makePictureSource(ExportMovie& movie, const PictureOptions& options,
                                                       std::string& error) {
    const MovieInfo& info = movie.frames->info();
    auto source = std::make_unique<RenderedPictureSource>(movie, options);
    Picture probe;
    if (info.recordedArea.width() <= 0 || info.recordedArea.height() <= 0 || !source->pictureAt(0, probe)) {
        error = "its screen is not one that can be drawn";
        return nullptr;
    }
    return source;
}

void drawHoldPrompt(Picture& picture, const CaptionRecord& hotspot, const std::vector<CaptionRecord>& objects,
                    int32_t shownWidth, int32_t shownHeight) {
    // Objects lie in the recorded area; a picture of another size is its stretch.
    const auto place = [&](const Rect& r) {
        if (shownWidth <= 0 || shownHeight <= 0) return r;
        const auto x = [&](int32_t v) { return static_cast<int32_t>(int64_t{v} * picture.width / shownWidth); };
        const auto y = [&](int32_t v) { return static_cast<int32_t>(int64_t{v} * picture.height / shownHeight); };
        return Rect{x(r.left), y(r.top), x(r.right), y(r.bottom)};
    };
    const Rect r = place(hotspot.header.bodyRect);
    outline(picture, r);
    if (hotspot.hotspot.linked())
        for (const CaptionRecord& object : objects)
            if (object.header.objectId == hotspot.hotspot.partnerId) outline(picture, place(object.header.bodyRect));
    // The words go under the area, or above it near the bottom, on a band of the
    // outline's colour so that they read on any picture.
    const std::string words = expectedAction(hotspot, objects);
    const int32_t textWidth = static_cast<int32_t>(words.size()) * kGlyphStep * kPromptScale;
    const int32_t textHeight = 7 * kPromptScale;
    const int32_t pad = 4;
    const int32_t x = std::clamp(r.left, 0, std::max(0, picture.width - textWidth - 2 * pad));
    int32_t y = r.bottom + kPromptLine + 2;
    if (y + textHeight + 2 * pad > picture.height) y = std::max(0, r.top - kPromptLine - 2 - textHeight - 2 * pad);
    picture.fillRect(x, y, x + textWidth + 2 * pad, y + textHeight + 2 * pad, kPromptColour);
    drawSceneText(picture, x + pad, y + pad, words, kPromptText, kPromptScale);
}

}  // namespace quillet
