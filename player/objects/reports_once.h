#pragma once
// Failures met while reading objects are told to the viewer once per kind for each
// movie: a movie with two thousand damaged pictures gives one box, not two
// thousand to click through before it opens.

#include <set>
#include <string>

namespace quillet {

class ReportsOncePerKind {
public:
    // True for the first report of its kind since the last clear. A report's kind
    // is its first line: the report of a missing sound names the file on its second.
    bool first(const std::string& text) { return kinds_.insert(text.substr(0, text.find('\n'))).second; }
    void clear() { kinds_.clear(); }

private:
    std::set<std::string> kinds_;
};

}  // namespace quillet
