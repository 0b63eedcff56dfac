#pragma once
// A small writer of indented JSON for the command-line tools' reports.

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

class JsonWriter {
public:
    void beginObject(const char* key = nullptr) { open(key, '{'); }
    void endObject() { close('}'); }
    void beginArray(const char* key = nullptr) { open(key, '['); }
    void endArray() { close(']'); }

    void value(const char* key, const std::string& text);
    void value(const char* key, const char* text) { value(key, std::string(text)); }
    void value(const char* key, int64_t number);
    void value(const char* key, int32_t number) { value(key, static_cast<int64_t>(number)); }
    void value(const char* key, uint32_t number) { value(key, static_cast<int64_t>(number)); }
    void value(const char* key, uint64_t number);
    void value(const char* key, double number);
    void value(const char* key, bool flag);

    const std::string& text() const { return out_; }

    static std::string quote(const std::string& text);
    // The shortest decimal text that reads back as the same double.
    static std::string number(double value);

private:
    void open(const char* key, char bracket);
    void close(char bracket);
    void member(const char* key);

    std::string out_;
    std::vector<bool> hasMembers_;
};

}  // namespace quillet
