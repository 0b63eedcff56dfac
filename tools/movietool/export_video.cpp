#include "tools/movietool/export_video.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace quillet {
namespace {

// Video timestamps count milliseconds: every frame keeps the time the movie gives
// it (variable frame rate). A GIF counts hundredths.
constexpr AVRational kMillisecond{1, 1000};
constexpr AVRational kGifTick{1, 100};

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string lowerExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Scaler = std::unique_ptr<SwsContext, ScaleFree>;

// The captions go to the encoders as dialogue lines of the usual subtitle script
// form; this is the least script header they accept.
constexpr char kCaptionScriptHeader[] =
    "[Script Info]\r\nScriptType: v4.00+\r\nPlayResX: 384\r\nPlayResY: 288\r\n\r\n"
    "[V4+ Styles]\r\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, "
    "BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
    "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\r\n"
    "Style: Default,Arial,16,&Hffffff,&Hffffff,&H0,&H0,0,0,0,0,100,100,0,0,1,1,0,2,10,10,10,0\r\n\r\n"
    "[Events]\r\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";

std::string dialogueText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\N";
        else if (c == '{') out += "\\{";
        else if (c == '}') out += "\\}";
        else if (c != '\r') out += c;
    }
    return out;
}

// A growing palette for GIF frames: a colour keeps its index once it has one, so
// that the encoder's frame-to-frame comparison of indices stays a comparison of
// colours. A frame with colours beyond 256 gets the nearest that are there.
class StablePalette {
public:
    // Indexes picture into out (width x height bytes with the given stride); false
    // when a colour had to be approximated.
    bool index(const Picture& picture, uint8_t* out, int stride) {
        bool exact = true;
        for (int32_t y = 0; y < picture.height; ++y) {
            for (int32_t x = 0; x < picture.width; ++x) {
                const uint32_t colour = picture.at(x, y) & 0xFFFFFF;
                // Screens are runs of one colour: the last lookup mostly answers.
                if (colour == lastColour_ && x > 0) {
                    out[static_cast<size_t>(y) * stride + x] = lastIndex_;
                    continue;
                }
                auto found = lookup_.find(colour);
                uint8_t at;
                if (found != lookup_.end()) {
                    at = found->second;
                } else if (colours_.size() < 256) {
                    at = static_cast<uint8_t>(colours_.size());
                    colours_.push_back(colour);
                    lookup_.emplace(colour, at);
                } else {
                    at = nearest(colour);
                    lookup_.emplace(colour, at);
                    exact = false;
                }
                if (found != lookup_.end() && colours_[at] != colour) exact = false;
                out[static_cast<size_t>(y) * stride + x] = at;
                lastColour_ = colour;
                lastIndex_ = at;
            }
        }
        return exact;
    }
    void fill(uint32_t* palette) const {
        for (size_t i = 0; i < 256; ++i) palette[i] = 0xFF000000u | (i < colours_.size() ? colours_[i] : 0);
    }

private:
    uint8_t nearest(uint32_t colour) const {
        int best = 0;
        int64_t bestDistance = INT64_MAX;
        for (size_t i = 0; i < colours_.size(); ++i) {
            const int dr = static_cast<int>((colour >> 16) & 0xFF) - static_cast<int>((colours_[i] >> 16) & 0xFF);
            const int dg = static_cast<int>((colour >> 8) & 0xFF) - static_cast<int>((colours_[i] >> 8) & 0xFF);
            const int db = static_cast<int>(colour & 0xFF) - static_cast<int>(colours_[i] & 0xFF);
            const int64_t d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(i);
            }
        }
        return static_cast<uint8_t>(best);
    }
    std::vector<uint32_t> colours_;
    std::unordered_map<uint32_t, uint8_t> lookup_;
    uint32_t lastColour_ = 0;
    uint8_t lastIndex_ = 0;
};

}  // namespace

bool containerForPath(const std::string& path, VideoContainer& container) {
    const std::string extension = lowerExtension(path);
    if (extension == "mp4") container = VideoContainer::Mp4;
    else if (extension == "webm") container = VideoContainer::WebM;
    else if (extension == "mkv") container = VideoContainer::Mkv;
    else if (extension == "gif") container = VideoContainer::Gif;
    else return false;
    return true;
}

class VideoWriter::Impl {
public:
    ~Impl() {
        if (format_) {
            if (format_->pb) avio_closep(&format_->pb);
            avformat_free_context(format_);
        }
    }

    bool open(const std::string& path, const VideoSettings& settings, std::string& error) {
        settings_ = settings;
        // The libraries' own chatter (encoder statistics) is not for the user; their
        // errors are.
        av_log_set_level(AV_LOG_ERROR);
        const bool gif = settings_.container == VideoContainer::Gif;
        const char* muxer = settings_.container == VideoContainer::Mp4    ? "mp4"
                            : settings_.container == VideoContainer::WebM ? "webm"
                            : settings_.container == VideoContainer::Mkv  ? "matroska"
                                                                          : "gif";
        int status = avformat_alloc_output_context2(&format_, nullptr, muxer, path.c_str());
        if (status < 0 || !format_) return fail(error, "the video format is not available", status);
        if (!openVideo(error)) return false;
        if (settings_.sound && !gif && !openSound(error)) return false;
        if (settings_.captions && !gif && !openCaptions(error)) return false;
        status = avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE);
        if (status < 0) return fail(error, "cannot create the file", status);
        AVDictionary* options = nullptr;
        // The index goes before the media, so that a web page can start playing
        // before the whole file has come.
        if (settings_.container == VideoContainer::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
        status = avformat_write_header(format_, &options);
        av_dict_free(&options);
        if (status < 0) return fail(error, "cannot write the file's header", status);
        packet_.reset(av_packet_alloc());
        return true;
    }

    std::shared_ptr<PreparedPicture> prepare(const Picture& picture, std::string& error) {
        Frame frame(av_frame_alloc());
        const AVCodecContext* c = video_.get();
        frame->format = c->pix_fmt;
        frame->width = c->width;
        frame->height = c->height;
        const int status = av_frame_get_buffer(frame.get(), 0);
        if (status < 0) {
            fail(error, "out of memory", status);
            return nullptr;
        }
        if (!fillFrame(picture, frame.get(), error)) return nullptr;
        auto prepared = std::make_shared<PreparedPicture>();
        prepared->frame = frame.release();
        return prepared;
    }

    bool add(const PreparedPicture& prepared, int64_t startMs, int64_t durationMs, std::string& error) {
        if (durationMs <= 0) return true;
        if (settings_.container == VideoContainer::Gif) {
            // Constant rate: the picture stands for every tick that starts while it
            // is on screen.
            const int64_t step = 1000 / kGifFramesPerSecond;
            for (int64_t tick = (startMs + step - 1) / step; tick * step < startMs + durationMs; ++tick)
                if (!sendPicture(prepared.frame, tick * (100 / kGifFramesPerSecond), 100 / kGifFramesPerSecond, error))
                    return false;
            return true;
        }
        return sendPicture(prepared.frame, startMs, durationMs, error);
    }

    bool addSound(const float* samples, size_t frames, std::string& error) {
        if (!sound_) return true;
        const int frameSize = sound_->frame_size > 0 ? sound_->frame_size : 1024;
        pending_.insert(pending_.end(), samples, samples + 2 * frames);
        size_t used = 0;
        while (pending_.size() - used >= static_cast<size_t>(2 * frameSize)) {
            if (!encodeSound(pending_.data() + used, frameSize, error)) return false;
            used += static_cast<size_t>(2 * frameSize);
        }
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
        return true;
    }

    bool addCaption(int64_t startMs, int64_t endMs, const std::string& text, std::string& error) {
        if (!captions_ || endMs <= startMs) return true;
        std::string line = "0,0,Default,,0,0,0,," + dialogueText(text);
        AVSubtitleRect rect{};
        rect.type = SUBTITLE_ASS;
        rect.ass = line.data();
        AVSubtitleRect* rects[] = {&rect};
        AVSubtitle subtitle{};
        subtitle.format = 1;
        subtitle.start_display_time = 0;
        subtitle.end_display_time = static_cast<uint32_t>(endMs - startMs);
        subtitle.num_rects = 1;
        subtitle.rects = rects;
        subtitle.pts = av_rescale_q(startMs, kMillisecond, AV_TIME_BASE_Q);
        std::vector<uint8_t> buffer(64 * 1024 + 4 * line.size());
        const int size = avcodec_encode_subtitle(captions_.get(), buffer.data(), static_cast<int>(buffer.size()), &subtitle);
        if (size < 0) return fail(error, "cannot encode a caption", size);
        Packet packet(av_packet_alloc());
        if (av_new_packet(packet.get(), size) < 0) return fail(error, "out of memory", 0);
        std::memcpy(packet->data, buffer.data(), static_cast<size_t>(size));
        packet->pts = packet->dts = startMs;
        packet->duration = endMs - startMs;
        packet->stream_index = captionStream_->index;
        av_packet_rescale_ts(packet.get(), kMillisecond, captionStream_->time_base);
        const int status = av_interleaved_write_frame(format_, packet.get());
        if (status < 0) return fail(error, "cannot write a caption", status);
        return true;
    }

    bool finish(std::string& error) {
        if (sound_) {
            const int frameSize = sound_->frame_size > 0 ? sound_->frame_size : 1024;
            if (!pending_.empty()) {
                const size_t frames = pending_.size() / 2;
                const bool small = sound_->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
                if (!small) pending_.resize(static_cast<size_t>(2 * frameSize), 0.0f);
                if (!encodeSound(pending_.data(), small ? static_cast<int>(frames) : frameSize, error)) return false;
                pending_.clear();
            }
            if (!drain(sound_.get(), soundStream_, error)) return false;
        }
        if (!drain(video_.get(), videoStream_, error)) return false;
        const int status = av_write_trailer(format_);
        if (status < 0) return fail(error, "cannot finish the file", status);
        avio_closep(&format_->pb);
        return true;
    }

    bool wantsSound() const { return sound_ != nullptr; }

    std::string describe() const { return description_; }

private:
    bool fail(std::string& error, const std::string& what, int status) {
        error = what + (status < 0 ? " (" + avError(status) + ")" : std::string());
        return false;
    }

    const AVCodec* findEncoder(const char* name, std::string& error) {
        const AVCodec* codec = avcodec_find_encoder_by_name(name);
        if (!codec) error = std::string("this system's FFmpeg has no ") + name + " encoder";
        return codec;
    }

    bool openVideo(std::string& error) {
        const bool lossless = settings_.lossless;
        const char* name = nullptr;
        switch (settings_.container) {
        case VideoContainer::Mp4:
        case VideoContainer::Mkv: name = lossless ? "libx264rgb" : "libx264"; break;
        case VideoContainer::WebM: name = "libvpx-vp9"; break;
        case VideoContainer::Gif: name = "gif"; break;
        }
        const AVCodec* codec = findEncoder(name, error);
        if (!codec) return false;
        video_.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = video_.get();
        c->width = settings_.width;
        c->height = settings_.height;
        c->time_base = settings_.container == VideoContainer::Gif ? kGifTick : kMillisecond;
        c->framerate = AVRational{std::max(1, settings_.nominalRate), 1};
        c->sample_aspect_ratio = AVRational{1, 1};
        c->thread_count = 2;
        AVDictionary* options = nullptr;
        switch (settings_.container) {
        case VideoContainer::Mp4:
        case VideoContainer::Mkv:
            // Screen pictures change little from frame to frame: the superfast
            // preset takes half the encoder's time of veryfast on them for a file
            // about a tenth larger, and keeps the export well ahead of real time.
            // CRF 18 keeps text edges crisp; the plain 4:2:0 picture plays
            // everywhere. Lossless: RGB as it is, quantiser 0.
            c->pix_fmt = lossless ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_YUV420P;
            av_dict_set(&options, "preset", "superfast", 0);
            if (lossless) av_dict_set(&options, "qp", "0", 0);
            else av_dict_set(&options, "crf", "18", 0);
            description_ = lossless ? "H.264 RGB lossless (libx264rgb, qp 0, preset superfast)"
                                    : "H.264 4:2:0 (libx264, crf 18, preset superfast)";
            break;
        case VideoContainer::WebM:
            // The realtime deadline at its fastest speed with row threading: the
            // good-quality modes cost ten times as much for screens.
            c->pix_fmt = lossless ? AV_PIX_FMT_GBRP : AV_PIX_FMT_YUV420P;
            c->bit_rate = 0;
            av_dict_set(&options, "deadline", "realtime", 0);
            av_dict_set(&options, "cpu-used", "8", 0);
            av_dict_set(&options, "row-mt", "1", 0);
            av_dict_set(&options, "tile-columns", "1", 0);
            if (lossless) av_dict_set(&options, "lossless", "1", 0);
            else av_dict_set(&options, "crf", "30", 0);
            description_ = lossless ? "VP9 4:4:4 lossless (libvpx-vp9, realtime, cpu-used 8)"
                                    : "VP9 4:2:0 (libvpx-vp9, crf 30, realtime, cpu-used 8)";
            break;
        case VideoContainer::Gif:
            c->pix_fmt = AV_PIX_FMT_PAL8;
            // Each frame carries its own table: the palette grows as colours come.
            av_dict_set(&options, "global_palette", "0", 0);
            description_ = "GIF, 10 frames a second, one palette of up to 256 colours kept across frames";
            break;
        }
        if (c->pix_fmt == AV_PIX_FMT_YUV420P) {
            c->width = evenUp(c->width, c);
            c->height = evenUp(c->height, c);
            // Stated, so that players turn it back into RGB the way it was made.
            c->color_range = AVCOL_RANGE_MPEG;
            c->colorspace = AVCOL_SPC_SMPTE170M;
            c->color_primaries = AVCOL_PRI_SMPTE170M;
            c->color_trc = AVCOL_TRC_SMPTE170M;
        }
        if (format_->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        int status = avcodec_open2(c, codec, &options);
        av_dict_free(&options);
        if (status < 0) return fail(error, std::string("cannot start the ") + name + " encoder", status);
        videoStream_ = avformat_new_stream(format_, nullptr);
        if (!videoStream_) return fail(error, "out of memory", 0);
        videoStream_->time_base = c->time_base;
        avcodec_parameters_from_context(videoStream_->codecpar, c);

        if (c->pix_fmt != AV_PIX_FMT_PAL8) {
            // Odd sizes are padded to even ones by repeating the last column and
            // row, not stretched: a stretch would blur every pixel. 4:2:0 goes
            // through the converter's direct path from packed 24-bit pixels, several
            // times faster than its general one for the same result within a level;
            // RGB for the lossless encoders is only reordered.
            direct_ = c->pix_fmt == AV_PIX_FMT_YUV420P;
            scaler_.reset(sws_getContext(c->width, c->height, direct_ ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_BGR0, c->width,
                                         c->height, c->pix_fmt, direct_ ? SWS_BILINEAR : SWS_POINT, nullptr, nullptr,
                                         nullptr));
            if (!scaler_) return fail(error, "cannot convert the pictures", 0);
        }
        return true;
    }

    // The size a picture is padded to for the encoder's pixel format.
    static int evenUp(int32_t size, const AVCodecContext* c) {
        const bool subsampled = c->pix_fmt == AV_PIX_FMT_YUV420P;
        return subsampled && (size & 1) ? size + 1 : size;
    }

    bool openSound(std::string& error) {
        const bool webm = settings_.container == VideoContainer::WebM || settings_.container == VideoContainer::Mkv;
        // AAC in MP4 plays everywhere MP4 does; WebM allows only Opus or Vorbis, and
        // Opus is the better of the two at speech rates. Matroska takes Opus too.
        const char* name = webm ? "libopus" : "aac";
        const AVCodec* codec = findEncoder(name, error);
        if (!codec) return false;
        sound_.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = sound_.get();
        c->sample_rate = static_cast<int>(kExportSoundRate);
        av_channel_layout_default(&c->ch_layout, 2);
        c->sample_fmt = webm ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_FLTP;
        c->bit_rate = webm ? 96000 : 128000;
        c->time_base = AVRational{1, static_cast<int>(kExportSoundRate)};
        if (format_->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary* options = nullptr;
        // The encoder's fast search costs a third of its default one and is not
        // heard on speech and short effects at this rate.
        if (!webm) av_dict_set(&options, "aac_coder", "fast", 0);
        const int status = avcodec_open2(c, codec, &options);
        av_dict_free(&options);
        if (status < 0) return fail(error, std::string("cannot start the ") + name + " encoder", status);
        soundStream_ = avformat_new_stream(format_, nullptr);
        if (!soundStream_) return fail(error, "out of memory", 0);
        soundStream_->time_base = c->time_base;
        avcodec_parameters_from_context(soundStream_->codecpar, c);
        description_ += webm ? "; Opus 96 kbit/s stereo 48 kHz" : "; AAC-LC 128 kbit/s stereo 48 kHz";
        return true;
    }

    bool openCaptions(std::string& error) {
        const char* name = settings_.container == VideoContainer::Mp4    ? "mov_text"
                           : settings_.container == VideoContainer::WebM ? "webvtt"
                                                                         : "subrip";
        const AVCodec* codec = findEncoder(name, error);
        if (!codec) return false;
        captions_.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = captions_.get();
        c->time_base = kMillisecond;
        const size_t headerSize = sizeof kCaptionScriptHeader;
        c->subtitle_header = static_cast<uint8_t*>(av_mallocz(headerSize));
        if (!c->subtitle_header) return fail(error, "out of memory", 0);
        std::memcpy(c->subtitle_header, kCaptionScriptHeader, headerSize);
        c->subtitle_header_size = static_cast<int>(headerSize - 1);
        const int status = avcodec_open2(c, codec, nullptr);
        if (status < 0) return fail(error, std::string("cannot start the ") + name + " encoder", status);
        captionStream_ = avformat_new_stream(format_, nullptr);
        if (!captionStream_) return fail(error, "out of memory", 0);
        captionStream_->time_base = kMillisecond;
        avcodec_parameters_from_context(captionStream_->codecpar, c);
        description_ += std::string("; captions as ") + name;
        return true;
    }

    // Runs on the thread that makes the pictures: it touches only the frame, the
    // converter and the palette, never the encoder.
    bool fillFrame(const Picture& picture, AVFrame* frame, std::string& error) {
        const AVCodecContext* c = video_.get();
        if (picture.width != settings_.width || picture.height != settings_.height)
            return fail(error, "a picture is not the video's size", 0);
        if (c->pix_fmt == AV_PIX_FMT_PAL8) {
            if (!palette_.index(picture, frame->data[0], frame->linesize[0]) && settings_.lossless)
                return fail(error, "a picture has more than 256 colours, more than a GIF holds exactly", 0);
            palette_.fill(reinterpret_cast<uint32_t*>(frame->data[1]));
        } else {
            const int width = evenUp(picture.width, c), height = evenUp(picture.height, c);
            const Picture* source = &picture;
            if (width != picture.width || height != picture.height) {
                padded_ = Picture(width, height);
                for (int32_t y = 0; y < height; ++y)
                    for (int32_t x = 0; x < width; ++x)
                        padded_.at(x, y) = picture.at(std::min(x, picture.width - 1), std::min(y, picture.height - 1));
                source = &padded_;
            }
            const uint8_t* planes[] = {reinterpret_cast<const uint8_t*>(source->pixels.data())};
            int strides[] = {source->width * 4};
            if (direct_) {
                packed_.resize(static_cast<size_t>(source->width) * source->height * 3);
                uint8_t* out = packed_.data();
                for (uint32_t pixel : source->pixels) {
                    *out++ = static_cast<uint8_t>(pixel);
                    *out++ = static_cast<uint8_t>(pixel >> 8);
                    *out++ = static_cast<uint8_t>(pixel >> 16);
                }
                planes[0] = packed_.data();
                strides[0] = source->width * 3;
            }
            sws_scale(scaler_.get(), planes, strides, 0, source->height, frame->data, frame->linesize);
        }
        return true;
    }

    bool sendPicture(AVFrame* frame, int64_t pts, int64_t duration, std::string& error) {
        AVCodecContext* c = video_.get();
        frame->pts = pts;
        durations_[pts] = duration;
        const int status = avcodec_send_frame(c, frame);
        if (status < 0) return fail(error, "cannot encode a picture", status);
        return receive(c, videoStream_, error);
    }

    bool encodeSound(const float* samples, int frames, std::string& error) {
        AVCodecContext* c = sound_.get();
        Frame frame(av_frame_alloc());
        frame->format = c->sample_fmt;
        frame->nb_samples = frames;
        frame->sample_rate = c->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
        int status = av_frame_get_buffer(frame.get(), 0);
        if (status < 0) return fail(error, "out of memory", status);
        if (c->sample_fmt == AV_SAMPLE_FMT_FLT) {
            std::memcpy(frame->data[0], samples, sizeof(float) * 2 * static_cast<size_t>(frames));
        } else {
            auto* left = reinterpret_cast<float*>(frame->data[0]);
            auto* right = reinterpret_cast<float*>(frame->data[1]);
            for (int i = 0; i < frames; ++i) {
                left[i] = samples[2 * i];
                right[i] = samples[2 * i + 1];
            }
        }
        frame->pts = soundSamples_;
        soundSamples_ += frames;
        status = avcodec_send_frame(c, frame.get());
        if (status < 0) return fail(error, "cannot encode the sound", status);
        return receive(c, soundStream_, error);
    }

    bool drain(AVCodecContext* c, AVStream* stream, std::string& error) {
        const int status = avcodec_send_frame(c, nullptr);
        if (status < 0 && status != AVERROR_EOF) return fail(error, "cannot end a stream", status);
        return receive(c, stream, error);
    }

    bool receive(AVCodecContext* c, AVStream* stream, std::string& error) {
        for (;;) {
            int status = avcodec_receive_packet(c, packet_.get());
            if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return true;
            if (status < 0) return fail(error, "cannot encode", status);
            if (c == video_.get()) {
                // Every picture lasts as long as the movie shows it, the last one too.
                auto found = durations_.find(packet_->pts);
                if (found != durations_.end()) {
                    packet_->duration = found->second;
                    durations_.erase(found);
                }
            }
            packet_->stream_index = stream->index;
            av_packet_rescale_ts(packet_.get(), c->time_base, stream->time_base);
            status = av_interleaved_write_frame(format_, packet_.get());
            if (status < 0) return fail(error, "cannot write the file", status);
        }
    }

    VideoSettings settings_;
    AVFormatContext* format_ = nullptr;
    CodecContext video_, sound_, captions_;
    AVStream* videoStream_ = nullptr;
    AVStream* soundStream_ = nullptr;
    AVStream* captionStream_ = nullptr;
    Packet packet_;
    Scaler scaler_;
    Picture padded_;
    bool direct_ = false;
    std::vector<uint8_t> packed_;
    StablePalette palette_;
    std::map<int64_t, int64_t> durations_;
    std::vector<float> pending_;
    int64_t soundSamples_ = 0;
    std::string description_;
};

VideoWriter::VideoWriter() : impl_(std::make_unique<Impl>()) {}
VideoWriter::~VideoWriter() = default;
bool VideoWriter::open(const std::string& path, const VideoSettings& settings, std::string& error) {
    return impl_->open(path, settings, error);
}
PreparedPicture::~PreparedPicture() { av_frame_free(&frame); }
std::shared_ptr<PreparedPicture> VideoWriter::prepare(const Picture& picture, std::string& error) {
    return impl_->prepare(picture, error);
}
bool VideoWriter::add(const PreparedPicture& picture, int64_t startMs, int64_t durationMs, std::string& error) {
    return impl_->add(picture, startMs, durationMs, error);
}
bool VideoWriter::addSound(const float* samples, size_t frames, std::string& error) {
    return impl_->addSound(samples, frames, error);
}
bool VideoWriter::wantsSound() const { return impl_->wantsSound(); }
bool VideoWriter::addCaption(int64_t startMs, int64_t endMs, const std::string& text, std::string& error) {
    return impl_->addCaption(startMs, endMs, text, error);
}
bool VideoWriter::finish(std::string& error) { return impl_->finish(error); }
std::string VideoWriter::describe() const { return impl_->describe(); }

}  // namespace quillet
