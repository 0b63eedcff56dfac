#include "common/json_writer.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quillet {

std::string JsonWriter::quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                // Stored texts are ANSI; bytes outside ASCII are given as Latin-1
                // code points so that the report stays valid UTF-8.
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string JsonWriter::number(double value) {
    if (!std::isfinite(value)) return "null";
    char text[40];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

void JsonWriter::member(const char* key) {
    if (!hasMembers_.empty()) {
        if (hasMembers_.back()) out_ += ",";
        hasMembers_.back() = true;
        out_ += "\n" + std::string(2 * hasMembers_.size(), ' ');
    }
    if (key) out_ += quote(key) + ": ";
}

void JsonWriter::open(const char* key, char bracket) {
    member(key);
    out_ += bracket;
    hasMembers_.push_back(false);
}

void JsonWriter::close(char bracket) {
    bool any = hasMembers_.back();
    hasMembers_.pop_back();
    if (any) out_ += "\n" + std::string(2 * hasMembers_.size(), ' ');
    out_ += bracket;
    if (hasMembers_.empty()) out_ += "\n";
}

void JsonWriter::value(const char* key, const std::string& text) {
    member(key);
    out_ += quote(text);
}

void JsonWriter::value(const char* key, int64_t number) {
    member(key);
    out_ += std::to_string(number);
}

void JsonWriter::value(const char* key, uint64_t number) {
    member(key);
    out_ += std::to_string(number);
}

void JsonWriter::value(const char* key, double number) {
    member(key);
    out_ += JsonWriter::number(number);
}

void JsonWriter::value(const char* key, bool flag) {
    member(key);
    out_ += flag ? "true" : "false";
}

}  // namespace quillet
