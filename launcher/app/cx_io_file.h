#pragma once
// A CxFile over a C library stream.

#include <cstdio>

#include "launcher/app/cx_file.h"

class ORVANE_EXPORT CxIOFile : public CxFile {
public:
    // Works on stream without owning it; Open makes a stream of its own.
    explicit CxIOFile(std::FILE* stream = nullptr);
    ~CxIOFile() override;

    bool Open(const char* fileName, const char* mode);
    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int32_t offset, int origin) override;
    int32_t Tell() override;
    int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    int32_t Error() override;
    bool PutC(uint8_t byte) override;
    int32_t GetC() override;
    char* GetS(char* buffer, int32_t length) override;
    int32_t Scanf(const char* format, void* output) override;

private:
    std::FILE* stream_;
    bool ownsStream_ = false;
};
