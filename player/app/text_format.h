#pragma once
// Number and message texts for the player's dialogs.

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

// value in decimal with separator between groups of every digits, counted from the
// right: 1234567 gives "1,234,567".
std::string withDigitGroups(uint64_t value, int every = 3, char separator = ',');

// Fills a format text from the string table: "%s" and "%d" take the next argument
// in turn, "%1" to "%9" the argument of that number, "%%" gives a percent sign. A
// missing argument gives nothing, and argument texts are copied, never read as
// formats, so that a movie's own texts cannot change what is filled in.
std::string formatText(const std::string& format, const std::vector<std::string>& arguments);

}  // namespace quillet
