#pragma once
// The reader of the project description: a sequence of typed records, each a type
// byte, a 16-bit payload length and the payload. A read that does not find what it
// expects marks the reader failed; every later read then yields 0 or an empty text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillet::project {

constexpr uint8_t kRecordInteger = 1;
constexpr uint8_t kRecordText = 2;
// The type of a record whose tag cannot be read.
constexpr uint8_t kRecordUnreadable = 255;
// Type byte and payload length.
constexpr size_t kRecordHeaderSize = 3;
constexpr size_t kIntegerPayloadSize = 4;
// A description larger than this is not one: it is not read at all.
constexpr size_t kMaxDescriptionSize = 16u << 20;

class RecordReader {
public:
    // Reads the whole file (read-only, binary). False when it cannot be read or is
    // larger than a description can be.
    bool open(const std::string& path);
    // The same over bytes already in memory.
    void openBytes(std::string bytes);
    void close();

    int32_t readInt();
    std::string readText();
    // The type of the next record without reading it; kRecordUnreadable at the end.
    uint8_t nextType() const;

    bool isOpen() const { return open_; }
    bool failed() const { return failed_; }
    size_t remaining() const { return data_.size() - position_; }

private:
    // Reads the next record's header and payload. False (and failed) when its type
    // is not expected or its payload is longer than what remains.
    bool readRecord(uint8_t expectedType, const uint8_t*& payload, size_t& length);

    std::string data_;
    size_t position_ = 0;
    bool open_ = false;
    bool failed_ = false;
};

}  // namespace quillet::project
