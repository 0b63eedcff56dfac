#include "launcher/app/cx_io_file.h"

#include <climits>

CxIOFile::CxIOFile(std::FILE* stream) : stream_(stream) {}

CxIOFile::~CxIOFile() { Close(); }

bool CxIOFile::Open(const char* fileName, const char* mode) {
    if (stream_) return false;
    stream_ = std::fopen(fileName, mode);
    ownsStream_ = stream_ != nullptr;
    return stream_ != nullptr;
}

bool CxIOFile::Close() {
    bool closed = true;
    if (stream_ && ownsStream_) closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    ownsStream_ = false;
    return closed;
}

size_t CxIOFile::Read(void* buffer, size_t size, size_t count) {
    return stream_ ? std::fread(buffer, size, count, stream_) : 0;
}

size_t CxIOFile::Write(const void* buffer, size_t size, size_t count) {
    return stream_ ? std::fwrite(buffer, size, count, stream_) : 0;
}

bool CxIOFile::Seek(int32_t offset, int origin) {
    return stream_ && std::fseek(stream_, offset, origin) == 0;
}

int32_t CxIOFile::Tell() {
    if (!stream_) return -1;
    long position = std::ftell(stream_);
    return position > INT32_MAX ? -1 : static_cast<int32_t>(position);
}

int32_t CxIOFile::Size() {
    if (!stream_) return -1;
    long position = std::ftell(stream_);
    if (position < 0 || std::fseek(stream_, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(stream_);
    std::fseek(stream_, position, SEEK_SET);
    return size < 0 || size > INT32_MAX ? -1 : static_cast<int32_t>(size);
}

bool CxIOFile::Flush() { return stream_ && std::fflush(stream_) == 0; }
bool CxIOFile::Eof() { return !stream_ || std::feof(stream_) != 0; }
int32_t CxIOFile::Error() { return stream_ ? std::ferror(stream_) : -1; }
bool CxIOFile::PutC(uint8_t byte) { return stream_ && std::fputc(byte, stream_) != EOF; }
int32_t CxIOFile::GetC() { return stream_ ? std::fgetc(stream_) : -1; }

char* CxIOFile::GetS(char* buffer, int32_t length) {
    return stream_ && length > 0 ? std::fgets(buffer, length, stream_) : nullptr;
}

int32_t CxIOFile::Scanf(const char* format, void* output) {
    return stream_ ? std::fscanf(stream_, format, output) : EOF;
}
