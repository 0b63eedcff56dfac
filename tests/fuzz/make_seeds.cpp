// Writes the seed corpus of the frame stream fuzzer: small streams made by the
// movie writer, with bands, cursor shapes, a logo, holds and an empty run.

#include <cstdio>
#include <fstream>
#include <string>

#include "tools/moviewriter/movie_writer.h"

using namespace quillet;

namespace {

void save(const std::string& folder, const std::string& name, const std::string& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];

    MovieWriter plain;
    plain.setScreen({16, 24, 32});
    plain.setBandHeight(4);
    Picture picture(16, 24, 0x336699);
    FrameSpec spec;
    for (int i = 0; i < 4; ++i) {
        picture.fillRect(0, i * 5, 16, i * 5 + 3, 0x010203u * i);
        spec.delayMs = 40 + i;
        spec.holdMs = i == 2 ? -100 : 0;
        spec.inputMessage = i == 1 ? 256 : 0;
        spec.inputWParam = 229;
        spec.cursorId = 5;
        plain.addFrame(picture, spec);
    }
    save(folder, "plain.bin", plain.frameStream());

    MovieWriter shapes = plain;
    shapes.addCursorShape(5, packedDib(Picture(2, 2, 0xFFFFFF)), packedMonochromeDib(2, 4, {1, 0, 0, 1, 0, 1, 1, 0}));
    LogoRecord logo;
    logo.corner = 3;
    shapes.setLogo(logo, packedDib(Picture(3, 3, 0x00FF00)));
    save(folder, "shapes.bin", shapes.frameStream());

    MovieWriter run = plain;
    for (int i = 0; i < 22; ++i) run.addStoredFrame(FrameRecord(), {});
    save(folder, "empty-run.bin", run.frameStream());
    return 0;
}
