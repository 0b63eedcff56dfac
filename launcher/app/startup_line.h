#pragma once
// The launcher's start-up line: from its command line, or else the first quoted text
// of the disc's AutoPlay information file. "1,Title,Company": the window is shown
// when the leading number is not 0, with the title and company lines.

#include <cstddef>
#include <string>

namespace quillet::launcher {

constexpr char kAutoPlayFileName[] = "autorun.inf";
// Only this much of the AutoPlay information file is read.
constexpr size_t kAutoPlayReadLimit = 10000;

struct StartupLine {
    int showWindow = 0;
    std::string title;
    std::string company;
};

StartupLine parseStartupLine(const std::string& line);

// The first quoted text of an AutoPlay information file's text (quotes included),
// with line ends turned into spaces; empty when there is no quote.
std::string quotedStartupLine(const std::string& autoPlayText);

// Reads at most kAutoPlayReadLimit bytes of the file, in text mode; empty when it
// cannot be read.
std::string readAutoPlayText(const std::string& path);

}  // namespace quillet::launcher
