#pragma once
// The error raised by archive reading: a code and its description.

#include <stdexcept>
#include <string>

namespace quillet {

class CZipException : public std::runtime_error {
public:
    enum Code {
        kGeneric = 100,
        kBadZipFile = 101,
        kBadCrc = 102,
        kNoCallback = 103,
        kAborted = 104,
        kAbortedAction = 105,
        kAbortedSafely = 106,
        kNonRemovable = 107,
        kTooManyVolumes = 108,
        kTooLongFileName = 109,
        kBadPassword = 110,
        kDirectoryWithSize = 111,
        kInternal = 112,
        kNotRemoved = 113,
        kNotRenamed = 114,
        kPlatformNotSupported = 115,
        kCentralDirectoryNotFound = 116,
        kZlibFirst = 500,  // 501 - zlib code, from end of stream (500) to version (507)
        kSystemError = 502,
    };

    // fileName completes the descriptions of 113 and 114.
    explicit CZipException(int code, const std::string& fileName = std::string(),
                           int systemError = 0);

    int code() const { return code_; }
    const std::string& fileName() const { return fileName_; }

    static std::string describe(int code, const std::string& fileName = std::string(),
                                int systemError = 0);
    // The exception for a zlib return code.
    static CZipException fromZlib(int zlibCode);

private:
    int code_;
    std::string fileName_;
};

}  // namespace quillet
