#pragma once
// A CxFile over a memory block: a caller's block of fixed size, or one of its own
// that grows as it is written.

#include <cstdint>
#include <vector>

#include "launcher/app/cx_file.h"

class ORVANE_EXPORT CxMemFile : public CxFile {
public:
    // Over the caller's block, which must outlive the file; with none, Open makes a
    // growing block of the file's own.
    explicit CxMemFile(uint8_t* buffer = nullptr, uint32_t size = 0);
    ~CxMemFile() override;

    bool Open();
    // The block; the file keeps it.
    const uint8_t* GetBuffer() const { return data(); }

    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int32_t offset, int origin) override;
    int32_t Tell() override;
    int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    int32_t Error() override;
    int32_t GetC() override;
    char* GetS(char* buffer, int32_t length) override;
    int32_t Scanf(const char* format, void* output) override;

private:
    const uint8_t* data() const { return external_ ? external_ : owned_.data(); }
    uint8_t* data() { return external_ ? external_ : owned_.data(); }

    uint8_t* external_;
    uint32_t capacity_;  // of the caller's block
    std::vector<uint8_t> owned_;
    uint32_t size_;
    uint32_t position_ = 0;
    bool open_;
    bool error_ = false;
};
