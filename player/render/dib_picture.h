#pragma once
// Device-independent bitmaps made into pictures, as drawing them into a 32-bit
// buffer does: colour tables looked up, 16-bit fields widened by repeating their
// top bits, rows turned to run from the top.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/render/picture.h"

namespace quillet {
namespace render {

// A packed DIB (header, colour table or masks, rows); false when the bytes do not
// hold it whole or its form is one the player never stores (compressed rows).
bool pictureFromPackedDib(const uint8_t* dib, size_t length, Picture& picture);
bool pictureFromPackedDib(const std::vector<uint8_t>& dib, Picture& picture);

// Bottom-up rows of the screen picture, in the format the packed DIB at the start
// of screenFormat describes (its own height ignored), height rows high; false when
// the format is not one rows can be read in or the rows are too few.
bool pictureFromScreenRows(const std::vector<uint8_t>& screenFormat, const uint8_t* rows, size_t length,
                           int32_t height, Picture& picture);

}  // namespace render
}  // namespace quillet
