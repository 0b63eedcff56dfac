// movietool export, from outside: a movie made here is exported by the tool, and
// the file it writes is decoded with FFmpeg's libraries and held against what the
// player would show and play, at the times it would.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/support/tone_wav.h"
#include "tools/moviewriter/desktop_scene.h"
#include "tools/moviewriter/movie_writer.h"
#include "tools/moviewriter/sound_records.h"
#include "tools/movietool/rendered_movie.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace quillet {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kWidth = 160, kHeight = 120;
constexpr int kHoldMs = 1000;
constexpr double kNarrationTone = 1000, kClickTone = 3000;

// The movie: frames of their own delays and holds, a hotspot on frame 3 whose span
// takes in frame 4, a frame of no time, narration tones at 300 and 1100 ms of the
// track, a click on frame 7, a titled text box, and frames 8 and 9 with the screen
// of frame 7, the pointer moved on 8 and resting on 9.
struct MovieFrameSpec {
    int32_t delay, hold;
    uint32_t input;
    int picture;
    int32_t cursorX;
};
const MovieFrameSpec kFrames[] = {{200, 0, 0, 0, 0},   {300, -200, 0, 1, 0}, {100, 400, 0, 2, 0},
                                  {200, 0, 0, 3, 0},   {100, 0, 0, 4, 0},    {250, 0, 0, 5, 0},
                                  {0, 0, 0, 6, 0},     {300, 0, 513, 7, 0},  {200, 0, 0, 7, 90},
                                  {200, 0, 0, 7, 90}};
constexpr int32_t kHotspotFrame = 3, kHotspotFrames = 2;
const Rect kHotspotArea{20, 16, 60, 40};

// What a viewer sees, worked out by hand from the player's rules: each frame its
// delay and the magnitude of its hold, the hotspot's frame for the hold and then
// on after its span (frame 4 never shows), frame 6 of no time never shows.
struct Expected {
    int frame;
    int64_t start, end;
};
const Expected kShown[] = {{0, 0, 200},       {1, 200, 700},     {2, 700, 1200}, {3, 1200, 2200},
                           {5, 2200, 2450},   {7, 2450, 2750},   {8, 2750, 2950}, {9, 2950, 3150}};
constexpr int64_t kLengthMs = 3150;
// The narration plays on through a negative hold, waits through a positive one
// and through the hotspot, and after the answer resumes where frame 5 has it:
// 200 + 300 + 200 before frame 2, frame 2 and 4 (skipped, but counted) as the
// player counts them, so 1000 ms at frame 5. The tone at 300 ms of the track is
// heard at 300; the one at 1100 at 2200 + 100.
constexpr int64_t kToneHeardMs[] = {300, 2300};
constexpr int64_t kClickHeardMs = 2450;

Picture framePicture(int index) {
    Picture picture(kWidth, kHeight, 0x203040 + 0x101010 * static_cast<uint32_t>(index));
    picture.fillRect(8 + 10 * index, 60, 40 + 10 * index, 100, 0xE0C020);
    drawSceneText(picture, 70, 20, "Frame " + std::to_string(index), 0xFFFFFF, 2);
    return picture;
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int run(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Decoded {
    std::vector<std::pair<int64_t, Picture>> pictures;  // start ms, picture
    std::vector<float> sound;                             // mono at kRate from time 0
    double durationMs = 0;
    int captionStreams = 0;
    static constexpr int kRate = 48000;
};

// The pictures as 0x00RRGGBB, the sound as mono placed by its timestamps.
bool decode(const std::string& path, Decoded& out) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
    avformat_find_stream_info(format, nullptr);
    out.durationMs = format->duration > 0 ? format->duration / 1000.0 : 0;
    std::vector<AVCodecContext*> decoders(format->nb_streams, nullptr);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* p = format->streams[i]->codecpar;
        if (p->codec_type == AVMEDIA_TYPE_SUBTITLE) ++out.captionStreams;
        if (p->codec_type != AVMEDIA_TYPE_VIDEO && p->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        const AVCodec* codec = avcodec_find_decoder(p->codec_id);
        decoders[i] = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoders[i], p);
        avcodec_open2(decoders[i], codec, nullptr);
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const auto take = [&](unsigned index) {
        AVCodecContext* c = decoders[index];
        const AVRational base = format->streams[index]->time_base;
        while (avcodec_receive_frame(c, frame) >= 0) {
            const int64_t pts = frame->best_effort_timestamp;
            if (c->codec_type == AVMEDIA_TYPE_VIDEO) {
                Picture picture(frame->width, frame->height);
                SwsContext* scale = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                                   frame->width, frame->height, AV_PIX_FMT_BGR0,
                                                   SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
                uint8_t* planes[] = {reinterpret_cast<uint8_t*>(picture.pixels.data())};
                int strides[] = {frame->width * 4};
                sws_scale(scale, frame->data, frame->linesize, 0, frame->height, planes, strides);
                sws_freeContext(scale);
                for (uint32_t& p : picture.pixels) p &= 0xFFFFFF;
                out.pictures.emplace_back(av_rescale_q(pts, base, AVRational{1, 1000}), std::move(picture));
            } else {
                SwrContext* swr = nullptr;
                AVChannelLayout mono{};
                av_channel_layout_default(&mono, 1);
                swr_alloc_set_opts2(&swr, &mono, AV_SAMPLE_FMT_FLT, Decoded::kRate, &frame->ch_layout,
                                    static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
                swr_init(swr);
                std::vector<float> samples(static_cast<size_t>(frame->nb_samples) * 2 + 256);
                uint8_t* planes[] = {reinterpret_cast<uint8_t*>(samples.data())};
                const int got = swr_convert(swr, planes, static_cast<int>(samples.size()),
                                            const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
                swr_free(&swr);
                const int64_t at = av_rescale_q(pts, base, AVRational{1, Decoded::kRate});
                for (int i = 0; i < got; ++i) {
                    if (at + i < 0) continue;
                    if (out.sound.size() <= static_cast<size_t>(at + i)) out.sound.resize(static_cast<size_t>(at + i) + 1);
                    out.sound[static_cast<size_t>(at + i)] = samples[static_cast<size_t>(i)];
                }
            }
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        const auto index = static_cast<unsigned>(packet->stream_index);
        if (decoders[index] && avcodec_send_packet(decoders[index], packet) >= 0) take(index);
        av_packet_unref(packet);
    }
    for (unsigned i = 0; i < decoders.size(); ++i) {
        if (!decoders[i]) continue;
        avcodec_send_packet(decoders[i], nullptr);
        take(i);
        avcodec_free_context(&decoders[i]);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    std::sort(out.pictures.begin(), out.pictures.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    // Matroska cannot store times before 0, and Opus starts before 0 (its encoder
    // delay): the muxer moves every stream on by that much, keeping them in step.
    // Times are taken from the first picture, as a player presents them.
    if (out.pictures.empty()) return false;
    const int64_t first = out.pictures.front().first;
    for (auto& entry : out.pictures) entry.first -= first;
    const size_t drop = static_cast<size_t>(first * Decoded::kRate / 1000);
    out.sound.erase(out.sound.begin(), out.sound.begin() + static_cast<std::ptrdiff_t>(std::min(drop, out.sound.size())));
    return true;
}

// The picture on screen at ms.
const Picture* shownAt(const Decoded& video, int64_t ms) {
    const Picture* shown = nullptr;
    for (const auto& [start, picture] : video.pictures)
        if (start <= ms) shown = &picture;
    return shown;
}

// Peak signal to noise over RGB, from row top down; infinite when equal.
double psnr(const Picture& a, const Picture& b, int32_t top = 0) {
    double sum = 0;
    size_t count = 0;
    for (int32_t y = top; y < std::min(a.height, b.height); ++y)
        for (int32_t x = 0; x < std::min(a.width, b.width); ++x)
            for (int shift : {0, 8, 16}) {
                const double d = static_cast<double>((a.at(x, y) >> shift) & 0xFF) - ((b.at(x, y) >> shift) & 0xFF);
                sum += d * d;
                ++count;
            }
    return sum == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(count)));
}

// The first time from fromMs at which a tone of frequency sounds: the power at it
// over 5 ms windows (Goertzel) passing a fixed level.
int64_t toneStart(const std::vector<float>& sound, double frequency, int64_t fromMs) {
    constexpr int kWindow = Decoded::kRate / 200;
    const double k = 2 * std::cos(2 * M_PI * frequency / Decoded::kRate);
    for (size_t start = static_cast<size_t>(fromMs * Decoded::kRate / 1000); start + kWindow <= sound.size();
         start += kWindow / 2) {
        double s1 = 0, s2 = 0;
        for (int i = 0; i < kWindow; ++i) {
            const double s0 = sound[start + static_cast<size_t>(i)] + k * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = (s1 * s1 + s2 * s2 - k * s1 * s2) / (kWindow * kWindow);
        if (power > 0.002) return static_cast<int64_t>(start * 1000 / Decoded::kRate);
    }
    return -1;
}

class Export : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = fs::temp_directory_path() / ("export_test_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        MovieWriter writer;
        writer.setScreen({kWidth, kHeight, 32});
        writer.setBandHeight(8);
        for (int i = 0; i < static_cast<int>(std::size(kFrames)); ++i) {
            FrameSpec spec(kFrames[i].delay);
            spec.holdMs = kFrames[i].hold;
            spec.inputMessage = kFrames[i].input;
            spec.cursorX = spec.cursorY = kFrames[i].cursorX;
            writer.addFrame(framePicture(kFrames[i].picture), spec);
        }
        CaptionRecord hotspot;
        hotspot.header.kind = caption_kind::kHotspotCaption;
        hotspot.header.objectId = 1;
        hotspot.header.firstFrame = kHotspotFrame;
        hotspot.header.frameCount = kHotspotFrames;
        hotspot.header.bodyRect = hotspot.header.boundsRect = kHotspotArea;
        hotspot.hotspot.label = "OK";
        writer.addObject(hotspot);
        CaptionRecord titled;
        titled.header.kind = caption_kind::kTitledCaption;
        titled.header.objectId = 2;
        titled.header.firstFrame = 1;
        titled.header.frameCount = 2;
        titled.text = "Body & <more>";
        titled.title.title = "Title";
        writer.addObject(titled);
        StoredSounds& sounds = writer.sounds();
        sounds.header.narrationPresent = sounds.header.narrationEmbedded = 1;
        sounds.narration = zlibSoundRecord(testing::toneSequenceWav(
            {{0, 300}, {kNarrationTone, 100}, {0, 700}, {kNarrationTone, 100}, {0, 800}}, 22050, 16, 0.5));
        sounds.header.effectsPresent = sounds.header.effectsEmbedded = 1;
        sounds.effects = {zlibSoundRecord(testing::toneWav(22050, 0.1, kClickTone, 16, 0.5))};
        std::ofstream(movie(), std::ios::binary) << writer.build();
        // The stills the export is held against: the portable renderer's, each
        // rebuilt from the movie's start (taken last frame first), where the export
        // goes from frame to frame.
        std::string error;
        auto rendered = openRenderedMovie(movie(), error);
        ASSERT_TRUE(rendered) << error;
        for (auto e = std::rbegin(kShown); e != std::rend(kShown); ++e) {
            render::Picture still = renderFrame(*rendered, e->frame, render::RenderOptions());
            stills_[e->frame] = Picture(still.width, still.height);
            stills_[e->frame].pixels = still.pixels;
        }
    }
    static void TearDownTestSuite() { fs::remove_all(folder_); }
    static std::string movie() { return (folder_ / "test.movie").string(); }
    static std::string exportTo(const std::string& name, const std::string& options = "") {
        const std::string out = (folder_ / name).string();
        const int status = run(std::string(MOVIETOOL) + " export " + movie() + " " + out + " --hold-seconds " +
                               std::to_string(kHoldMs / 1000) + " " + options);
        return status == 0 ? out : std::string();
    }
    static fs::path folder_;
    static std::map<int, Picture> stills_;
};
fs::path Export::folder_;
std::map<int, Picture> Export::stills_;

struct PictureCase {
    const char* name;
    const char* options;
    double leastPsnr;  // INFINITY: exact
    bool sound;
    int64_t tickMs;    // a constant rate shows a frame from the first tick in its time
};

TEST_F(Export, EveryFrameShowsForItsTimeAndTheSoundIsWhereThePlayerPlaysIt) {
    const PictureCase cases[] = {
        {"lossy.mp4", "", 30, true, 1},
        {"lossy.webm", "", 30, true, 1},
        {"exact.mkv", "--lossless", INFINITY, true, 1},
        {"exact.mp4", "--lossless", INFINITY, true, 1},
        // Few colours: a GIF holds them exactly, at ten frames a second.
        {"few.gif", "", INFINITY, false, 100},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = exportTo(c.name, c.options);
        ASSERT_FALSE(out.empty());
        Decoded video;
        ASSERT_TRUE(decode(out, video));
        // One frame of the movie at most, however the container rounds.
        EXPECT_NEAR(video.durationMs, kLengthMs, 100);
        for (const Expected& e : kShown) {
            SCOPED_TRACE("movie frame " + std::to_string(e.frame));
            const int64_t firstTick = (e.start + c.tickMs - 1) / c.tickMs * c.tickMs;
            for (int64_t at : {firstTick, (e.start + e.end) / 2, e.end - 1}) {
                const Picture* shown = shownAt(video, at);
                ASSERT_NE(shown, nullptr);
                ASSERT_EQ(shown->width, kWidth);
                // Held at the hotspot, the top rows show the prompt; the rest is the
                // frame.
                const bool held = e.frame == kHotspotFrame;
                const double quality = psnr(*shown, stills_[e.frame], held ? kHotspotArea.bottom + 40 : 0);
                if (std::isinf(c.leastPsnr)) EXPECT_TRUE(std::isinf(quality)) << "at " << at << " ms: " << quality << " dB";
                else EXPECT_GE(quality, c.leastPsnr) << "at " << at << " ms";
                if (held) {
                    const uint32_t outline = shown->at(kHotspotArea.left - 2, kHotspotArea.top + 10);
                    EXPECT_GT((outline >> 16) & 0xFF, 200u) << std::hex << outline;
                    EXPECT_LT((outline >> 8) & 0xFF, 80u) << std::hex << outline;
                }
            }
        }
        if (!c.sound) continue;
        int64_t from = 0;
        for (int64_t heard : kToneHeardMs) {
            const int64_t start = toneStart(video.sound, kNarrationTone, from);
            EXPECT_NEAR(start, heard, 40);
            from = heard + 150;
        }
        EXPECT_NEAR(toneStart(video.sound, kClickTone, 0), kClickHeardMs, 40);
    }
}

TEST_F(Export, TextObjectsBecomeCaptionsOnTheVideosClock) {
    const std::string vtt = (folder_ / "captions.vtt").string();
    for (const char* name : {"captions.mp4", "captions.webm", "captions.mkv"}) {
        SCOPED_TRACE(name);
        const std::string out = exportTo(name, "--subtitles " + vtt);
        ASSERT_FALSE(out.empty());
        Decoded video;
        ASSERT_TRUE(decode(out, video));
        EXPECT_EQ(video.captionStreams, 1);
        // Frames 1 and 2 (frame 1 starts at 200 ms, frame 2 ends at 1200), the title
        // first, markup characters escaped.
        EXPECT_EQ(readAll(vtt), "WEBVTT\n\n00:00:00.200 --> 00:00:01.200\nTitle\nBody &amp; &lt;more&gt;\n");
    }
}

TEST_F(Export, FailuresLeaveNothingBehind) {
    // A movie whose signature is gone is no movie at all.
    std::string damaged = readAll(movie());
    damaged.replace(0, 8, "XXXXXXXX");
    const std::string damagedMovie = (folder_ / "damaged.movie").string();
    std::ofstream(damagedMovie, std::ios::binary) << damaged;
    struct Case {
        std::string movie, output;
        int status;
    };
    const Case cases[] = {
        {movie(), "video.avi", 2},
        {damagedMovie, "damaged.mp4", 1},
        {(folder_ / "missing.movie").string(), "missing.mp4", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const fs::path out = folder_ / c.output;
        EXPECT_EQ(run(std::string(MOVIETOOL) + " export " + c.movie + " " + out.string()), c.status);
        EXPECT_FALSE(fs::exists(out));
        EXPECT_FALSE(fs::exists(folder_ / ("." + c.output + ".part")));
    }
}

}  // namespace
}  // namespace quillet
