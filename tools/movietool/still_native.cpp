// movietool still without the platform: one frame drawn by the portable renderer,
// with the options and meaning of the Windows tool's, written as BMP or PNG.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/movietool/rendered_movie.h"

namespace quillet {

int runStill(const std::vector<std::string>& args) {
    if (args.size() < 3) {
        std::fputs("usage: movietool still MOVIE FRAME OUT.bmp|OUT.png [--no-cursor] [--no-objects] [--no-logo] "
                   "[--size WxH]\n",
                   stderr);
        return 2;
    }
    render::RenderOptions options;
    for (size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "--no-cursor") options.cursor = false;
        else if (args[i] == "--no-objects") options.objects = false;
        else if (args[i] == "--no-logo") options.logo = false;
        else if (args[i] == "--size" && i + 1 < args.size() &&
                 std::sscanf(args[++i].c_str(), "%dx%d", &options.width, &options.height) == 2 && options.width > 0 &&
                 options.height > 0 && options.width <= 16384 && options.height <= 16384) {
        } else {
            std::fprintf(stderr, "movietool: bad option %s\n", args[i].c_str());
            return 2;
        }
    }
    std::string error;
    std::unique_ptr<RenderedMovie> movie = openRenderedMovie(args[0], error);
    if (!movie) {
        std::fprintf(stderr, "movietool: %s: %s\n", args[0].c_str(), error.c_str());
        return 1;
    }
    char* end = nullptr;
    const long long frame = std::strtoll(args[1].c_str(), &end, 10);
    const int64_t count = movie->renderer->frameCount();
    if (args[1].empty() || *end || frame < 0 || frame >= count) {
        std::fprintf(stderr, "movietool: frame %s is not in the movie (%lld frames)\n", args[1].c_str(),
                     static_cast<long long>(count));
        return 1;
    }
    render::Picture picture = renderFrame(*movie, frame, options);
    if (picture.empty()) {
        std::fprintf(stderr, "movietool: frame %lld cannot be drawn\n", frame);
        return 1;
    }
    if (!writePictureFile(args[2], picture, error)) {
        std::fprintf(stderr, "movietool: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace quillet
