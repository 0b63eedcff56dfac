#pragma once
// Bounds-checked little-endian reader over a byte span. A read past the end sets a
// sticky failure flag and yields zeros, so a caller decodes a whole record and tests
// ok() once at the end.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/geometry.h"

namespace quillet {

class ByteReader {
public:
    ByteReader(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}

    bool ok() const { return ok_; }
    size_t position() const { return position_; }
    size_t remaining() const { return size_ - position_; }

    uint8_t u8() {
        uint8_t v = 0;
        take(&v, 1);
        return v;
    }
    uint16_t u16() {
        uint8_t b[2] = {};
        take(b, 2);
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
    uint32_t u32() {
        uint8_t b[4] = {};
        take(b, 4);
        return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
               (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    Point point() {
        Point p;
        p.x = i32();
        p.y = i32();
        return p;
    }
    Rect rect() {
        Rect r;
        r.left = i32();
        r.top = i32();
        r.right = i32();
        r.bottom = i32();
        return r;
    }

    // Copies n bytes; on failure the destination is zero-filled.
    void bytes(void* out, size_t n) {
        if (!take(out, n)) std::memset(out, 0, n);
    }

    // A fixed-size NUL-padded text field; the result stops at the first NUL.
    std::string text(size_t fieldSize) {
        if (!check(fieldSize)) return std::string();
        const char* start = reinterpret_cast<const char*>(data_ + position_);
        size_t length = strnlen(start, fieldSize);
        position_ += fieldSize;
        return std::string(start, length);
    }

    void skip(size_t n) {
        if (check(n)) position_ += n;
    }

    // A pointer to the next n bytes, or nullptr (and failure) when they are not there.
    const uint8_t* view(size_t n) {
        if (!check(n)) return nullptr;
        const uint8_t* p = data_ + position_;
        position_ += n;
        return p;
    }

private:
    bool check(size_t n) {
        if (!ok_ || n > size_ - position_) {
            ok_ = false;
            return false;
        }
        return true;
    }
    bool take(void* out, size_t n) {
        if (!check(n)) return false;
        std::memcpy(out, data_ + position_, n);
        position_ += n;
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool ok_ = true;
};

// The matching writer, used by the movie writer and by tests that build records.
class ByteWriter {
public:
    explicit ByteWriter(std::string& out) : out_(out) {}

    void u8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) u8(static_cast<uint8_t>(v >> shift));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void point(const Point& p) {
        i32(p.x);
        i32(p.y);
    }
    void rect(const Rect& r) {
        i32(r.left);
        i32(r.top);
        i32(r.right);
        i32(r.bottom);
    }
    void bytes(const void* data, size_t n) { out_.append(static_cast<const char*>(data), n); }
    void bytes(const std::string& data) { out_.append(data); }
    // A NUL-padded field of fieldSize bytes; longer text is cut to leave one NUL.
    void text(const std::string& value, size_t fieldSize) {
        size_t n = value.size() < fieldSize ? value.size() : fieldSize - 1;
        out_.append(value, 0, n);
        out_.append(fieldSize - n, '\0');
    }
    void zeros(size_t n) { out_.append(n, '\0'); }

private:
    std::string& out_;
};

}  // namespace quillet
