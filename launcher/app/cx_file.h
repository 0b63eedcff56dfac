#pragma once
// File access for the viewer library: the launcher exports this small family of
// classes under these names and does not use them itself. A file over a C stream
// and a file over a memory block share one interface.

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#define ORVANE_EXPORT __declspec(dllexport)
#else
#define ORVANE_EXPORT
#endif

class ORVANE_EXPORT CxFile {
public:
    CxFile() = default;
    CxFile(const CxFile&) = delete;
    CxFile& operator=(const CxFile&) = delete;
    virtual ~CxFile();

    virtual bool Close() = 0;
    // Reads up to count items of size bytes; returns the items read.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    // origin as for fseek: SEEK_SET, SEEK_CUR or SEEK_END.
    virtual bool Seek(int32_t offset, int origin) = 0;
    virtual int32_t Tell() = 0;
    virtual int32_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual int32_t Error() = 0;
    virtual bool PutC(uint8_t byte);
    // The next byte, or -1 at the end.
    virtual int32_t GetC() = 0;
    // Reads a line of at most length - 1 bytes (with its line end) into buffer.
    virtual char* GetS(char* buffer, int32_t length) = 0;
    // One conversion of format into output; returns what scanf returns.
    virtual int32_t Scanf(const char* format, void* output) = 0;
};
