#pragma once
// Pictures of the screen at frames spread over the movie, kept compressed, so that a
// still rebuild applies only the frames after the nearest picture instead of every
// frame from the first. The pictures are made by applying the bands in memory,
// exactly as drawing them into the buffers would, on a worker thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "player/container/frame_data.h"

namespace quillet {

class StillCache {
public:
    // The stated budget: the compressed pictures never hold more than this.
    static constexpr size_t kDefaultBudget = 64u << 20;

    explicit StillCache(size_t budget = kDefaultBudget) : budget_(budget) {}
    ~StillCache() { cancel(); }
    StillCache(const StillCache&) = delete;
    StillCache& operator=(const StillCache&) = delete;

    // Starts building over the frames once the loader has read them all. The
    // screen's geometry is taken now, from the screen format and the movie
    // information, so that playback rewriting the shared header's height band by
    // band does not reach the pictures.
    void start(const FrameData& frames);
    // Run on the worker thread before it builds: the Windows layer lowers its
    // priority there, so that building never holds up playback.
    void setWorkerSetup(std::function<void()> setup) { workerSetup_ = std::move(setup); }
    void cancel();
    bool ready() const { return ready_.load(); }
    void waitUntilReady() const;

    // The picture of the latest frame at or before frame (and after after), as the
    // pixel rows of the screen DIB; false when there is none.
    bool nearest(int64_t frame, int64_t after, int64_t& pictureFrame, std::vector<uint8_t>& pixels) const;

    size_t bytesHeld() const;
    size_t pictureCount() const;

    // Applies a band to a picture as drawing it would: inflated into the scratch
    // pixel area (which keeps what earlier bands left behind it), then the band's
    // rows copied to their screen rows. Public for tests.
    static void applyBand(const FrameBand& band, std::vector<uint8_t>& scratch, std::vector<uint8_t>& picture,
                          uint64_t stride, int32_t screenHeight);

private:
    struct Picture {
        int64_t frame;
        std::vector<uint8_t> compressed;
    };

    struct Geometry {
        int32_t height = 0;
        uint64_t stride = 0;
        size_t pixelOffset = 0;
    };

    void build(const FrameData* frames, Geometry geometry);
    void add(int64_t frame, const std::vector<uint8_t>& picture);

    size_t budget_;
    std::function<void()> workerSetup_;
    mutable std::mutex mutex_;
    std::vector<Picture> pictures_;
    size_t held_ = 0;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> ready_{false};
};

}  // namespace quillet
