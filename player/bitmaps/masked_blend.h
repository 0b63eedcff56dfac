#pragma once
// Compositing an object's picture and mask onto 32-bit pixels: each target pixel
// becomes (target OR mask) AND picture, what an OR of the mask and then an AND of
// the picture do as two block transfers, done in one pass.

#include <cstdint>

namespace quillet {

void blendMaskedRow(uint32_t* target, const uint32_t* picture, const uint32_t* mask, int count);

}  // namespace quillet
