#include "tools/orvanetool/project_archive.h"

#include "launcher/viewer/security_rules.h"
#include "tools/orvanetool/traditional_encryptor.h"

#include <minizip/zip.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace quillet::orvanetool {

namespace fs = std::filesystem;

namespace {

constexpr uLong kDosFolderAttribute = 0x10;
constexpr uLong kFlagEncrypted = 0x0001;

struct ZipCloser {
    void operator()(void* zip) const { zipClose(zip, nullptr); }
};

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's modification time as local broken-down time, as ZIP stores it.
zip_fileinfo infoFor(const fs::path& path, bool folder) {
    zip_fileinfo info{};
    struct stat status {};
    std::time_t when = ::stat(path.string().c_str(), &status) == 0 ? status.st_mtime : std::time(nullptr);
    std::tm local{};
    if (const std::tm* converted = std::localtime(&when)) local = *converted;
    if (local.tm_year < 80) local = std::tm{0, 0, 0, 1, 0, 80, 0, 0, 0, 0, nullptr};
    info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
    info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
    info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
    info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
    info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
    info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
    info.external_fa = folder ? kDosFolderAttribute : 0;
    return info;
}

// Deflates data with zlib at its best compression, as a raw stream.
std::string deflateRaw(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("zlib cannot start");
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("zlib cannot compress");
    return out;
}

// minizip writes the archive's structure; the data goes in raw, compressed by zlib
// and encrypted here. (The encryption of the minizip on this system writes headers
// that no reader accepts.)
void addEntry(zipFile zip, const std::string& name, const zip_fileinfo& info, const std::string& data,
              const std::string& password) {
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    std::string stored = deflateRaw(data);
    if (!password.empty()) stored = encryptEntry(password, stored, static_cast<uint32_t>(crc));
    if (zipOpenNewFileInZip4_64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_BEST_COMPRESSION, 1, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                                0, password.empty() ? 0 : kFlagEncrypted, 0) != ZIP_OK)
        throw std::runtime_error("cannot add " + name + " to the archive");
    size_t written = 0;
    while (written < stored.size()) {
        const unsigned piece = static_cast<unsigned>(std::min<size_t>(stored.size() - written, 1u << 20));
        if (zipWriteInFileInZip(zip, stored.data() + written, piece) != ZIP_OK)
            throw std::runtime_error("cannot write " + name + " into the archive");
        written += piece;
    }
    if (zipCloseFileInZipRaw64(zip, data.size(), crc) != ZIP_OK)
        throw std::runtime_error("cannot finish " + name + " in the archive");
}

// Every file and folder below folder, in name order.
std::vector<fs::path> contentPaths(const std::string& folder) {
    std::vector<fs::path> paths;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string storedName(const fs::path& path, const std::string& folder) {
    std::string name = fs::relative(path, folder).generic_string();
    if (fs::is_directory(path)) name += '/';
    return name;
}

}  // namespace

std::string refusedContentName(const std::string& folder) {
    for (const fs::path& path : contentPaths(folder)) {
        const std::string name = storedName(path, folder);
        // What the security component answers when the launcher asks for the target.
        if (viewer::targetNameOf(name).empty()) return name;
    }
    return std::string();
}

ArchiveSummary writeProjectArchive(const std::string& folder, const std::string& archivePath,
                                   const std::string& password) {
    const std::string refused = refusedContentName(folder);
    if (!refused.empty()) throw std::runtime_error("the launcher would refuse to extract " + refused);
    const std::vector<fs::path> paths = contentPaths(folder);

    std::unique_ptr<void, ZipCloser> zip(zipOpen64(archivePath.c_str(), APPEND_STATUS_CREATE));
    if (!zip) throw std::runtime_error("cannot create " + archivePath);
    ArchiveSummary summary;
    for (const fs::path& path : paths) {
        const bool isFolder = fs::is_directory(path);
        const std::string name = storedName(path, folder);
        if (isFolder) {
            // Folders hold no data to protect.
            addEntry(zip.get(), name, infoFor(path, true), std::string(), std::string());
            ++summary.folders;
        } else if (fs::is_regular_file(path)) {
            addEntry(zip.get(), name, infoFor(path, false), readWhole(path), password);
            ++summary.files;
        }
    }
    if (zipClose(zip.release(), nullptr) != ZIP_OK) throw std::runtime_error("cannot finish " + archivePath);
    return summary;
}

}  // namespace quillet::orvanetool
