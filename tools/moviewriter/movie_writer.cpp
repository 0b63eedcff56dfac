#include "tools/moviewriter/movie_writer.h"

#include <zlib.h>

#include <ctime>
#include <stdexcept>

#include "common/byte_reader.h"
#include "player/container/compressed_block.h"
#include "player/container/keyed_cursor.h"
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
    cursorShapes_.push_back({cursorId, colourDib, maskDib, colourDib});
}

void MovieWriter::addKeyedCursorShape(uint32_t cursorId, const Picture& picture) {
    // The AND mask over an empty XOR mask; where the screen shows, the colour image
    // is white, which the cursor's raster operations leave out.
    Picture colour = picture;
    std::vector<uint8_t> mask(static_cast<size_t>(picture.width) * picture.height * 2, 0);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        if (picture.pixels[i] != kCursorKeyColour) continue;
        colour.pixels[i] = 0xFFFFFF;
        mask[i] = 1;
    }
    cursorShapes_.push_back({cursorId, packedDib(colour), packedMonochromeDib(picture.width, picture.height * 2, mask),
                             packedDib(picture)});
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
    if (!first_) first_ = screen;

    addStoredFrame(spec, bands, spec.groupFirst);
}

void MovieWriter::addStoredFrame(const FrameRecord& record, const std::vector<StoredBand>& bands, int32_t groupFirst) {
    FramePiece piece;
    piece.record = StoredFrameRecord{record, groupFirst};
    piece.record->record.bandCount = static_cast<int32_t>(bands.size());
    piece.bands = bands;
    frames_.push_back(std::move(piece));
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

void MovieWriter::appendRaw(const std::string& bytes) {
    FramePiece piece;
    piece.raw = bytes;
    frames_.push_back(std::move(piece));
}

std::string MovieWriter::screenPicture(ScreenPictureForm form) const {
    std::string bytes;
    ByteWriter out(bytes);
    if (form == ScreenPictureForm::Counted) {
        out.u32(kBitmapInfoHeaderSize);
        writeBitmapInfoHeader(out, screen_);
        return bytes;
    }
    // The whole first screen, as a bottom-up packed DIB without a length.
    writeBitmapInfoHeader(out, screen_);
    if (first_) {
        for (int32_t y = screen_.height - 1; y >= 0; --y)
            for (int32_t x = 0; x < screen_.width; ++x) out.u32(first_->at(x, y));
    } else {
        out.zeros(static_cast<size_t>(screen_.width) * screen_.height * (screen_.bitsPerPixel / 8));
    }
    return bytes;
}

std::string MovieWriter::frameStream() const {
    const FormatReaders readers = readersForVersion(header_.version());
    const FrameStreamLayout& layout = frameStreamLayout(readers.frames);
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

    // Older layouts store the first part of the record only.
    std::string stream = info.encode().substr(0, layout.infoSize);
    ByteWriter out(stream);
    if (logo_ && readers.logo != LogoForm::None) out.bytes(encodeLogo(readers.logo, *logo_, logoDib_));
    out.bytes(screenPicture(layout.screen));
    out.u32(static_cast<uint32_t>(cursorShapes_.size()));
    for (const CursorShapeRecord& shape : cursorShapes_) {
        out.u32(0);  // not interpreted by the player
        out.u32(shape.cursorId);
        const bool keyed = layout.cursors == CursorShapeForm::Keyed;
        const std::string& colour = keyed ? shape.keyedDib : shape.colourDib;
        out.u32(static_cast<uint32_t>(colour.size()));
        out.bytes(colour);
        if (keyed) continue;
        out.u32(static_cast<uint32_t>(shape.maskDib.size()));
        out.bytes(shape.maskDib);
    }
    for (const FramePiece& piece : frames_) {
        if (!piece.record) {
            out.bytes(piece.raw);
            continue;
        }
        out.bytes(encodeFrameRecord(layout.record, *piece.record));
        for (const StoredBand& band : piece.bands) {
            out.bytes(encodeBandHeader(layout.band, {band.header, band.present}));
            if (band.present) out.bytes(band.bytes);
        }
    }
    return stream;
}

bool MovieWriter::fitsVersion(std::string& reason) const {
    const FormatReaders readers = readersForVersion(header_.version());
    const SoundSectionHeader& sounds = sounds_.header;
    if (readers.objects == ObjectSectionForm::Form1)
        for (const CaptionRecord& record : objects_.objects)
            if (record.kind() == caption_kind::kHotspotCaption) reason = "hotspots need version 0.95 or later";
    if (sounds.effectsPresent && readers.sounds == SoundSectionForm::Below095)
        reason = "effects need version 0.95 or later";
    if (sounds.speechCompressed &&
        (readers.sounds == SoundSectionForm::Below095 || readers.sounds == SoundSectionForm::From095To14))
        reason = "speech needs version 1.5 or later";
    if (readers.sounds == SoundSectionForm::Below095 &&
        ((sounds.narrationPresent && !sounds.narrationEmbedded) || (sounds.backgroundPresent && !sounds.backgroundEmbedded)))
        reason = "versions below 0.95 store every track";
    if (logo_ && readers.logo == LogoForm::None) reason = "a logo needs version 1.3 or later";
    return reason.empty();
}

std::string MovieWriter::build() const {
    std::string reason;
    if (!fitsVersion(reason)) throw std::invalid_argument(reason);
    const FormatReaders readers = readersForVersion(header_.version());
    std::string movie = header_.encode();
    if (header_.version() >= kFirstVersionWithHeaderCopy) movie += headerCopyRecord();
    // The two oldest forms have no cacheStored word, and a player starting afresh
    // reads their records without pictures.
    ObjectSection objects = objects_;
    if (readers.objects <= ObjectSectionForm::Form2) objects.cacheStored = 0;
    movie += writeObjectSection(objects, readers.objects);
    movie += encodeSoundSection(sounds_, readers.sounds);
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
