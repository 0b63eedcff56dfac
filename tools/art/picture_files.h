#pragma once
// The BMP, ICO and CUR files the resource scripts take in, made from canvases.

#include <string>
#include <vector>

#include "tools/art/canvas.h"

namespace quillet::art {

// A 24-bit BMP; transparent pixels get background.
std::string bmp24(const Canvas& c, Colour background);
// A 1-bit BMP: white where the picture is transparent, black where it is drawn.
std::string maskBmp(const Canvas& c);
// type 1: icon (hotspots ignored), 2: cursor with its hotspot at (hotX, hotY).
std::string iconFile(int type, const std::vector<Canvas>& images, int hotX = 0, int hotY = 0);

struct PictureFile {
    std::string name;
    std::string bytes;
};

// Writes every file into folder; on failure names the file that could not be written.
bool writePictureFiles(const std::string& folder, const std::vector<PictureFile>& files, std::string& failedName);

}  // namespace quillet::art
