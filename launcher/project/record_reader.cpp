#include "launcher/project/record_reader.h"

#include <cstdio>
#include <memory>

#include "common/byte_reader.h"
#include "launcher/project/text_scrambler.h"

namespace quillet::project {

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

bool RecordReader::open(const std::string& path) {
    close();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    std::string bytes;
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        if (got > kMaxDescriptionSize - bytes.size()) return false;
        bytes.append(block, got);
    }
    if (std::ferror(file.get())) return false;
    openBytes(std::move(bytes));
    return true;
}

void RecordReader::openBytes(std::string bytes) {
    data_ = std::move(bytes);
    position_ = 0;
    open_ = true;
    failed_ = false;
}

void RecordReader::close() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
    open_ = false;
    failed_ = false;
}

uint8_t RecordReader::nextType() const {
    if (failed_ || position_ >= data_.size()) return kRecordUnreadable;
    return static_cast<uint8_t>(data_[position_]);
}

bool RecordReader::readRecord(uint8_t expectedType, const uint8_t*& payload, size_t& length) {
    if (failed_ || !open_) {
        failed_ = true;
        return false;
    }
    ByteReader in(data_.data() + position_, remaining());
    const uint8_t type = remaining() > 0 ? in.u8() : kRecordUnreadable;
    length = in.u16();
    payload = in.view(length);
    if (!in.ok() || type != expectedType) {
        failed_ = true;
        return false;
    }
    position_ += in.position();
    return true;
}

int32_t RecordReader::readInt() {
    const uint8_t* payload = nullptr;
    size_t length = 0;
    if (!readRecord(kRecordInteger, payload, length)) return 0;
    if (length != kIntegerPayloadSize) {
        failed_ = true;
        return 0;
    }
    return ByteReader(payload, length).i32();
}

std::string RecordReader::readText() {
    const uint8_t* payload = nullptr;
    size_t length = 0;
    if (!readRecord(kRecordText, payload, length)) return std::string();
    return unscrambleText(payload, length);
}

}  // namespace quillet::project
