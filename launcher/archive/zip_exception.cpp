#include "launcher/archive/zip_exception.h"

#include <cerrno>
#include <cstring>

namespace quillet {
namespace {

constexpr int kLastRuntimeErrorNumber = 30;

// The runtime's texts for the standard error numbers, as the Windows runtime words
// them, so that the descriptions do not depend on the host.
const char* const kRuntimeErrorTexts[kLastRuntimeErrorNumber + 1] = {
    "No error",
    "Operation not permitted",
    "No such file or directory",
    "No such process",
    "Interrupted function call",
    "Input/output error",
    "No such device or address",
    "Arg list too long",
    "Exec format error",
    "Bad file descriptor",
    "No child processes",
    "Resource temporarily unavailable",
    "Not enough space",
    "Permission denied",
    "Bad address",
    "Unknown error",
    "Resource device",
    "File exists",
    "Improper link",
    "No such device",
    "Not a directory",
    "Is a directory",
    "Invalid argument",
    "Too many open files in system",
    "Too many open files",
    "Inappropriate I/O control operation",
    "Unknown error",
    "File too large",
    "No space left on device",
    "Invalid seek",
    "Read-only file system",
};

// A hostile name can make a path of 64 KB: a message shows its start and its end.
constexpr size_t kLongestPathShown = 260;
constexpr size_t kPathStartShown = 80;
constexpr char kCut[] = "...";

std::string shownPath(const std::string& path) {
    if (path.size() <= kLongestPathShown) return path;
    size_t head = kPathStartShown;
    size_t tail = path.size() - (kLongestPathShown - kPathStartShown - (sizeof kCut - 1));
    // Cut between characters, not inside a UTF-8 sequence.
    auto continues = [&](size_t at) { return (static_cast<unsigned char>(path[at]) & 0xC0) == 0x80; };
    while (head > 0 && continues(head)) --head;
    while (tail < path.size() && continues(tail)) ++tail;
    return path.substr(0, head) + kCut + path.substr(tail);
}

}  // namespace

std::string CZipException::describe(int code, const std::string& fileName, int systemError) {
    switch (code) {
    case 101: return "Damaged or not a zip file";
    case 102: return "Crc mismatched";
    case 103: return "No disk-spanning callback object set";
    case 104: return "Disk change aborted";
    case 105: return "Action aborted";
    case 106: return "Action aborted safely";
    case 107: return "The device selected for the disk spanning archive is non removable";
    case 108: return "Limit of the maximum volumes reached";
    case 109: return "The filename of the file being added to the archive is too long";
    case 110: return "Incorrect password set for the file being decrypted";
    case 111: return "During testing found the directory with the size greater than 0";
    case 112: return "Internal error";
    case 113: return "Error while removing a file (" + shownPath(fileName) + ")";
    case 114: return "Error while renaming a file (" + shownPath(fileName) + ")";
    case 115: return "Cannot create the file for the specified platform";
    case 116:
        return "The central directory was not found in the archive (or you were trying to "
               "open not the last disk of a multi-disk archive)";
    case 500: return "Zlib Library error (end of stream)";
    case 502: {
        int number = systemError ? systemError : errno;
        if (number >= 1 && number <= kLastRuntimeErrorNumber) return kRuntimeErrorTexts[number];
        return std::strerror(number);
    }
    case 503: return "Zlib library error (stream error)";
    case 504: return "Zlib library error (data error)";
    case 505: return "Not enough memory";
    case 506: return "Zlib library error (buffer error)";
    case 507: return "Zlib library error (version error)";
    default:
        if (code >= 1 && code <= kLastRuntimeErrorNumber) return kRuntimeErrorTexts[code];
        return "Unknown error";
    }
}

CZipException::CZipException(int code, const std::string& fileName, int systemError)
    : std::runtime_error(describe(code, fileName, systemError)), code_(code), fileName_(fileName) {}

CZipException CZipException::fromZlib(int zlibCode) { return CZipException(501 - zlibCode); }

}  // namespace quillet
