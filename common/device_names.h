#pragma once
// Names that Windows gives to devices in every folder: a file of such a name, with
// any extension, opens the device instead. Readers of stored names refuse them.

#include <string>

namespace quillet {

// part is one name without folders. Trailing blanks before the extension and the
// letters' case do not matter; COM and LPT take a digit, or a superscript 1, 2 or 3
// (in the ANSI code page or in UTF-8), which Windows reads as a digit.
bool isDeviceName(const std::string& part);

}  // namespace quillet
