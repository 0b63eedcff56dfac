#include "player/audio/sound_channel.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace quillet {

class SoundChannel::BusyHold {
public:
    explicit BusyHold(std::atomic<int>& busy) : busy_(busy) {
        while (busy_.exchange(1) != 0) std::this_thread::yield();
    }
    ~BusyHold() { busy_.exchange(0); }
    BusyHold(const BusyHold&) = delete;
    BusyHold& operator=(const BusyHold&) = delete;

private:
    std::atomic<int>& busy_;
};

SoundChannel::~SoundChannel() {
    if (buffer_) stop(false);
    timer_.reset();  // ends the ticks before the buffer and the reader go
    buffer_.reset();
    reader_.reset();
}

bool SoundChannel::load(const std::string& path) {
    reader_ = std::make_unique<WaveReader>(output_.fileOpener());
    if (!reader_->open(path)) {
        reader_.reset();
        return false;
    }
    dataBytes_ = reader_->dataBytes();
    durationMs_ = reader_->durationMs();
    bytesPerSecond_ = reader_->bytesPerSecond();
    bufferBytes_ = static_cast<uint32_t>(
        std::min<uint64_t>(dataBytes_, uint64_t{kChannelBufferSeconds} * bytesPerSecond_));
    const uint64_t minimum = uint64_t{kChannelMinimumBufferSeconds} * bytesPerSecond_;
    if (bufferBytes_ > 0 && bufferBytes_ < minimum && minimum <= kChannelMinimumBufferLimit)
        bufferBytes_ = static_cast<uint32_t>(minimum);
    if (bufferBytes_ == 0) return false;

    PcmFormat format;
    format.channels = reader_->channels();
    format.bitsPerSample = reader_->bitsPerSample();
    format.samplesPerSecond = reader_->samplesPerSecond();
    format.bytesPerSecond = bytesPerSecond_;
    format.blockAlign = static_cast<uint16_t>(std::max(1, (format.bitsPerSample / 8) * format.channels));
    buffer_ = output_.createBuffer(format, bufferBytes_);
    if (!buffer_) return false;
    return prefilled_ || prefill(0);
}

uint32_t SoundChannel::freeSpace() {
    uint32_t cursor = 0;
    if (!buffer_ || !buffer_->playCursor(cursor)) return 0;
    return (cursor + bufferBytes_ - writeOffset_) % bufferBytes_;
}

bool SoundChannel::fillFromFile(uint32_t bytes) {
    SoundBuffer::Regions regions;
    if (!buffer_->lock(writeOffset_, bytes, regions)) return false;
    SoundBuffer::Regions used;
    used.first = regions.first;
    used.firstBytes = reader_->read(regions.first, regions.firstBytes);
    bool complete = used.firstBytes == regions.firstBytes;
    if (complete && regions.secondBytes) {
        used.second = regions.second;
        used.secondBytes = reader_->read(regions.second, regions.secondBytes);
        complete = used.secondBytes == regions.secondBytes;
    }
    uint32_t cursor = 0;
    if (buffer_->playCursor(cursor)) {
        uint64_t played = uint64_t{playedBytes_} + (cursor + bufferBytes_ - writeOffset_) % bufferBytes_;
        playedBytes_ = static_cast<uint32_t>(std::min<uint64_t>(played, dataBytes_));
    }
    writeOffset_ = (writeOffset_ + used.firstBytes + used.secondBytes) % bufferBytes_;
    buffer_->unlock(used);
    return complete;
}

void SoundChannel::fillSilence(uint32_t bytes) {
    SoundBuffer::Regions regions;
    if (!bytes || !buffer_->lock(writeOffset_, bytes, regions)) return;
    const uint8_t silence = reader_->silenceByte();
    std::memset(regions.first, silence, regions.firstBytes);
    if (regions.second) std::memset(regions.second, silence, regions.secondBytes);
    writeOffset_ = (writeOffset_ + regions.firstBytes + regions.secondBytes) % bufferBytes_;
    buffer_->unlock(regions);
}

bool SoundChannel::prefill(uint32_t dataOffset) {
    writeOffset_ = 0;
    if (!reader_->seekData(dataOffset)) return false;
    buffer_->setPlayCursor(0);
    // Near the end of the data the file cannot fill the whole buffer: the rest is
    // silence, so that nothing of an earlier fill sounds again.
    uint32_t fromFile = std::min(bufferBytes_, reader_->remaining());
    bool ok = fromFile == 0 || fillFromFile(fromFile);
    if (ok) fillSilence(bufferBytes_ - fromFile);
    prefilled_ = ok;
    pausedInPlace_ = false;
    resumeCursor_ = 0;
    return ok;
}

void SoundChannel::tick() {
    // The stamp first: whoever sees the new count sees its time.
    if (now_) lastTickAtMs_.store(now_());
    elapsedMs_.fetch_add(kChannelTimerPeriodMs);
    if (!playing_.load() || busy_.exchange(1) != 0) return;
    uint32_t free = freeSpace();
    if (free > 0) {
        uint32_t remaining = reader_->remaining();
        if (remaining == 0) {
            fillSilence(free);
        } else if (remaining >= free) {
            if (!fillFromFile(free)) fillSilence(free);
        } else {
            bool ok = fillFromFile(remaining);
            if (ok && looping_.load()) {
                reader_->seekData(0);
                playedBytes_ = 0;
            }
            fillSilence(free - remaining);
        }
    }
    busy_.exchange(0);
}

bool SoundChannel::play(bool loop) {
    if (!buffer_) return false;
    BusyHold hold(busy_);
    bool bufferPlaying = false;
    if (!buffer_->isPlaying(bufferPlaying)) return false;
    if (bufferPlaying) return true;
    if (!prefilled_ && !pausedInPlace_) prefill(playedBytes_);
    buffer_->setPlayCursor(resumeCursor_);
    buffer_->play();
    looping_.store(loop);
    if (!timer_) timer_ = output_.startTimer(kChannelTimerPeriodMs, [this] { tick(); });
    prefilled_ = false;
    pausedInPlace_ = false;
    playing_.store(true);
    return true;
}

bool SoundChannel::stop(bool final) {
    if (!buffer_) return false;
    std::unique_ptr<PeriodicTimer> ended;
    {
        BusyHold hold(busy_);
        bool bufferPlaying = false;
        if (!buffer_->isPlaying(bufferPlaying)) return false;
        playing_.store(false);
        if (!bufferPlaying) return true;
        buffer_->stop();
        if (timer_) {
            // The buffer keeps what it holds: the next play goes on from the cursor.
            uint32_t cursor = 0;
            if (buffer_->playCursor(cursor)) {
                resumeCursor_ = cursor;
                pausedInPlace_ = true;
            }
            if (final) ended = std::move(timer_);
        }
    }
    // Ended outside the hold: waiting for a running tick while holding its flag
    // would be safe, but there is no need to.
    if (ended) {
        ended.reset();
        lastTickAtMs_.store(0);  // a later timer's ticks do not count from this one's
    }
    return true;
}

bool SoundChannel::seek(uint32_t ms) {
    if (!buffer_) return false;
    BusyHold hold(busy_);
    playedBytes_ = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{bytesPerSecond_} * ms / 1000, dataBytes_));
    prefilled_ = false;
    return prefill(playedBytes_);
}

bool SoundChannel::setVolume(int32_t attenuation) {
    return buffer_ && buffer_->setVolume(attenuation);
}

}  // namespace quillet
