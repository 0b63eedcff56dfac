#include "tools/moviewriter/movie_writer.h"

#include <ctime>
#include <stdexcept>

#include "common/byte_reader.h"
#include "player/container/compressed_block.h"
#include "player/container/movie_format.h"

namespace quillet {
namespace {

constexpr int kHeaderCopyLevel = 9;
constexpr uint32_t kBitmapInfoHeaderSize = 40;
constexpr uint32_t kMovieInfoReservedWords = 3;
constexpr int kObjectSectionWords = 4;  // soundsSeparate, cacheStored, objectCount, effectCounter
constexpr int kSoundSectionWords = 12;

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
    std::string stream;
    ByteWriter out(stream);
    const int32_t bytesPerPixel = screen_.bitsPerPixel / 8;
    const int32_t dibSize =
        static_cast<int32_t>(kBitmapInfoHeaderSize) + screen_.width * screen_.height * bytesPerPixel;

    // MovieInfo
    out.i32(0);  // durationSec
    out.i32(0);  // framesPerSecond
    out.i32(0);  // frameCount
    out.u32(0);  // screenBuffer
    out.i32(dibSize);
    for (int area = 0; area < 2; ++area) {  // recordedArea, currentArea
        out.i32(0);
        out.i32(0);
        out.i32(screen_.width);
        out.i32(screen_.height);
    }
    out.i32(screen_.width);
    out.i32(screen_.height);
    out.i32(screen_.bitsPerPixel);
    out.zeros(4 * kMovieInfoReservedWords);
    out.i32(0);  // logoPresent

    out.u32(kBitmapInfoHeaderSize);
    writeBitmapInfoHeader(out, screen_);
    out.u32(0);  // cursor shapes
    return stream;
}

std::string MovieWriter::build() const {
    std::string movie = header_.encode();
    if (header_.version() >= kFirstVersionWithHeaderCopy) movie += headerCopyRecord();
    ByteWriter out(movie);
    out.zeros(4 * kObjectSectionWords);
    out.zeros(4 * kSoundSectionWords);
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
