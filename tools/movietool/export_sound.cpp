#include "tools/movietool/export_sound.h"

#include <algorithm>
#include <limits>

#include "player/audio/wav_file.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace quillet {
namespace {

// Stored sounds are short; a file claiming more than this is not read whole.
constexpr uint32_t kMaxSoundBytes = 512u << 20;

struct ResamplerFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

// The file a cue plays: an effect of the table, a sound object's file, or a
// hotspot's (a drop target sounds its drag source's).
std::string cuePath(const ExportMovie& movie, const SoundCue& cue) {
    if (cue.effect >= 0) {
        if (!movie.sounds.effectsPresent || cue.effect >= kEffectSlots) return std::string();
        return movie.sounds.effects[static_cast<size_t>(cue.effect)];
    }
    const auto& objects = movie.objects.objects;
    if (cue.object < 0 || static_cast<size_t>(cue.object) >= objects.size()) return std::string();
    const CaptionRecord& object = objects[static_cast<size_t>(cue.object)];
    if (object.kind() == caption_kind::kSoundCaption) return object.sound.path;
    if (object.hotspot.eventMask == HotspotTail::kDropTarget)
        for (const CaptionRecord& other : objects)
            if (other.header.objectId == object.hotspot.partnerId) return other.hotspot.sound.path;
    return object.hotspot.sound.path;
}

}  // namespace

bool readClip(const std::string& path, uint32_t rate, MixClip& clip) {
    WaveReader reader([](const std::string& p) -> std::unique_ptr<MovieFile> { return StdioMovieFile::open(p); });
    if (path.empty() || !reader.open(path)) return false;
    const uint16_t bits = reader.bitsPerSample();
    const uint16_t channels = reader.channels();
    if ((bits != 8 && bits != 16) || channels < 1 || channels > 2 || reader.samplesPerSecond() == 0 ||
        reader.dataBytes() > kMaxSoundBytes)
        return false;
    std::vector<uint8_t> data(reader.dataBytes());
    data.resize(data.empty() ? 0 : reader.read(data.data(), static_cast<uint32_t>(data.size())));
    const int blockAlign = channels * bits / 8;
    const int inFrames = static_cast<int>(data.size() / static_cast<size_t>(blockAlign));
    if (inFrames <= 0) return false;

    std::unique_ptr<SwrContext, ResamplerFree> resampler;
    AVChannelLayout in{}, out{};
    av_channel_layout_default(&in, channels);
    av_channel_layout_default(&out, 2);
    SwrContext* made = nullptr;
    if (swr_alloc_set_opts2(&made, &out, AV_SAMPLE_FMT_FLT, static_cast<int>(rate), &in,
                            bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                            static_cast<int>(reader.samplesPerSecond()), 0, nullptr) < 0)
        return false;
    resampler.reset(made);
    if (swr_init(resampler.get()) < 0) return false;
    const int64_t room = swr_get_out_samples(resampler.get(), inFrames) + 64;
    if (room <= 0 || room > std::numeric_limits<int>::max() / 2) return false;
    clip.samples.assign(static_cast<size_t>(2 * room), 0.0f);
    uint8_t* outPlanes[] = {reinterpret_cast<uint8_t*>(clip.samples.data())};
    const uint8_t* inPlanes[] = {data.data()};
    int got = swr_convert(resampler.get(), outPlanes, static_cast<int>(room), inPlanes, inFrames);
    if (got < 0) return false;
    int total = got;
    // What the filter still holds.
    uint8_t* tail[] = {reinterpret_cast<uint8_t*>(clip.samples.data() + 2 * total)};
    got = swr_convert(resampler.get(), tail, static_cast<int>(room) - total, nullptr, 0);
    if (got > 0) total += got;
    clip.samples.resize(static_cast<size_t>(2 * total));
    return true;
}

const MixClip* ExportSound::clip(const std::string& path) {
    if (path.empty()) return nullptr;
    auto found = clips_.find(path);
    if (found == clips_.end()) {
        auto made = std::make_unique<MixClip>();
        if (!readClip(path, mix_.rate(), *made)) made.reset();
        found = clips_.emplace(path, std::move(made)).first;
    }
    return found->second.get();
}

void ExportSound::place(const ExportMovie& movie, const ExportTimeline& timeline) {
    const MovieSounds& sounds = movie.sounds;
    const int64_t end = mix_.samplesAt(timeline.lengthMs);
    if (const MixClip* narration = clip(sounds.narration)) {
        const float gain = gainOfAttenuation(sounds.narrationVolume);
        for (const NarrationPiece& piece : timeline.narration)
            mix_.add(*narration, mix_.samplesAt(piece.startMs), mix_.samplesAt(piece.startMs + piece.durationMs),
                     mix_.samplesAt(piece.narrationMs), gain, false);
    }
    // The background loops from the start for as long as the video, holds included:
    // the player lets it play on while it waits at a hotspot.
    if (const MixClip* background = clip(sounds.background))
        mix_.add(*background, 0, end, 0, gainOfAttenuation(sounds.backgroundVolume), true);

    for (size_t i = 0; i < timeline.cues.size(); ++i) {
        const SoundCue& cue = timeline.cues[i];
        const MixClip* sound = clip(cuePath(movie, cue));
        if (!sound) continue;
        // A channel plays one sound: the next cue on it, or a stop, cuts this one.
        int64_t until = timeline.lengthMs;
        for (size_t j = i + 1; j < timeline.cues.size(); ++j) {
            if (timeline.cues[j].channel == cue.channel) {
                until = timeline.cues[j].startMs;
                break;
            }
        }
        for (const ChannelStop& stop : timeline.stops)
            if (stop.channel == cue.channel && stop.atMs >= cue.startMs) until = std::min(until, stop.atMs);
        mix_.add(*sound, mix_.samplesAt(cue.startMs), mix_.samplesAt(until), 0, 1.0f, false);
    }
}

}  // namespace quillet
