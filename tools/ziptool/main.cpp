// ziptool: lists and extracts project archives with the launcher's own reader.

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "common/help_request.h"
#include "launcher/archive/zip_reader.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  ziptool list ARCHIVE\n"
    "  ziptool extract ARCHIVE FOLDER [--password TEXT]\n"
    "An empty FOLDER is the current folder. list prints name, size, stored size,\n"
    "time and kind: folder, file, or link-as-file for a link stored by a Unix tool,\n"
    "which is extracted as a plain file holding the link's target.\n";

const char* kindOf(const quillet::zip::ZipEntry& entry) {
    if (entry.isFolder()) return "folder";
    // Links are never made: the entry becomes a file holding the link's target.
    return entry.isSymbolicLink() ? "link-as-file" : "file";
}

int list(quillet::ZipReader& reader) {
    for (size_t i = 0; i < reader.count(); ++i) {
        const quillet::zip::ZipEntry& entry = reader.entryInfo(i);
        std::tm local = quillet::zip::dosToLocalTime(entry.modificationDate, entry.modificationTime);
        char when[64];
        std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                      local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
        std::printf("%s\t%u\t%u\t%s\t%s\n", entry.name.c_str(), entry.uncompressedSize,
                    entry.compressedSize, when, kindOf(entry));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (quillet::asksForHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        quillet::ZipReader reader;
        if (args[0] == "list" && args.size() == 2) {
            reader.open(args[1]);
            return list(reader);
        }
        if (args[0] == "extract" && (args.size() == 3 || (args.size() == 5 && args[3] == "--password"))) {
            reader.open(args[1]);
            if (args.size() == 5) reader.setPassword(args[4]);
            for (size_t i = 0; i < reader.count(); ++i) reader.extractFile(i, args[2]);
            return 0;
        }
        std::fputs(kUsage, stderr);
        return 2;
    } catch (const quillet::CZipException& error) {
        std::fprintf(stderr, "ziptool: %d %s\n", error.code(), error.what());
        return 1;
    }
}
