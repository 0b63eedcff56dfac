#include "tools/moviewriter/movie_writer.h"

#include <zlib.h>

#include <ctime>
#include <stdexcept>

#include "common/byte_reader.h"
#include "player/container/compressed_block.h"
#include "player/container/movie_format.h"

namespace quillet {
namespace {

constexpr int kHeaderCopyLevel = 9;
constexpr int kBandLevel = 6;
constexpr uint32_t kBitmapInfoHeaderSize = 40;

void writeBitmapInfoHeader(ByteWriter& out, const ScreenFormat& screen) {
    out.u32(kBitmapInfoHeaderSize);
    out.i32(screen.width);
    out.i32(screen.height);
    out.u16(1);
    out.u16(static_cast<uint16_t>(screen.bitsPerPixel));
    out.u32(0);  // uncompressed
    out.u32(static_cast<uint32_t>(screen.width * screen.height * (screen.bitsPerPixel / 8)));
    out.i32(0);
    out.i32(0);
    out.u32(0);
    out.u32(0);
}

std::string zlibCompress(const std::string& data) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::string out(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&out[0]), &length,
                  reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                  kBandLevel) != Z_OK)
        throw std::runtime_error("band does not compress");
    out.resize(length);
    return out;
}

bool rowsDiffer(const Picture& a, const Picture& b, int32_t top, int32_t bottom) {
    const size_t begin = static_cast<size_t>(top) * a.width, end = static_cast<size_t>(bottom) * a.width;
    for (size_t i = begin; i < end; ++i)
        if (a.pixels[i] != b.pixels[i]) return true;
    return false;
}

}  // namespace

MovieWriter::MovieWriter() {
    MovieHeader::setText(header_.signature, kCurrentSignature);
    MovieHeader::setText(header_.createdBy, "movietool");
    MovieHeader::setText(header_.date, headerDateNow());
    header_.versionMajor = kProgramVersionMajor;
    header_.versionMinor = kProgramVersionMinor;
}

void MovieWriter::setVersion(int major, int minor) {
    header_.versionMajor = major;
    header_.versionMinor = minor;
}

void MovieWriter::setScreen(const ScreenFormat& screen) {
    screen_ = screen;
    recordedArea_ = Rect{0, 0, screen.width, screen.height};
}

void MovieWriter::addCursorShape(uint32_t cursorId, const std::string& colourDib,
                                 const std::string& maskDib) {
    ByteWriter out(cursorShapes_);
    out.u32(0);  // not interpreted by the player
    out.u32(cursorId);
    out.u32(static_cast<uint32_t>(colourDib.size()));
    out.bytes(colourDib);
    out.u32(static_cast<uint32_t>(maskDib.size()));
    out.bytes(maskDib);
    ++cursorShapeCount_;
}

void MovieWriter::setLogo(const LogoRecord& record, const std::string& pictureDib) {
    logo_ = record;
    logoDib_ = pictureDib;
}

StoredBand MovieWriter::makeBand(const Picture& screen, int32_t topRow, int32_t rows) {
    // Band rows are stored as a bottom-up DIB of the band's height.
    std::string raw;
    raw.reserve(static_cast<size_t>(rows) * screen.width * 4);
    ByteWriter out(raw);
    for (int32_t y = topRow + rows - 1; y >= topRow; --y)
        for (int32_t x = 0; x < screen.width; ++x) out.u32(screen.at(x, y));
    StoredBand band;
    band.bytes = zlibCompress(raw);
    band.header.topRow = topRow;
    band.header.compressedSize = static_cast<uint32_t>(band.bytes.size());
    band.header.unpackedSize = static_cast<uint32_t>(raw.size());
    band.header.bandHeight = rows;
    return band;
}

void MovieWriter::addFrame(const Picture& screen, const FrameSpec& spec) {
    if (screen.width != screen_.width || screen.height != screen_.height || screen_.bitsPerPixel != 32)
        throw std::invalid_argument("frame picture does not match the 32-bit screen");

    std::vector<StoredBand> bands;
    if (!previous_) {
        bands.push_back(makeBand(screen, 0, screen.height));
    } else {
        // Changed slots of bandHeight rows, merged into runs; the pass past the last
        // slot closes an open run.
        int32_t runStart = -1;
        for (int32_t top = 0;; top += bandHeight_) {
            bool atEnd = top >= screen.height;
            bool changed = !atEnd && rowsDiffer(screen, *previous_, top,
                                                std::min(top + bandHeight_, screen.height));
            if (changed && runStart < 0) runStart = top;
            if (!changed && runStart >= 0) {
                bands.push_back(makeBand(screen, runStart, std::min(top, screen.height) - runStart));
                runStart = -1;
            }
            if (atEnd) break;
        }
    }
    previous_ = screen;

    addStoredFrame(spec, bands);
}

void MovieWriter::addStoredFrame(const FrameRecord& record, const std::vector<StoredBand>& bands) {
    FrameRecord stored = record;
    stored.bandCount = static_cast<int32_t>(bands.size());
    frames_ += stored.encode();
    for (const StoredBand& band : bands) {
        frames_ += band.header.encode();
        frames_ += band.bytes;
    }
    ++framesAdded_;
    totalMs_ += record.delayMs + (record.holdMs < 0 ? -int64_t{record.holdMs} : record.holdMs);
}

std::string MovieWriter::headerCopyRecord() const {
    std::string record;
    ByteWriter out(record);
    if (rawHeaderCopy_) {
        out.u32(static_cast<uint32_t>(rawHeaderCopy_->size()));
        out.bytes(*rawHeaderCopy_);
        return record;
    }
    std::string plain = (headerCopy_ ? *headerCopy_ : header_).encode();
    DataBlock compressed;
    size_t length = 0;
    if (!CompressBlock(plain.data(), plain.size(), compressed, length, kHeaderCopyLevel))
        throw std::runtime_error("header copy does not compress");
    out.u32(static_cast<uint32_t>(length));
    out.bytes(compressed.data(), length);
    return record;
}

std::string MovieWriter::frameStream() const {
    const int32_t bytesPerPixel = screen_.bitsPerPixel / 8;
    MovieInfo info;
    info.durationSec = static_cast<int32_t>(totalMs_ / 1000);
    info.framesPerSecond = framesPerSecond_;
    info.frameCount = storedFrameCount_ ? *storedFrameCount_ : framesAdded_;
    info.dibSize = static_cast<int32_t>(kBitmapInfoHeaderSize) + screen_.width * screen_.height * bytesPerPixel;
    info.recordedArea = recordedArea_;
    info.currentArea = recordedArea_;
    info.screenWidth = screen_.width;
    info.screenHeight = screen_.height;
    info.bitsPerPixel = screen_.bitsPerPixel;
    info.logoPresent = logo_ ? 1 : 0;

    std::string stream = info.encode();
    ByteWriter out(stream);
    if (logo_) {
        out.bytes(logo_->encode());
        out.u32(static_cast<uint32_t>(logoDib_.size()));
        out.bytes(logoDib_);
    }
    out.u32(kBitmapInfoHeaderSize);
    writeBitmapInfoHeader(out, screen_);
    out.u32(cursorShapeCount_);
    out.bytes(cursorShapes_);
    out.bytes(frames_);
    return stream;
}

std::string MovieWriter::build() const {
    std::string movie = header_.encode();
    if (header_.version() >= kFirstVersionWithHeaderCopy) movie += headerCopyRecord();
    movie += writeObjectSection(objects_, objectSectionForm(header_.version()));
    movie += encodeSoundSection(sounds_);
    movie += frameStream();
    return movie;
}

std::string headerDateNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d, %H:%M:%S", &local);
    return text;
}

std::string packMovie(const std::string& player, const std::string& movie) {
    if (player.size() > UINT32_MAX) throw std::runtime_error("player too large");
    std::string packed = player + movie;
    ByteWriter out(packed);
    out.u32(static_cast<uint32_t>(player.size()));
    packed.append(kTrailerTagLength, kTrailerTagByte);
    return packed;
}

}  // namespace quillet
