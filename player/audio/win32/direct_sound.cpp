#include "player/audio/win32/direct_sound.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "common/unique_resource.h"
#include "player/container/win32/win32_movie_file.h"

namespace quillet {
namespace {

// Capability flags of every channel buffer: global focus and volume, pan and
// frequency control.
constexpr DWORD kBufferFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN |
                               DSBCAPS_CTRLFREQUENCY;
static_assert(kBufferFlags == 0x80E0, "channel buffer flags");

template <typename Interface>
struct ComTraits {
    static Interface* invalid() { return nullptr; }
    static void close(Interface* object) { object->Release(); }
};
template <typename Interface>
using ComOwner = UniqueResource<Interface*, ComTraits<Interface>>;

class DirectSoundBuffer : public SoundBuffer {
public:
    explicit DirectSoundBuffer(ComOwner<IDirectSoundBuffer> buffer) : buffer_(std::move(buffer)) {}

    bool isPlaying(bool& playing) override {
        DWORD status = 0;
        if (FAILED(buffer_.get()->GetStatus(&status))) return false;
        playing = (status & DSBSTATUS_PLAYING) != 0;
        return true;
    }
    bool playCursor(uint32_t& cursor) override {
        DWORD play = 0, write = 0;
        if (FAILED(buffer_.get()->GetCurrentPosition(&play, &write))) return false;
        cursor = play;
        return true;
    }
    bool setPlayCursor(uint32_t cursor) override {
        return SUCCEEDED(buffer_.get()->SetCurrentPosition(cursor));
    }
    bool lock(uint32_t offset, uint32_t bytes, Regions& regions) override {
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0, secondBytes = 0;
        HRESULT result = buffer_.get()->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
        if (result == DSERR_BUFFERLOST) {
            buffer_.get()->Restore();
            result = buffer_.get()->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
        }
        if (FAILED(result)) return false;
        regions.first = static_cast<uint8_t*>(first);
        regions.firstBytes = firstBytes;
        regions.second = static_cast<uint8_t*>(second);
        regions.secondBytes = secondBytes;
        return true;
    }
    void unlock(const Regions& regions) override {
        buffer_.get()->Unlock(regions.first, regions.firstBytes, regions.second, regions.secondBytes);
    }
    bool play() override { return SUCCEEDED(buffer_.get()->Play(0, 0, DSBPLAY_LOOPING)); }
    bool stop() override { return SUCCEEDED(buffer_.get()->Stop()); }
    bool setVolume(int32_t attenuation) override {
        return SUCCEEDED(buffer_.get()->SetVolume(attenuation));
    }

private:
    ComOwner<IDirectSoundBuffer> buffer_;
};

// A periodic multimedia timer, ended synchronously: once timeKillEvent has returned
// no callback is under way or still to come, so the timer can go. Without that, a
// callback already started could still reach the freed timer.
class MultimediaTimer : public PeriodicTimer {
public:
    MultimediaTimer(uint32_t periodMs, std::function<void()> tick) : tick_(std::move(tick)) {
        id_ = ::timeSetEvent(periodMs, periodMs, &MultimediaTimer::callback, reinterpret_cast<DWORD_PTR>(this),
                             TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    }
    ~MultimediaTimer() override {
        if (id_) ::timeKillEvent(id_);
    }
    bool started() const { return id_ != 0; }

private:
    static void CALLBACK callback(UINT, UINT, DWORD_PTR self, DWORD_PTR, DWORD_PTR) {
        reinterpret_cast<MultimediaTimer*>(self)->tick_();
    }

    std::function<void()> tick_;
    UINT id_ = 0;
};

class DirectSoundOutput : public SoundOutput {
public:
    explicit DirectSoundOutput(ComOwner<IDirectSound> sound) : sound_(std::move(sound)) {}

    std::unique_ptr<SoundBuffer> createBuffer(const PcmFormat& format, uint32_t bytes) override {
        WAVEFORMATEX wave{};
        wave.wFormatTag = WAVE_FORMAT_PCM;
        wave.nChannels = format.channels;
        wave.nSamplesPerSec = format.samplesPerSecond;
        wave.nAvgBytesPerSec = format.bytesPerSecond;
        wave.nBlockAlign = format.blockAlign;
        wave.wBitsPerSample = format.bitsPerSample;
        DSBUFFERDESC description{};
        description.dwSize = sizeof description;
        description.dwFlags = kBufferFlags;
        description.dwBufferBytes = bytes;
        description.lpwfxFormat = &wave;
        IDirectSoundBuffer* buffer = nullptr;
        if (FAILED(sound_.get()->CreateSoundBuffer(&description, &buffer, nullptr))) return nullptr;
        return std::make_unique<DirectSoundBuffer>(ComOwner<IDirectSoundBuffer>(buffer));
    }

    std::unique_ptr<PeriodicTimer> startTimer(uint32_t periodMs, std::function<void()> tick) override {
        auto timer = std::make_unique<MultimediaTimer>(periodMs, std::move(tick));
        if (!timer->started()) return nullptr;
        return timer;
    }

    MovieFileOpener fileOpener() override {
        return [](const std::string& path) -> std::unique_ptr<MovieFile> { return Win32MovieFile::open(path); };
    }

private:
    ComOwner<IDirectSound> sound_;
};

static_assert(sizeof(void*) != 4 || sizeof(DSBUFFERDESC) == 36, "the 36-byte buffer description");

}  // namespace

std::unique_ptr<SoundOutput> DirectSoundSystem::open(void* window) {
    IDirectSound* sound = nullptr;
    if (FAILED(::DirectSoundCreate(nullptr, &sound, nullptr))) return nullptr;
    ComOwner<IDirectSound> owner(sound);
    if (FAILED(sound->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_NORMAL))) return nullptr;
    return std::make_unique<DirectSoundOutput>(std::move(owner));
}

}  // namespace quillet
