#pragma once
// A movie opened for drawing without the platform: its frames read as the player
// reads them, its objects, and a renderer over both. renderFrame is the one call
// the tools draw with.

#include <memory>
#include <string>

#include "player/container/frame_data.h"
#include "player/container/movie_file.h"
#include "player/render/movie_renderer.h"
#include "player/render/text_painter.h"

namespace quillet {

struct RenderedMovie {
    std::unique_ptr<MovieFile> file;
    PackedDibFactory bitmaps;
    FrameData frames{bitmaps};
    std::unique_ptr<render::TextPainter> text;
    std::unique_ptr<render::MovieRenderer> renderer;
};

// Opens the movie at path (behind a player or bare); none with a reason.
std::unique_ptr<RenderedMovie> openRenderedMovie(const std::string& path, std::string& error);

// The still of frame frameIndex with cursor, objects and logo as options say; an
// empty picture for a frame the movie does not have.
render::Picture renderFrame(RenderedMovie& movie, int64_t frameIndex, const render::RenderOptions& options);

// Writes a picture as a BMP file or, for a name ending in ".png", a PNG file.
bool writePictureFile(const std::string& path, const render::Picture& picture, std::string& error);

}  // namespace quillet
