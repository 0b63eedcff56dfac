#include "tools/movietool/rendered_movie.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "player/render/freetype_text.h"
#include "tools/movietool/movie_locate.h"
#include "tools/moviewriter/picture.h"

namespace quillet {
namespace {

bool endsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i]) return false;
    return true;
}

bool writePng(const std::string& path, const render::Picture& picture) {
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!out) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, out.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.at(x, y);
            row[3 * x] = static_cast<uint8_t>(p >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(p >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(out.get()) == 0;
}

}  // namespace

std::unique_ptr<RenderedMovie> openRenderedMovie(const std::string& path, std::string& error) {
    auto movie = std::make_unique<RenderedMovie>();
    movie->file = StdioMovieFile::open(path);
    if (!movie->file) {
        error = "cannot open " + path;
        return nullptr;
    }
    MovieLocation location;
    ObjectSection objects;
    FormatReaders readers{};
    if (!seekFrameStream(*movie->file, location, objects, readers, error)) return nullptr;
    loadFramesAsThePlayerDoes(movie->frames, *movie->file, location.movieEnd, readers);
    movie->text = std::make_unique<render::FreetypeText>();
    movie->renderer =
        std::make_unique<render::MovieRenderer>(movie->frames, std::move(objects.objects), movie->text.get());
    return movie;
}

render::Picture renderFrame(RenderedMovie& movie, int64_t frameIndex, const render::RenderOptions& options) {
    render::Picture picture;
    if (!movie.renderer || !movie.renderer->renderFrame(frameIndex, options, picture)) return render::Picture();
    return picture;
}

bool writePictureFile(const std::string& path, const render::Picture& picture, std::string& error) {
    bool written;
    if (endsWith(path, ".png")) {
        written = writePng(path, picture);
    } else {
        Picture bmp(picture.width, picture.height);
        bmp.pixels = picture.pixels;
        written = writeBmpFile(path, bmp);
    }
    if (!written) error = "cannot write " + path;
    return written;
}

}  // namespace quillet
