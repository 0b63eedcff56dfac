#pragma once
// Pictures stored with the objects of a movie being written, so that a player need
// not render them: each kind renders itself as it would when drawn.

#include "player/objects/object_section.h"

namespace quillet {

// Renders every object that stores a picture and marks the section as carrying
// them; objects that store none get an empty block.
void storeRenderedPictures(ObjectSection& section);

}  // namespace quillet
