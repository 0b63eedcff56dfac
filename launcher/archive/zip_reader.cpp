#include "launcher/archive/zip_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#include "common/byte_reader.h"
#include "launcher/archive/zip_crypto.h"
#include "launcher/archive/zip_paths.h"

namespace quillet {

using zip::ZipEntry;

namespace {

// Blocks of the backward search share this many bytes, so that a signature across a
// block border is found.
constexpr size_t kSearchBlockSize = 4096;
constexpr size_t kSearchOverlap = 3;

[[noreturn]] void fail(int code) { throw CZipException(code); }

uint32_t readU32(const uint8_t* at) {
    return ByteReader(at, 4).u32();
}

// Inflates raw deflate data or copies stored data, never producing more than the
// entry declares.
class EntryDecoder {
public:
    EntryDecoder(const ZipEntry& entry, size_t bufferSize)
        : deflated_(entry.method == zip::kMethodDeflated),
          limit_(entry.uncompressedSize),
          output_(bufferSize) {
        if (deflated_) {
            std::memset(&stream_, 0, sizeof stream_);
            int result = inflateInit2(&stream_, -MAX_WBITS);
            if (result != Z_OK) throw CZipException::fromZlib(result);
            started_ = true;
        }
    }
    ~EntryDecoder() {
        if (started_) inflateEnd(&stream_);
    }
    EntryDecoder(const EntryDecoder&) = delete;
    EntryDecoder& operator=(const EntryDecoder&) = delete;

    // Feeds the next piece of plain (decrypted) data; sink receives the output.
    template <typename Sink>
    void feed(const uint8_t* data, size_t length, Sink&& sink) {
        if (!deflated_) {
            deliver(data, length, sink);
            return;
        }
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = static_cast<uInt>(length);
        while (!ended_ && (stream_.avail_in > 0 || length == 0)) {
            stream_.next_out = output_.data();
            stream_.avail_out = static_cast<uInt>(output_.size());
            int result = inflate(&stream_, Z_NO_FLUSH);
            size_t produced = output_.size() - stream_.avail_out;
            if (produced) deliver(output_.data(), produced, sink);
            if (result == Z_STREAM_END) {
                ended_ = true;
            } else if (result != Z_OK) {
                throw CZipException::fromZlib(result);
            } else if (length == 0 && produced == 0) {
                // No more input and no progress: the stream is cut short.
                throw CZipException::fromZlib(Z_BUF_ERROR);
            }
        }
    }

    // Called after the last input: a deflate stream must have ended.
    template <typename Sink>
    void finish(Sink&& sink) {
        if (deflated_ && !ended_) feed(nullptr, 0, sink);
    }

    uint32_t crc() const { return crc_; }

private:
    template <typename Sink>
    void deliver(const uint8_t* data, size_t length, Sink& sink) {
        if (length > limit_ - produced_) fail(CZipException::kBadZipFile);
        produced_ += length;
        crc_ = static_cast<uint32_t>(crc32(crc_, data, static_cast<uInt>(length)));
        sink(data, length);
    }

    bool deflated_;
    uint64_t limit_;
    uint64_t produced_ = 0;
    uint32_t crc_ = 0;
    std::vector<uint8_t> output_;
    z_stream stream_{};
    bool started_ = false;
    bool ended_ = false;
};

// The folders made for one entry. Unless the entry succeeds they are removed again,
// deepest first, so that a failed entry leaves nothing behind.
class CreatedFolders {
public:
    explicit CreatedFolders(zip::ExtractionFileSystem& fileSystem) : fileSystem_(fileSystem) {}
    ~CreatedFolders() {
        for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
            fileSystem_.removeFolder(*folder);
    }
    CreatedFolders(const CreatedFolders&) = delete;
    CreatedFolders& operator=(const CreatedFolders&) = delete;

    void create(const std::string& path) {
        if (!fileSystem_.createFolders(path, folders_))
            throw CZipException(CZipException::kSystemError, path, fileSystem_.lastError());
    }
    void keep() { folders_.clear(); }

private:
    zip::ExtractionFileSystem& fileSystem_;
    std::vector<std::string> folders_;
};

}  // namespace

void ZipReader::close() {
    file_.reset();
    entries_.clear();
    spanEnds_.clear();
}

const ZipEntry& ZipReader::entryInfo(size_t index) const {
    if (index >= entries_.size()) fail(CZipException::kInternal);
    return entries_[index];
}

void ZipReader::readExactly(uint64_t offset, void* out, size_t length) {
    if (offset > file_->size() || length > file_->size() - offset ||
        file_->readAt(offset, out, length) != length)
        fail(CZipException::kBadZipFile);
}

void ZipReader::open(const std::string& path) {
    close();
    file_ = fileSystem_.openArchive(path);
    if (!file_) throw CZipException(CZipException::kSystemError, path, fileSystem_.lastError());
    try {
        readCentralDirectory(findEndRecord());
    } catch (...) {
        close();
        throw;
    }
}

uint64_t ZipReader::findEndRecord() {
    const uint64_t size = file_->size();
    const uint64_t lowest = size > zip::kEndRecordSearchSpan ? size - zip::kEndRecordSearchSpan : 0;
    std::vector<uint8_t> block(kSearchBlockSize);
    uint64_t blockEnd = size;
    while (blockEnd > lowest && blockEnd - lowest >= 4) {
        uint64_t blockStart = blockEnd - std::min<uint64_t>(kSearchBlockSize, blockEnd - lowest);
        size_t length = static_cast<size_t>(blockEnd - blockStart);
        if (file_->readAt(blockStart, block.data(), length) != length) break;
        for (size_t i = length - 4 + 1; i-- > 0;) {
            if (readU32(&block[i]) == zip::kEndOfCentralDirectorySignature) return blockStart + i;
        }
        if (blockStart == lowest) break;
        blockEnd = blockStart + kSearchOverlap;
    }
    fail(CZipException::kCentralDirectoryNotFound);
}

void ZipReader::readCentralDirectory(uint64_t endRecordOffset) {
    uint8_t fixed[zip::kEndOfCentralDirectorySize] = {};
    size_t available = static_cast<size_t>(
        std::min<uint64_t>(sizeof fixed, file_->size() - endRecordOffset));
    if (file_->readAt(endRecordOffset, fixed, available) != available)
        fail(CZipException::kBadZipFile);
    ByteReader end(fixed, available);
    end.skip(4);  // signature
    end.u16();    // this disk
    end.u16();    // disk with the directory
    end.u16();    // entries on this disk
    const uint16_t entryCount = end.u16();
    const uint32_t directorySize = end.u32();
    const uint32_t directoryOffset = end.u32();
    if (!end.ok() || directoryOffset > endRecordOffset ||
        directorySize > endRecordOffset - directoryOffset ||
        static_cast<uint64_t>(entryCount) * zip::kCentralHeaderSize > directorySize)
        fail(CZipException::kBadZipFile);

    std::vector<uint8_t> directory(directorySize);
    readExactly(directoryOffset, directory.data(), directory.size());
    ByteReader in(directory.data(), directory.size());
    entries_.reserve(entryCount);
    for (uint16_t i = 0; i < entryCount; ++i) {
        if (in.u32() != zip::kCentralHeaderSignature) fail(CZipException::kBadZipFile);
        ZipEntry entry;
        entry.versionMadeBy = in.u16();
        entry.versionNeeded = in.u16();
        entry.flags = in.u16();
        entry.method = in.u16();
        entry.modificationTime = in.u16();
        entry.modificationDate = in.u16();
        entry.crc = in.u32();
        entry.compressedSize = in.u32();
        entry.uncompressedSize = in.u32();
        const uint16_t nameLength = in.u16();
        const uint16_t extraLength = in.u16();
        const uint16_t commentLength = in.u16();
        entry.diskNumberStart = in.u16();
        entry.internalAttributes = in.u16();
        entry.externalAttributes = in.u32();
        entry.localHeaderOffset = in.u32();
        const uint8_t* name = in.view(nameLength);
        const uint8_t* extra = in.view(extraLength);
        const uint8_t* comment = in.view(commentLength);
        if (!in.ok()) fail(CZipException::kBadZipFile);
        entry.name.assign(reinterpret_cast<const char*>(name), nameLength);
        entry.extraField.assign(reinterpret_cast<const char*>(extra), extraLength);
        entry.comment.assign(reinterpret_cast<const char*>(comment), commentLength);
        entries_.push_back(std::move(entry));
    }
    checkSpans(directoryOffset);
}

void ZipReader::checkSpans(uint64_t directoryOffset) {
    std::vector<size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        return entries_[a].localHeaderOffset < entries_[b].localHeaderOffset;
    });
    spanEnds_.assign(entries_.size(), directoryOffset);
    for (size_t k = 0; k < order.size(); ++k) {
        const ZipEntry& entry = entries_[order[k]];
        const uint64_t next =
            k + 1 < order.size() ? entries_[order[k + 1]].localHeaderOffset : directoryOffset;
        // The local header's extra field is not known yet: this is the least the
        // record can take. Its real end is checked against the same limit on extraction.
        const uint64_t shortestEnd = uint64_t{entry.localHeaderOffset} + zip::kLocalHeaderSize +
                                     entry.name.size() + entry.compressedSize;
        if (shortestEnd > next) fail(CZipException::kBadZipFile);
        spanEnds_[order[k]] = next;
    }
}

std::string ZipReader::targetPath(const ZipEntry& entry, const std::string& folder,
                                  bool keepStoredPath, const std::string& newName) const {
    std::vector<std::string> parts;
    if (!zip::safeNameParts(newName.empty() ? entry.name : newName, parts))
        fail(CZipException::kBadZipFile);
    // An empty folder is the current one, not the root.
    std::string path = folder.empty() ? std::string(".") : folder;
    const char separator = fileSystem_.separator();
    if (!keepStoredPath) parts.erase(parts.begin(), parts.end() - 1);
    for (const std::string& part : parts) path += separator + part;
    return path;
}

uint64_t ZipReader::dataOffset(size_t index) {
    const ZipEntry& entry = entries_[index];
    uint8_t fixed[zip::kLocalHeaderSize];
    readExactly(entry.localHeaderOffset, fixed, sizeof fixed);
    ByteReader local(fixed, sizeof fixed);
    const uint32_t signature = local.u32();
    local.u16();  // version needed
    const uint16_t flags = local.u16();
    const uint16_t method = local.u16();
    local.skip(4);  // time and date
    const uint32_t crc = local.u32();
    const uint32_t compressedSize = local.u32();
    const uint32_t uncompressedSize = local.u32();
    const uint16_t nameLength = local.u16();
    const uint16_t extraLength = local.u16();

    bool matches = signature == zip::kLocalHeaderSignature && method == entry.method &&
                   (flags & zip::kFlagEncrypted) == (entry.flags & zip::kFlagEncrypted) &&
                   nameLength == entry.name.size();
    // With a data descriptor the local header may hold zeros for these.
    if (matches && !entry.hasDataDescriptor())
        matches = crc == entry.crc && compressedSize == entry.compressedSize &&
                  uncompressedSize == entry.uncompressedSize;
    if (!matches) fail(CZipException::kBadZipFile);

    std::string name(nameLength, '\0');
    readExactly(entry.localHeaderOffset + sizeof fixed, &name[0], nameLength);
    if (name != entry.name) fail(CZipException::kBadZipFile);

    uint64_t offset = uint64_t{entry.localHeaderOffset} + sizeof fixed + nameLength + extraLength;
    const uint64_t end = spanEnds_[index];
    if (offset > end || entry.compressedSize > end - offset) fail(CZipException::kBadZipFile);
    return offset;
}

bool ZipReader::extractFile(size_t index, const std::string& folder, bool keepStoredPath,
                            const std::string& newName, size_t bufferSize) {
    if (!file_) fail(CZipException::kInternal);
    const ZipEntry& entry = entryInfo(index);
    const std::string target = targetPath(entry, folder, keepStoredPath, newName);
    if (bufferSize == 0) bufferSize = zip::kDefaultBufferSize;

    if (entry.isFolder()) {
        CreatedFolders folders(fileSystem_);
        folders.create(target);
        fileSystem_.applyTimeAndAttributes(target, entry);
        folders.keep();
        return true;
    }

    if (entry.method != zip::kMethodStored && entry.method != zip::kMethodDeflated)
        fail(CZipException::kBadZipFile);
    if (entry.method == zip::kMethodStored && !entry.encrypted() &&
        entry.compressedSize != entry.uncompressedSize)
        fail(CZipException::kBadZipFile);

    uint64_t offset = dataOffset(index);
    uint64_t remaining = entry.compressedSize;

    std::unique_ptr<zip::TraditionalCipher> decryptor;
    if (entry.encrypted()) {
        if (password_.empty() || remaining < zip::kEncryptionHeaderSize)
            fail(CZipException::kBadPassword);
        uint8_t header[zip::kEncryptionHeaderSize];
        readExactly(offset, header, sizeof header);
        decryptor = std::make_unique<zip::TraditionalCipher>(password_);
        decryptor->decrypt(header, sizeof header);
        if (header[sizeof header - 1] != entry.passwordCheckByte()) fail(CZipException::kBadPassword);
        offset += sizeof header;
        remaining -= sizeof header;
    }

    const std::string targetFolder = target.substr(0, target.rfind(fileSystem_.separator()));
    CreatedFolders folders(fileSystem_);
    folders.create(targetFolder);
    std::unique_ptr<zip::PendingFile> pending = fileSystem_.createPending(targetFolder);
    if (!pending) throw CZipException(CZipException::kSystemError, target, fileSystem_.lastError());

    auto write = [&](const uint8_t* data, size_t length) {
        if (!pending->write(data, length))
            throw CZipException(CZipException::kSystemError, target, fileSystem_.lastError());
    };
    EntryDecoder decoder(entry, bufferSize);
    std::vector<uint8_t> input(bufferSize);
    while (remaining > 0) {
        size_t length = static_cast<size_t>(std::min<uint64_t>(remaining, input.size()));
        readExactly(offset, input.data(), length);
        if (decryptor) decryptor->decrypt(input.data(), length);
        decoder.feed(input.data(), length, write);
        offset += length;
        remaining -= length;
    }
    decoder.finish(write);

    if (decoder.crc() != entry.crc) fail(CZipException::kBadCrc);
    if (!pending->commit(target)) throw CZipException(CZipException::kNotRenamed, target);
    folders.keep();
    fileSystem_.applyTimeAndAttributes(target, entry);
    return true;
}

}  // namespace quillet
