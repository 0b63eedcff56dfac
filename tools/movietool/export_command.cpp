// movietool export: a movie as a video file with its sound and captions, on the
// player's clock, with every hotspot answered after a pause.

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/movietool/export_captions.h"
#include "tools/movietool/export_movie.h"
#include "tools/movietool/export_pictures.h"
#include "tools/movietool/export_sound.h"
#include "tools/movietool/export_timeline.h"
#include "tools/movietool/export_video.h"

namespace quillet {
namespace {

constexpr char kExportUsage[] =
    "usage: movietool export MOVIE OUT.mp4|OUT.webm|OUT.gif|OUT.mkv [--subtitles OUT.vtt] [--no-sound]\n"
    "                        [--no-cursor] [--no-objects] [--size WxH] [--hold-seconds N] [--lossless]\n";
constexpr int32_t kMaxSide = 16384;
constexpr double kMaxHoldSeconds = 3600;
// Sound is encoded in pieces of this many frames as the pictures go.
constexpr size_t kSoundPiece = 4096;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);

struct ExportOptions {
    std::string movie, output, subtitles;
    bool sound = true, cursor = true, objects = true, lossless = false;
    int32_t width = 0, height = 0;
    double holdSeconds = 3;
};

int usageError(const std::string& message) {
    std::fprintf(stderr, "movietool: %s\n%s", message.c_str(), kExportUsage);
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "movietool: %s\n", message.c_str());
    return 1;
}

// A folder of our own in the system's temporary folder, gone with everything in
// it when the export ends, however it ends.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "movietool-export-XXXXXX").string();
        if (error) pattern = "/tmp/movietool-export-XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code error;
        if (!path_.empty()) std::filesystem::remove_all(path_, error);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The output is written under a name beside it and takes its own name only when
// whole: a failed or cut export leaves nothing that looks like a video.
class PartFile {
public:
    explicit PartFile(const std::string& path) : path_(path) {
        const std::filesystem::path p(path);
        part_ = (p.parent_path() / ("." + p.filename().string() + ".part")).string();
    }
    ~PartFile() {
        std::error_code error;
        if (!done_) std::filesystem::remove(part_, error);
    }
    const std::string& part() const { return part_; }
    bool commit(std::string& message) {
        std::error_code error;
        std::filesystem::rename(part_, path_, error);
        if (error) {
            message = "cannot rename " + part_ + " to " + path_ + ": " + error.message();
            return false;
        }
        done_ = true;
        return true;
    }

private:
    std::string path_, part_;
    bool done_ = false;
};

class Progress {
public:
    Progress(int64_t lengthMs, size_t frames)
        : on_(::isatty(STDERR_FILENO) != 0), lengthMs_(lengthMs), frames_(frames),
          started_(std::chrono::steady_clock::now()) {}
    void update(int64_t doneMs, size_t frame) {
        if (!on_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < kProgressInterval) return;
        last_ = now;
        const double fraction = lengthMs_ > 0 ? static_cast<double>(doneMs) / static_cast<double>(lengthMs_) : 1;
        const double spent = std::chrono::duration<double>(now - started_).count();
        const double left = fraction > 0.001 ? spent / fraction - spent : 0;
        std::fprintf(stderr, "\rexporting: %3d%%  frame %zu of %zu  about %.0f s left   ",
                     static_cast<int>(fraction * 100), frame, frames_, left);
        std::fflush(stderr);
    }
    void end() {
        if (on_) std::fprintf(stderr, "\r%60s\r", "");
    }
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    }

private:
    bool on_;
    int64_t lengthMs_;
    size_t frames_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point last_{};
};

// Pictures on their way from the drawing thread to the encoder; a few at most, so
// that the drawing runs no further ahead than the encoder can use.
class PictureQueue {
public:
    static constexpr size_t kDepth = 4;
    // False once the queue is closed: the taker has stopped.
    bool push(std::shared_ptr<PreparedPicture> picture, const std::string& error) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || items_.size() < kDepth; });
        if (closed_) return false;
        items_.push_back({std::move(picture), error});
        changed_.notify_all();
        return true;
    }
    // A picture, or none with the drawing's reason.
    void pop(std::shared_ptr<PreparedPicture>& picture, std::string& error) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return !items_.empty(); });
        picture = std::move(items_.front().picture);
        error = items_.front().error;
        items_.pop_front();
        changed_.notify_all();
    }
    void close() {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

private:
    struct Item {
        std::shared_ptr<PreparedPicture> picture;
        std::string error;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> items_;
    bool closed_ = false;
};

bool parseOptions(const std::vector<std::string>& args, ExportOptions& options, std::string& error) {
    if (args.size() < 2) {
        error = "export takes a movie and an output file";
        return false;
    }
    options.movie = args[0];
    options.output = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool hasValue = i + 1 < args.size();
        if (option == "--no-sound") options.sound = false;
        else if (option == "--no-cursor") options.cursor = false;
        else if (option == "--no-objects") options.objects = false;
        else if (option == "--lossless") options.lossless = true;
        else if (option == "--subtitles" && hasValue) options.subtitles = args[++i];
        else if (option == "--size" && hasValue) {
            char end = 0;
            if (std::sscanf(args[++i].c_str(), "%dx%d%c", &options.width, &options.height, &end) != 2 ||
                options.width < 2 || options.height < 2 || options.width > kMaxSide || options.height > kMaxSide) {
                error = "bad size " + args[i] + " (WxH, each 2 to 16384)";
                return false;
            }
        } else if (option == "--hold-seconds" && hasValue) {
            char* end = nullptr;
            options.holdSeconds = std::strtod(args[++i].c_str(), &end);
            if (!end || *end || !(options.holdSeconds >= 0 && options.holdSeconds <= kMaxHoldSeconds)) {
                error = "bad hold " + args[i] + " (seconds, 0 to 3600)";
                return false;
            }
        } else {
            error = "unknown option " + option;
            return false;
        }
    }
    return true;
}

bool writeTextFile(const std::string& path, const std::string& text, std::string& error) {
    PartFile file(path);
    {
        std::ofstream out(file.part(), std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            error = "cannot write " + path;
            return false;
        }
    }
    return file.commit(error);
}

}  // namespace

int runExport(const std::vector<std::string>& args) {
    ExportOptions options;
    std::string error;
    if (!parseOptions(args, options, error)) return usageError(error);
    // Every picture is a few megabytes made and dropped once a frame; kept in the
    // heap rather than mapped and unmapped each time, the pages are not cleared
    // anew for every frame (a tenth of the export's time otherwise).
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    VideoContainer container;
    if (!containerForPath(options.output, container))
        return usageError("cannot tell the video type of " + options.output + ": name it .mp4, .webm, .gif or .mkv");
    if (!options.subtitles.empty() && options.subtitles == options.output)
        return usageError("the captions and the video need two names");

    TemporaryFolder sounds;
    if (sounds.path().empty()) return fail("cannot make a temporary folder");
    ExportMovie movie;
    if (!readMovieForExport(options.movie, sounds.path(), movie, error)) return fail(options.movie + ": " + error);
    for (const std::string& message : movie.messages)
        std::fprintf(stderr, "movietool: %s: %s\n", options.movie.c_str(), message.c_str());

    const FrameData& frames = *movie.frames;
    TimelineOptions timelineOptions;
    timelineOptions.holdMs = static_cast<int64_t>(options.holdSeconds * 1000 + 0.5);
    timelineOptions.withObjects = options.objects;
    timelineOptions.withSound = options.sound;
    timelineOptions.hasNarration = !movie.sounds.narration.empty();
    timelineOptions.hasEffects = movie.sounds.effectsPresent;
    const ExportTimeline timeline = buildExportTimeline(frames.frames(), frames.frameCount(), frames.timeline(),
                                                        movie.objects.objects, timelineOptions);
    if (timeline.frames.empty() || timeline.lengthMs <= 0)
        return fail(options.movie + ": the movie shows nothing (its frames last no time)");

    PictureOptions pictureOptions;
    pictureOptions.cursor = options.cursor;
    pictureOptions.objects = options.objects;
    pictureOptions.width = options.width;
    pictureOptions.height = options.height;
    auto pictures = makePictureSource(movie, pictureOptions, error);
    if (!pictures) return fail(options.movie + ": " + error);

    const std::vector<Caption> captions = captionsOf(movie.objects.objects, timeline);
    VideoSettings settings;
    settings.container = container;
    settings.width = pictures->width();
    settings.height = pictures->height();
    settings.lossless = options.lossless;
    settings.sound = options.sound;
    settings.captions = !options.subtitles.empty();
    settings.nominalRate = frames.info().framesPerSecond > 0 ? frames.info().framesPerSecond : 10;

    ExportSound sound(kExportSoundRate);
    if (options.sound && container != VideoContainer::Gif) sound.place(movie, timeline);

    PartFile output(options.output);
    VideoWriter writer;
    if (!writer.open(output.part(), settings, error)) return fail(options.output + ": " + error);

    Progress progress(timeline.lengthMs, timeline.frames.size());
    std::vector<float> samples(2 * kSoundPiece);
    int64_t soundDone = 0;
    size_t nextCaption = 0;
    const SoundMix& mix = sound.mix();
    const auto soundUpTo = [&](int64_t sample) {
        while (soundDone < sample) {
            const size_t count = static_cast<size_t>(std::min<int64_t>(kSoundPiece, sample - soundDone));
            mix.mix(soundDone, count, samples.data());
            if (!writer.addSound(samples.data(), count, error)) return false;
            soundDone += static_cast<int64_t>(count);
        }
        return true;
    };
    // The pictures are drawn and converted on a thread of their own while this one
    // mixes and encodes: each side takes about half of the work.
    PictureQueue queue;
    std::thread drawing([&] {
        Picture picture;
        std::string drawError;
        std::shared_ptr<PreparedPicture> previous;
        const ShownFrame* previousShown = nullptr;
        for (const ShownFrame& shown : timeline.frames) {
            std::shared_ptr<PreparedPicture> prepared;
            // A frame that changes nothing (the pointer resting, a pause in the
            // typing) is sent again as it was converted, not drawn anew.
            if (previous && previousShown->hold < 0 && shown.hold < 0 &&
                samePicture(frames.frames(), frames.timeline(), previousShown->frame, shown.frame, options.cursor,
                            options.objects)) {
                prepared = previous;
            } else if (!pictures->pictureAt(shown.frame, picture)) {
                drawError = options.movie + ": frame " + std::to_string(shown.frame) + " cannot be drawn";
            } else {
                if (shown.hold >= 0)
                    drawHoldPrompt(picture, movie.objects.objects[static_cast<size_t>(shown.hold)],
                                   movie.objects.objects, frames.info().recordedArea.width(),
                                   frames.info().recordedArea.height());
                prepared = writer.prepare(picture, drawError);
                if (!prepared) drawError = options.output + ": " + drawError;
            }
            if (!queue.push(prepared, drawError) || !prepared) return;
            previous = prepared;
            previousShown = &shown;
        }
    });
    const auto stopDrawing = [&] {
        queue.close();
        drawing.join();
    };
    for (size_t k = 0; k < timeline.frames.size(); ++k) {
        const ShownFrame& shown = timeline.frames[k];
        std::shared_ptr<PreparedPicture> prepared;
        std::string drawError;
        queue.pop(prepared, drawError);
        if (!prepared) {
            stopDrawing();
            return fail(drawError);
        }
        bool ok = !writer.wantsSound() || soundUpTo(mix.samplesAt(shown.startMs + shown.durationMs));
        for (; ok && nextCaption < captions.size() && captions[nextCaption].startMs <= shown.startMs; ++nextCaption) {
            const Caption& caption = captions[nextCaption];
            ok = writer.addCaption(caption.startMs, caption.endMs, caption.text, error);
        }
        if (!ok || !writer.add(*prepared, shown.startMs, shown.durationMs, error)) {
            stopDrawing();
            return fail(options.output + ": " + error);
        }
        progress.update(shown.startMs + shown.durationMs, k + 1);
    }
    stopDrawing();
    if (writer.wantsSound() && !soundUpTo(mix.samplesAt(timeline.lengthMs))) return fail(options.output + ": " + error);
    for (; nextCaption < captions.size(); ++nextCaption) {
        const Caption& caption = captions[nextCaption];
        if (!writer.addCaption(caption.startMs, caption.endMs, caption.text, error))
            return fail(options.output + ": " + error);
    }
    if (!writer.finish(error)) return fail(options.output + ": " + error);
    progress.end();
    if (!options.subtitles.empty() && !writeTextFile(options.subtitles, webVtt(captions), error)) return fail(error);
    if (!output.commit(error)) return fail(error);

    std::error_code sizeError;
    const auto bytes = std::filesystem::file_size(options.output, sizeError);
    const double seconds = progress.seconds();
    std::printf("%s: %zu pictures, %.3f s, %llu bytes, %zu captions, made in %.2f s (%.1f x real time)\n",
                options.output.c_str(), timeline.frames.size(), static_cast<double>(timeline.lengthMs) / 1000,
                static_cast<unsigned long long>(sizeError ? 0 : bytes), captions.size(), seconds,
                seconds > 0 ? static_cast<double>(timeline.lengthMs) / 1000 / seconds : 0.0);
    std::printf("encoders: %s\n", writer.describe().c_str());
    if (timeline.endedAtStopMark) std::printf("the movie's stop mark ends the video before its last frame\n");
    return 0;
}

}  // namespace quillet
