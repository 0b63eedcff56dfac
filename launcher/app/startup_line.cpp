#include "launcher/app/startup_line.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "common/leading_number.h"

namespace quillet::launcher {

namespace {

std::string trimmed(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

}  // namespace

StartupLine parseStartupLine(const std::string& line) {
    std::string text;
    for (char c : line)
        if (c != '"') text += c;
    StartupLine result;
    const size_t firstComma = text.find(',');
    if (firstComma == std::string::npos) {
        result.company = trimmed(text);
        return result;
    }
    result.showWindow = leadingNumber(text.substr(0, firstComma));
    const size_t secondComma = text.find(',', firstComma + 1);
    if (secondComma == std::string::npos) {
        result.title = trimmed(text.substr(firstComma + 1));
        return result;
    }
    result.title = trimmed(text.substr(firstComma + 1, secondComma - firstComma - 1));
    result.company = trimmed(text.substr(secondComma + 1));
    return result;
}

std::string quotedStartupLine(const std::string& autoPlayText) {
    std::string text = autoPlayText;
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    const size_t open = text.find('"');
    if (open == std::string::npos) return std::string();
    const size_t close = text.find('"', open + 1);
    return close == std::string::npos ? text.substr(open) : text.substr(open, close - open + 1);
}

std::string readAutoPlayText(const std::string& path) {
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "r"));
    if (!file) return std::string();
    std::string text(kAutoPlayReadLimit, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file.get()));
    return text;
}

}  // namespace quillet::launcher
