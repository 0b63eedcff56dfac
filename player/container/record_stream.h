#pragma once
// Reading the length-prefixed records of the movie's sections (objects, sounds) from
// the shared file, through one bounds-checked stream.

#include <cstdint>
#include <cstring>
#include <string>

#include "common/byte_reader.h"
#include "player/container/buffered_reader.h"

namespace quillet {

// Stored bytes of one zlib stream and the length they inflate to.
struct CompressedBlock {
    uint32_t rawSize = 0;
    std::string packed;
    bool empty() const { return packed.empty(); }
};

// Sequential reads of the stored records of a section, with a sticky failure: a
// read that the rest of the file cannot satisfy fails, yields zeros, and nothing
// is allocated for it. Callers test ok() once a record is read.
class RecordStream {
public:
    static constexpr size_t kWordSize = 4;

    explicit RecordStream(BufferedReader& in) : in_(in) {}

    bool ok() const { return ok_; }
    uint64_t remaining() const { return in_.remaining(); }

    void fixed(void* out, size_t n) {
        if (!ok_ || n > in_.remaining() || !in_.read(out, n)) fail(out, n);
    }
    uint32_t u32() {
        uint8_t b[kWordSize] = {};
        fixed(b, sizeof b);
        return ByteReader(b, sizeof b).u32();
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint16_t u16() {
        uint8_t b[2] = {};
        fixed(b, sizeof b);
        return ByteReader(b, sizeof b).u16();
    }
    Point point() {
        uint8_t b[2 * kWordSize] = {};
        fixed(b, sizeof b);
        return ByteReader(b, sizeof b).point();
    }
    Rect rect() {
        uint8_t b[4 * kWordSize] = {};
        fixed(b, sizeof b);
        return ByteReader(b, sizeof b).rect();
    }
    std::string bytes(uint64_t n) {
        if (!ok_ || n > in_.remaining()) {
            ok_ = false;
            return std::string();
        }
        std::string out(static_cast<size_t>(n), '\0');
        fixed(out.data(), out.size());
        return out;
    }
    // A u32 length and that many bytes.
    std::string counted() { return bytes(u32()); }
    void skip(uint64_t n) {
        if (!ok_ || n > in_.remaining()) {
            ok_ = false;
            return;
        }
        in_.skip(n);
    }
    CompressedBlock block() {
        CompressedBlock b;
        b.rawSize = u32();
        b.packed = bytes(u32());
        return b;
    }
    // The next two words without taking them.
    bool peekTwo(uint32_t& first, uint32_t& second) {
        uint8_t b[2 * kWordSize] = {};
        if (!ok_ || !in_.peek(b, sizeof b)) return false;
        ByteReader r(b, sizeof b);
        first = r.u32();
        second = r.u32();
        return true;
    }

private:
    void fail(void* out, size_t n) {
        ok_ = false;
        std::memset(out, 0, n);
    }
    BufferedReader& in_;
    bool ok_ = true;
};

}  // namespace quillet
