#include "player/container/frame_data.h"

#include <algorithm>
#include <chrono>
#include <new>

#include "common/byte_reader.h"
#include "player/container/buffered_reader.h"
#include "player/bitmaps/dib_layout.h"
#include "player/container/keyed_cursor.h"

namespace quillet {
namespace {

constexpr size_t kLengthSize = 4;
// The ignored word, the id and the two block lengths of a cursor-shape record; the
// oldest records have one block.
constexpr size_t kCursorShapeMinimum = 16;
constexpr size_t kKeyedCursorShapeMinimum = 12;
// A frame's band list grows past this as its bands are read, so that a band count
// that only the file's length bounds reserves nothing large.
constexpr size_t kBandsReservedAtOnce = 1024;

uint32_t readLength(BufferedReader& in) {
    uint8_t bytes[kLengthSize] = {};
    in.read(bytes, sizeof bytes);
    return ByteReader(bytes, sizeof bytes).u32();
}

// A length-prefixed block, or false when the length runs past what remains: the
// stream then ends as a cut-off stream would, without reserving that length.
bool readBlock(BufferedReader& in, std::vector<uint8_t>& block) {
    uint32_t length = readLength(in);
    if (length > in.remaining()) return false;
    block.resize(length);
    in.read(block.data(), length);
    return true;
}

// The largest screen picture the screen dimensions allow: header, the largest
// colour table and masks, and the pixels at 32 bits.
bool plausibleDibSize(const MovieInfo& info) {
    if (info.dibSize <= 0 || info.dibSize > kMaxDibSize) return false;
    if (info.screenWidth <= 0 || info.screenHeight <= 0 || info.screenWidth > kMaxScreenSide ||
        info.screenHeight > kMaxScreenSide)
        return false;
    uint64_t largest = kInfoHeaderSize + 256 * 4 + kBitfieldMasksSize +
                       dibStride(info.screenWidth, 32) * static_cast<uint64_t>(info.screenHeight);
    return static_cast<uint64_t>(info.dibSize) <= largest;
}

}  // namespace

const CursorShape* FrameData::findCursorShape(uint32_t cursorId) const {
    auto found = cursorShapes_.find(cursorId);
    return found == cursorShapes_.end() ? nullptr : &found->second;
}

Rect FrameData::logoRect() const {
    constexpr int32_t kMargin = 4;
    constexpr int32_t kElsewhere = 500;
    if (!logo_) return Rect();
    // The recorded area is stored as it came: its sums wrap as 32-bit numbers do.
    const Rect& area = info_.recordedArea;
    const int32_t w = logo_->width(), h = logo_->height();
    const int32_t right = wrappingDifference(wrappingDifference(area.width(), w), kMargin);
    const int32_t top = wrappingSum(area.top, kMargin);
    const int32_t bottom = wrappingDifference(wrappingDifference(area.bottom, h), kMargin);
    int32_t x = kElsewhere, y = kElsewhere;
    switch (logoRecord_.corner) {
    case 0: x = kMargin; y = top; break;
    case 1: x = right; y = top; break;
    case 2: x = kMargin; y = bottom; break;
    case 3: x = right; y = bottom; break;
    default: break;
    }
    return Rect{x, y, wrappingSum(x, w), wrappingSum(y, h)};
}

int FrameData::busyState() const {
    if (loaderRunning_.load()) return 2;
    if (busy_.load()) return 3;
    return 0;
}

void FrameData::waitForLoader() {
    if (loader_.joinable()) loader_.join();
}

bool FrameData::waitForFrame(size_t index, const std::atomic<bool>& stop) const {
    while (index >= frames_.filled() && loaderRunning()) {
        if (stop.load()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return index < frames_.filled();
}

void FrameData::ClearFrameData() {
    cancelLoad_.store(true);
    waitForLoader();
    frames_.clear();
    bands_.clear();
    cursorShapes_.clear();
    screenBuffer_ = std::vector<uint8_t>();
    logo_.reset();
    timeline_.clear();
    keptFile_.reset();
    info_ = MovieInfo();
    logoRecord_ = LogoRecord();
    frameCount_.store(0);
    hasStopObjects_ = false;
    busy_.store(false);
}

bool FrameData::makeScreenBuffer() {
    // The screen is sized by the header alone, which may claim far more than the
    // process can have: such a movie has no first screen rather than no player.
    try {
        screenBuffer_.assign(2 * static_cast<size_t>(info_.dibSize), 0);
        return true;
    } catch (const std::bad_alloc&) {
        screenBuffer_ = std::vector<uint8_t>();
        return false;
    }
}

bool FrameData::readScreenPicture(BufferedReader& in) {
    if (frameStreamLayout(format_.group).screen == ScreenPictureForm::Counted) {
        uint32_t length = readLength(in);
        if (!plausibleDibSize(info_) || length > in.remaining() ||
            length > 2 * static_cast<uint64_t>(info_.dibSize))
            return false;
        if (!makeScreenBuffer()) return false;
        in.read(screenBuffer_.data(), length);
        return screenHeaderUsable();
    }
    // The whole first screen, header, colour table and pixels, without a length.
    if (!plausibleDibSize(info_) || static_cast<uint64_t>(info_.dibSize) > in.remaining()) return false;
    if (!makeScreenBuffer()) return false;
    in.read(screenBuffer_.data(), static_cast<size_t>(info_.dibSize));
    // The oldest movie information stops short of the colour depth: the picture has it.
    if (format_.group == FrameStreamGroup::G1) {
        DibHeader header;
        info_.bitsPerPixel = readDibHeader(screenBuffer_.data(), screenBuffer_.size(), header) ? header.bitCount : 0;
    }
    return screenHeaderUsable();
}

bool FrameData::screenHeaderUsable() {
    // Drawing takes the header's size, width and depth as they are, so a header that
    // does not describe this screen leaves the movie without a screen to draw into.
    if (screenHeaderFits(screenBuffer_.data(), screenBuffer_.size(), info_.screenWidth, info_.screenHeight))
        return true;
    screenBuffer_ = std::vector<uint8_t>();
    return false;
}

void FrameData::keepCursorShape(uint32_t cursorId, const std::vector<uint8_t>& colour,
                                const std::vector<uint8_t>& mask) {
    auto bitmap = [this](const std::vector<uint8_t>& dib) -> std::unique_ptr<DeviceBitmap> {
        if (dibLargerThan(dib.data(), dib.size(), kCursorWidth, kCursorMaskHeight)) return nullptr;
        return bitmaps_.fromPackedDib(dib.data(), dib.size());
    };
    CursorShape shape;
    shape.colour = bitmap(colour);
    shape.mask = bitmap(mask);
    cursorShapes_[cursorId] = std::move(shape);
}

bool FrameData::readCursorShapes(BufferedReader& in) {
    const FrameStreamLayout& layout = frameStreamLayout(format_.group);
    const bool keyed = layout.cursors == CursorShapeForm::Keyed;
    uint32_t count = readLength(in);
    std::vector<uint8_t> colour, mask;
    for (uint32_t i = 0; i < count; ++i) {
        if (in.remaining() < (keyed ? kKeyedCursorShapeMinimum : kCursorShapeMinimum)) return false;
        readLength(in);  // not interpreted
        uint32_t cursorId = readLength(in);
        if (!readBlock(in, colour) || (!keyed && !readBlock(in, mask))) return false;
        if (i >= (layout.shapeLimit ? kMaxCursorShapes : kCursorShapeBudget)) continue;
        if (keyed) {
            // No mask, no frames: reading stops at the first image it cannot be made from.
            KeyedCursorPictures pictures;
            if (!makeKeyedCursorPictures(colour.data(), colour.size(), pictures)) return false;
            keepCursorShape(cursorId, pictures.colour, pictures.mask);
        } else {
            keepCursorShape(cursorId, colour, mask);
        }
    }
    return true;
}

bool FrameData::readHeaderPart(BufferedReader& in) {
    const FrameStreamLayout& layout = frameStreamLayout(format_.group);
    // Older movies store the first part of the record; the rest stays 0.
    uint8_t infoBytes[MovieInfo::kSize] = {};
    in.read(infoBytes, layout.infoSize);
    info_ = MovieInfo::decode(infoBytes);
    info_.currentArea = info_.recordedArea;
    info_.screenBuffer = 0;

    if (info_.logoPresent && format_.logo != LogoForm::None) {
        std::vector<uint8_t> picture;
        if (!readLogo(in, format_.logo, logoRecord_, picture)) return false;
        logo_.reset();
        // A logo is drawn inside the recorded screen: one claiming more is left out.
        const int64_t width = std::clamp(info_.screenWidth, 0, kMaxScreenSide);
        const int64_t height = std::clamp(info_.screenHeight, 0, kMaxScreenSide);
        if (!dibLargerThan(picture.data(), picture.size(), width, height))
            logo_ = bitmaps_.fromPackedDib(picture.data(), picture.size());
    }
    return readScreenPicture(in) && readCursorShapes(in);
}

void FrameData::readFrames(BufferedReader& in, const FrameStreamLayout& layout, bool background) {
    const size_t recordSize = frameRecordSize(layout.record);
    const size_t bandSize = bandHeaderSize(layout.band);
    const bool limitDelays =
        layout.delayLimit == DelayLimit::Always || (layout.delayLimit == DelayLimit::InForeground && !background);
    int emptyRun = 0;
    const int32_t count = frameCount_.load();
    uint8_t recordBytes[kLargestFrameRecord];
    uint8_t bandBytes[kLargestBandHeader];
    // Letting messages through costs a trip to the window system, which under some
    // hosts is far dearer than reading a frame: it is done at the first frame and
    // then once kForegroundPumpIntervalMs have passed, the clock looked at every
    // few frames.
    using Clock = std::chrono::steady_clock;
    constexpr int32_t kFramesBetweenClockReadings = 16;
    const bool pump = !background && foregroundPump_;
    Clock::time_point lastPump;
    for (int32_t i = 0; i < count; ++i) {
        if (background && cancelLoad_.load(std::memory_order_relaxed)) break;
        if (pump && (i == 0 || (i % kFramesBetweenClockReadings == 0 &&
                                Clock::now() - lastPump >= std::chrono::milliseconds(kForegroundPumpIntervalMs)))) {
            foregroundPump_();
            lastPump = Clock::now();
        }

        std::fill(std::begin(recordBytes), std::end(recordBytes), 0);
        in.read(recordBytes, recordSize);
        const StoredFrameRecord stored = decodeFrameRecord(layout.record, recordBytes);
        FrameRecord record = stored.record;
        if (layout.emptyRunRule) {
            emptyRun = record.empty() ? emptyRun + 1 : 0;
            if (emptyRun > kEmptyRunLimit) {
                frameCount_.store(i - kEmptyRunLimit, std::memory_order_release);
                break;
            }
        }
        if (limitDelays && static_cast<uint32_t>(record.delayMs) > kDelayLimitMs) record.delayMs = kLimitedDelayMs;

        MovieFrame frame;
        frame.setRecord(record);
        frame.groupFirst = stored.groupFirst;
        // A band count or size that cannot fit in what remains ends the stream after
        // this frame, as a stream cut off there would.
        bool cut = record.bandCount > 0 && static_cast<uint64_t>(record.bandCount) > in.remaining() / bandSize;
        int32_t bands = cut ? static_cast<int32_t>(in.remaining() / bandSize) : std::max(record.bandCount, 0);
        frame.bands.reserve(std::min<size_t>(static_cast<size_t>(bands), kBandsReservedAtOnce));
        for (int32_t b = 0; b < bands; ++b) {
            std::fill(std::begin(bandBytes), std::end(bandBytes), 0);
            in.read(bandBytes, bandSize);
            const StoredBandHeader storedBand = decodeBandHeader(layout.band, bandBytes);
            // The oldest headers mark a band with nothing behind it.
            if (!storedBand.present) continue;
            const BandHeader& header = storedBand.header;
            if (header.compressedSize > in.remaining()) {
                cut = true;
                break;
            }
            FrameBand band;
            band.compressedSize = header.compressedSize;
            band.unpackedSize = header.unpackedSize;
            band.topRow = static_cast<int16_t>(header.topRow);
            band.bandHeight = static_cast<int16_t>(header.bandHeight);
            if (header.compressedSize > 0) {
                // Memory that cannot be had leaves the slot empty; drawing skips it.
                uint8_t* data = bands_.reserve(header.compressedSize, in.remaining());
                if (data)
                    in.read(data, header.compressedSize);
                else
                    in.skip(header.compressedSize);
                band.data = data;
            }
            frame.bands.push_back(band);
        }

        if (background)
            frames_.fill(std::move(frame));
        else
            frames_.append(std::move(frame));
        if (cut) {
            frameCount_.store(i + 1, std::memory_order_release);
            break;
        }
        if (background && static_cast<size_t>(i) >= kReadyFrameIndex)
            framesReady_.store(true, std::memory_order_release);
    }
}

void FrameData::runLoader(std::unique_ptr<MovieFile> file, std::unique_ptr<BufferedReader> in,
                          FrameStreamGroup group) {
    try {
        readFrames(*in, frameStreamLayout(group), true);
    } catch (const std::bad_alloc&) {
        // Out of memory for the frame records themselves: the movie ends with the
        // last frame that was read whole.
        frameCount_.store(static_cast<int32_t>(frames_.filled()), std::memory_order_release);
    }
    framesReady_.store(true, std::memory_order_release);
    in.reset();
    file->close();
    loaderRunning_.store(false, std::memory_order_release);
}

std::unique_ptr<BufferedReader> FrameData::beginLoad(MovieFile& file, uint64_t end, FrameStreamFormat format) {
    busy_.store(true);
    format_ = format;
    framesReady_.store(false);
    frames_.clear();
    bands_.clear();

    auto in = std::make_unique<BufferedReader>(file, end);
    bool headerRead = false;
    try {
        headerRead = readHeaderPart(*in);
    } catch (const std::bad_alloc&) {
        // Out of memory for the logo, the screen or the shapes: as when the frames
        // run out of it, the movie keeps what was read whole, here no frame at all,
        // and what the header part holds is given back.
        CursorShapeMap().swap(cursorShapes_);
        logo_.reset();
        screenBuffer_ = std::vector<uint8_t>();
    }
    // A header part that does not fit its file leaves a movie without frames.
    int32_t count = headerRead ? std::max(info_.frameCount, 0) : 0;
    // More frames than records could fit in the rest of the file would come out as
    // empty records: the empty run would end the movie where the file ends, and
    // where no such rule applies they would be frames of no length.
    const FrameStreamLayout& layout = frameStreamLayout(format.group);
    uint64_t possible = in->remaining() / frameRecordSize(layout.record) + (layout.emptyRunRule ? kEmptyRunLimit + 1 : 0);
    count = static_cast<int32_t>(std::min<uint64_t>(static_cast<uint64_t>(count), possible));
    frameCount_.store(count);
    return in;
}

void FrameData::LoadFrameStream(MovieFile& file, uint64_t end, FrameStreamFormat format) {
    std::unique_ptr<BufferedReader> in = beginLoad(file, end, format);
    try {
        readFrames(*in, frameStreamLayout(format.group), false);
    } catch (const std::bad_alloc&) {
        // As in the loader thread: the movie ends with the last frame read whole.
        frameCount_.store(static_cast<int32_t>(frames_.filled()), std::memory_order_release);
    }
    busy_.store(false);
    framesReady_.store(true, std::memory_order_release);
}

void FrameData::loadFrameStreamInBackground(std::unique_ptr<MovieFile> file, uint64_t end,
                                            FrameStreamFormat format) {
    if (loaderRunning()) {
        // The running loader fills the lists this read replaces: it is stopped before
        // they are emptied, and the frames are then read here.
        cancelLoad_.store(true);
        waitForLoader();
        LoadFrameStream(*file, end, format);
        keptFile_ = std::move(file);
        return;
    }
    waitForLoader();
    std::unique_ptr<BufferedReader> in = beginLoad(*file, end, format);
    try {
        frames_.size(static_cast<size_t>(frameCount_.load()));
    } catch (const std::bad_alloc&) {
        // No room for the list of frames: the movie opens without any.
        frames_.clear();
        frameCount_.store(0);
        busy_.store(false);
        framesReady_.store(true, std::memory_order_release);
        return;
    }
    cancelLoad_.store(false);
    loaderRunning_.store(true);
    loader_ = std::thread(&FrameData::runLoader, this, std::move(file), std::move(in), format.group);
}

void FrameData::BuildObjectTimeline(const std::vector<ObjectSpan>& objects) {
    busy_.store(true);
    timeline_.build(frames_.count(), objects);
    busy_.store(false);
}

size_t FrameData::memoryHeld() const {
    return frames_.bytesHeld() + bands_.bytesHeld() + screenBuffer_.capacity();
}

}  // namespace quillet
