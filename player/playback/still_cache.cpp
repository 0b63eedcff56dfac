#include "player/playback/still_cache.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "player/container/compressed_block.h"
#include "player/bitmaps/dib_layout.h"

namespace quillet {
namespace {

constexpr int kPictureLevel = 1;
// A picture is kept once the bands since the last one add up to this many whole
// screens: replaying them then costs about as much as unpacking two pictures.
constexpr uint64_t kScreensBetweenPictures = 2;
// How often the worker looks whether the loader has finished.
constexpr std::chrono::milliseconds kPollInterval(5);

}  // namespace

void StillCache::applyBand(const FrameBand& band, std::vector<uint8_t>& scratch, std::vector<uint8_t>& picture,
                           uint64_t stride, int32_t screenHeight) {
    if (!band.data || band.compressedSize == 0 || band.unpackedSize > scratch.size()) return;
    if (!UncompressBlock(band.data, band.compressedSize, scratch.data(), band.unpackedSize)) return;
    const int32_t rows = band.bandHeight < 0 ? -band.bandHeight : band.bandHeight;
    for (int32_t k = 0; k < rows; ++k) {
        if ((k + 1) * stride > scratch.size()) break;
        // Stored bottom-up for a positive height, top-down for a negative one.
        int32_t screenRow = band.topRow + (band.bandHeight > 0 ? rows - 1 - k : k);
        if (screenRow < 0 || screenRow >= screenHeight) continue;
        size_t pictureRow = static_cast<size_t>(screenHeight - 1 - screenRow);
        std::memcpy(&picture[pictureRow * stride], &scratch[k * stride], stride);
    }
}

void StillCache::start(const FrameData& frames) {
    cancel();
    cancel_.store(false);
    ready_.store(false);
    const std::vector<uint8_t>& screen = frames.screenBuffer();
    ScreenLayout layout;
    Geometry geometry;
    if (screenLayout(screen.data(), screen.size(), frames.info().screenWidth, layout)) {
        geometry.height = frames.info().screenHeight;
        geometry.stride = layout.stride;
        geometry.pixelOffset = static_cast<size_t>(layout.bandOffset);
    }
    worker_ = std::thread(&StillCache::build, this, &frames, geometry);
}

void StillCache::cancel() {
    cancel_.store(true);
    if (worker_.joinable()) worker_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    pictures_.clear();
    held_ = 0;
    ready_.store(false);
}

void StillCache::waitUntilReady() const {
    while (!ready_.load() && worker_.joinable()) std::this_thread::sleep_for(kPollInterval);
}

void StillCache::add(int64_t frame, const std::vector<uint8_t>& picture) {
    DataBlock compressed(compressBound(static_cast<uLong>(picture.size())));
    uLongf length = static_cast<uLongf>(compressed.size());
    if (compress2(compressed.data(), &length, picture.data(), static_cast<uLong>(picture.size()), kPictureLevel) != Z_OK)
        return;
    compressed.resize(length);
    compressed.shrink_to_fit();
    std::lock_guard<std::mutex> lock(mutex_);
    held_ += compressed.capacity();
    pictures_.push_back({frame, std::move(compressed)});
    // Over budget: every other picture goes, which doubles the spacing.
    while (held_ > budget_ && pictures_.size() > 1) {
        std::vector<Picture> kept;
        held_ = 0;
        for (size_t i = 0; i < pictures_.size(); i += 2) {
            held_ += pictures_[i].compressed.capacity();
            kept.push_back(std::move(pictures_[i]));
        }
        pictures_ = std::move(kept);
    }
}

void StillCache::build(const FrameData* frames, Geometry geometry) {
    if (workerSetup_) workerSetup_();
    while (frames->loaderRunning() && !cancel_.load()) std::this_thread::sleep_for(kPollInterval);
    const std::vector<uint8_t>& screen = frames->screenBuffer();
    const int32_t height = geometry.height;
    const uint64_t stride = geometry.stride;
    const size_t offset = geometry.pixelOffset;
    if (cancel_.load() || height <= 0 || stride == 0 || offset >= screen.size() ||
        stride * static_cast<uint64_t>(height) > screen.size()) {
        ready_.store(true);
        return;
    }
    std::vector<uint8_t> scratch(screen.size() - offset, 0);
    std::vector<uint8_t> picture(static_cast<size_t>(stride * height), 0);
    const uint64_t spacing = kScreensBetweenPictures * picture.size();

    const FrameList& list = frames->frames();
    const int64_t count = std::min<int64_t>(static_cast<int64_t>(list.filled()), frames->frameCount());
    uint64_t since = 0;
    for (int64_t i = 0; i < count && !cancel_.load(); ++i) {
        const MovieFrame& frame = list[static_cast<size_t>(i)];
        // The still rebuild applies a frame's bands from the last to the first.
        for (size_t b = frame.bands.size(); b-- > 0;) {
            applyBand(frame.bands[b], scratch, picture, stride, height);
            since += frame.bands[b].unpackedSize;
        }
        if (since >= spacing) {
            add(i, picture);
            since = 0;
        }
    }
    ready_.store(true);
}

bool StillCache::nearest(int64_t frame, int64_t after, int64_t& pictureFrame, std::vector<uint8_t>& pixels) const {
    if (!ready_.load()) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = std::upper_bound(pictures_.begin(), pictures_.end(), frame,
                                  [](int64_t f, const Picture& p) { return f < p.frame; });
    if (found == pictures_.begin()) return false;
    const Picture& best = *(found - 1);
    if (best.frame <= after) return false;
    uLongf length = static_cast<uLongf>(pixels.size());
    if (uncompress(pixels.data(), &length, best.compressed.data(), static_cast<uLong>(best.compressed.size())) != Z_OK ||
        length != pixels.size())
        return false;
    pictureFrame = best.frame;
    return true;
}

size_t StillCache::bytesHeld() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return held_;
}

size_t StillCache::pictureCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pictures_.size();
}

}  // namespace quillet
