#pragma once
// Replaces the font of an extended dialog template, so that a dialog can be built
// in the system's menu font whatever its resource says.

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::launcher {

// The template with pointSize and face as its font (DS_SETFONT is set when it was
// not). Empty when the bytes are not an extended dialog template.
std::vector<uint8_t> withDialogFont(const uint8_t* data, size_t size, uint16_t pointSize,
                                    const std::u16string& face);

// The point size of a font height in pixels at dpi: -(height * 72 / dpi), rounded
// half away from zero as a multiply-divide does.
int pointSizeOfHeight(int height, int dpi);

}  // namespace quillet::launcher
