// Draws the launcher's icon and writes it as the ICO file its resource script takes
// in. Runs on the build machine.
//
//   draw_launcher_art OUTPUT_FOLDER

#include <cstdio>

#include "tools/art/canvas.h"
#include "tools/art/picture_files.h"

namespace {

using namespace quillet::art;

// The launcher's icon: a disc with a blue label ring around its hole.
Canvas launcherIcon(int size) {
    Canvas c(size, size);
    const double s = size / 32.0, centre = 16 * s;
    c.disc(centre, centre, 15 * s, vertical(rgb(235, 238, 245), rgb(160, 168, 185), 0, size));
    c.ring(centre, centre, 10 * s, 5 * s, rgb(30, 90, 210));
    c.disc(centre, centre, 2.5 * s, kClear);
    c.outline(rgb(40, 45, 60));
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_launcher_art OUTPUT_FOLDER\n");
        return 2;
    }
    std::string failed;
    if (!writePictureFiles(argv[1], {{"launcher.ico", iconFile(1, {launcherIcon(32), launcherIcon(16)})}}, failed)) {
        std::fprintf(stderr, "draw_launcher_art: cannot write %s/%s\n", argv[1], failed.c_str());
        return 1;
    }
    return 0;
}
