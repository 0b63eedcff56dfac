// Playback figures under Wine, each against a baseline from the same run:
//   - decode-and-apply speed of a 1024 x 768 x 32 movie's key pictures, against
//     FFmpeg's screen-codec decoder on the same pictures (bench/playback_bench.sh
//     measures it), and of its 20-row delta frames; both against inflating the same
//     bands alone with zlib and with libdeflate;
//   - pacing: the lateness of presented frames of a 30 frames-per-second run, and
//     the CPU time it takes against the time it plays;
//   - seeking: a still rebuild at the last frame of a one-hour movie against one
//     at frame 100, with the still cache built;
//   - opening a version-1.8 movie of 200 000 1 ms frames, read while messages go
//     through, against the same read without them.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <random>
#include <vector>

#include "common/win32/message_pump.h"
#include "player/container/compressed_block.h"
#include "player/container/format_versions.h"
#include "player/container/frame_stream_groups.h"
#include "player/objects/win32/caption_list.h"
#include "player/bitmaps/win32/dib.h"
#include "tools/moviewriter/object_description.h"
#include "player/playback/win32/player.h"
#include "tools/moviewriter/movie_writer.h"

using namespace quillet;

namespace {

constexpr int kWidth = 1024, kHeight = 768;

double nowMs() {
    LARGE_INTEGER frequency{}, now{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// User and kernel time of this process so far.
double processCpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& time) {
        return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// The benchmark's desktop: a blue desktop, a grey task bar, a white window.
Picture desktop() {
    Picture screen(kWidth, kHeight, 0x3A6EA5);
    screen.fillRect(0, kHeight - 30, kWidth, kHeight, 0xC0C0C0);
    screen.fillRect(100, 80, 900, 600, 0xFFFFFF);
    return screen;
}

// The desktop with one of 24 20-row bands of the window changed: 400 random black
// pixels on white.
constexpr int kVariants = 24;
constexpr int kVariantRows = 20;
int variantTop(int v) { return 100 + kVariantRows * v; }
std::vector<Picture> desktopVariants() {
    const Picture screen = desktop();
    std::mt19937 random(4);
    std::vector<Picture> variants;
    for (int v = 0; v < kVariants; ++v) {
        Picture changed = screen;
        const int top = variantTop(v);
        changed.fillRect(120, top, 880, top + kVariantRows, 0xFFFFFF);
        for (int k = 0; k < 400; ++k)
            changed.at(120 + static_cast<int>(random() % 760), top + static_cast<int>(random() % kVariantRows)) = 0;
        variants.push_back(std::move(changed));
    }
    return variants;
}

// A desktop-like movie: a key picture, then frames that change one 20-row band.
std::string desktopMovie(int frames, int delayMs, int delayRemainder = 0) {
    MovieWriter writer;
    writer.setScreen({kWidth, kHeight, 32});
    writer.addFrame(desktop(), {delayMs});
    std::vector<StoredBand> variants;
    for (const Picture& changed : desktopVariants()) {
        const int top = variantTop(static_cast<int>(variants.size()));
        variants.push_back(MovieWriter::makeBand(changed, top, kVariantRows));
    }
    FrameRecord record;
    for (int i = 1; i < frames; ++i) {
        record.delayMs = delayMs + (delayRemainder && i % 3 == 0 ? delayRemainder : 0);
        record.standardCursor = 1;
        record.cursorId = 1;
        record.cursorX = (i * 7) % kWidth;
        record.cursorY = (i * 3) % kHeight;
        writer.addStoredFrame(record, {variants[static_cast<size_t>(i) % variants.size()]});
    }
    return writer.frameStream();
}

// Every frame a key picture: the 24 desktop variants, each stored whole.
std::string keyPictureMovie() {
    MovieWriter writer;
    writer.setScreen({kWidth, kHeight, 32});
    FrameRecord record;
    record.delayMs = 33;
    for (const Picture& changed : desktopVariants()) writer.addStoredFrame(record, {MovieWriter::makeBand(changed, 0, kHeight)});
    return writer.frameStream();
}

// The same 24 pictures as raw 32-bit rows from the top, for the reference decoder's
// encoder (bench/playback_bench.sh).
void writeRawFrames(const char* path) {
    FILE* out = std::fopen(path, "wb");
    if (!out) {
        std::printf("cannot write %s\n", path);
        return;
    }
    for (const Picture& changed : desktopVariants())
        std::fwrite(changed.pixels.data(), sizeof(uint32_t), changed.pixels.size(), out);
    std::fclose(out);
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

// Frames per second of the reference decoder on the same pictures, when the script
// measured it; 0 when it could not.
double g_referenceFramesPerSecond = 0;
const char* g_referenceNote = "";

struct Throughput {
    double framesPerSecond;
    double againstZlib;        // time zlib alone takes to inflate the bands / time to apply them
    double againstLibdeflate;  // the same for libdeflate, the fastest inflate here
};

// Applies frames [0, count) of the movie to both buffers repeats times, then inflates
// the same bands alone with each engine.
Throughput measureThroughput(const std::string& stream, size_t first, size_t last, int repeats) {
    MemoryMovieFile file(stream);
    GdiBitmapFactory bitmaps;
    FrameData data(bitmaps);
    data.LoadFrameStream(file, file.size());
    CursorOverlay cursors;
    FrameCompositor compositor(data, cursors);
    RECT display{0, 0, kWidth, kHeight};
    compositor.beginRun(::GetDesktopWindow(), display);
    const FrameList& frames = data.frames();
    std::vector<uint8_t> target(kWidth * kHeight * 4);
    auto never = [] { return false; };
    auto timed = [&](auto&& each) {
        const double start = nowMs();
        for (int r = 0; r < repeats; ++r)
            for (size_t i = first; i < last; ++i) each(i);
        ::GdiFlush();
        return nowMs() - start;
    };
    auto inflateWith = [&](bool (*engine)(const void*, size_t, void*, size_t)) {
        return timed([&](size_t i) {
            for (const FrameBand& band : frames[i].bands) engine(band.data, band.compressedSize, target.data(), band.unpackedSize);
        });
    };
    auto libdeflate = [](const void* in, size_t inSize, void* out, size_t outSize) {
        return uncompressWithLibdeflate(in, inSize, out, outSize);
    };
    timed([&](size_t i) { compositor.applyBandsToBoth(static_cast<int64_t>(i), frames[i], never); });  // warm-up
    const double apply = timed([&](size_t i) { compositor.applyBandsToBoth(static_cast<int64_t>(i), frames[i], never); });
    const double zlib = inflateWith(uncompressWithZlib);
    const double fastest = inflateWith(libdeflate);
    compositor.endRun(false);
    const double count = static_cast<double>((last - first) * static_cast<size_t>(repeats));
    return {count / apply * 1000, zlib / apply, fastest / apply};
}

void throughput() {
    const Throughput key = measureThroughput(keyPictureMovie(), 0, kVariants, 40);
    std::printf("key picture (1024 x 768 x 32, one inflate of 3 MB): %.0f frames/s applied to both buffers\n",
                key.framesPerSecond);
    if (g_referenceFramesPerSecond > 0)
        std::printf("  FFmpeg's ZMBV decoder, every frame a key frame, same pictures: %.0f frames/s; ratio %.2f "
                    "(target >= 1.5)\n",
                    g_referenceFramesPerSecond, key.framesPerSecond / g_referenceFramesPerSecond);
    else
        std::printf("  FFmpeg's ZMBV decoder: not measured (%s)\n", g_referenceNote);
    std::printf("  against inflate alone: zlib %.2f, libdeflate %.2f (target >= 0.9 of libdeflate)\n", key.againstZlib,
                key.againstLibdeflate);
    const Throughput delta = measureThroughput(desktopMovie(200, 33), 1, 200, 5);
    std::printf("20-row delta frames: %.0f frames/s; against inflate alone: zlib %.2f, libdeflate %.2f "
                "(target >= 0.9 of libdeflate)\n",
                delta.framesPerSecond, delta.againstZlib, delta.againstLibdeflate);
}

void pacing() {
    // 30 frames a second: delays of 33, 33, 34 ms.
    std::string stream = desktopMovie(300, 33, 1);
    MemoryMovieFile file(stream);
    GdiBitmapFactory bitmaps;
    FrameData data(bitmaps);
    data.LoadFrameStream(file, file.size());
    data.BuildObjectTimeline({});
    CursorOverlay cursors;
    FrameCompositor compositor(data, cursors);
    HWND view = ::CreateWindowExA(0, "STATIC", "pacing", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                                  nullptr, ::GetModuleHandleA(nullptr), nullptr);
    HWND notify = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    Player player(data, compositor, notify);
    std::vector<double> lateness;
    player.setPresentObserver([&](int64_t, uint32_t shownAt, int64_t dueAt) {
        lateness.push_back(static_cast<double>(static_cast<int64_t>(shownAt) - dueAt));
    });
    const double cpuBefore = processCpuMs();
    const double started = nowMs();
    player.play(view, nullptr, nullptr, nullptr, false, true);
    // The window thread waits for messages as the player's does, so that the CPU
    // time is the run's and not this loop's.
    while (player.runActive()) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    const double played = nowMs() - started;
    const double cpu = processCpuMs() - cpuBefore;
    std::printf("pacing at 30 frames/s: %zu of 300 frames presented on time, lateness median %.1f ms, "
                "95th percentile %.1f ms (target <= 3 ms)\n",
                lateness.size(), percentile(lateness, 0.5), percentile(lateness, 0.95));
    std::printf("CPU time of the whole process over playing time: %.0f ms in %.0f ms, %.1f %% of one core "
                "(target <= 8 %%)\n", cpu, played, cpu / played * 100);
    ::DestroyWindow(view);
    ::DestroyWindow(notify);
}

// Twenty objects on every frame against none: text boxes and balloons with depth
// and shadow, rendered once each into their picture and mask and composited on
// every frame after that.
void objects() {
    const int frames = 150;
    std::string stream = desktopMovie(frames, 33);
    MemoryMovieFile file(stream);
    GdiBitmapFactory bitmaps;
    FrameData data(bitmaps);
    data.LoadFrameStream(file, file.size());
    std::string description;
    const char* kinds[] = {"box", "round-balloon", "oval", "titled"};
    for (int k = 0; k < 20; ++k) {
        const int x = 40 + (k % 5) * 180, y = 60 + (k / 5) * 160;
        char line[300];
        std::snprintf(line, sizeof line,
                      "%s id=%d frames=%d body=%d,%d,%d,%d tail=%d,%d width=2 fill=ffffe0 line=4060a0 "
                      "depth=8,8 depth-corner=1 shadow=5,5 text=\"note %d\" title=T\n",
                      kinds[k % 4], k, frames, x, y, x + 140, y + 100, x - 20, y + 120, k);
        description += line;
    }
    ObjectSection section;
    std::string error;
    parseObjectDescription(description, section.objects, error);
    CCaptionList list;
    list.load(section);
    list.referenceRect = Rect{0, 0, kWidth, kHeight};
    data.BuildObjectTimeline(list.spans());
    CursorOverlay cursors;
    FrameCompositor compositor(data, cursors);
    HWND view = ::CreateWindowExA(0, "STATIC", "objects", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    RECT display{0, 0, kWidth, kHeight};
    compositor.beginRun(view, display);
    auto never = [] { return false; };
    auto framesPerSecond = [&](CCaptionList* objects) {
        const double start = nowMs();
        for (int r = 0; r < 2; ++r)
            for (int i = 0; i < frames; ++i) {
                compositor.applyBandsToBoth(i, data.frames()[static_cast<size_t>(i)], never);
                compositor.composeOverlays(static_cast<size_t>(i), data.frames()[static_cast<size_t>(i)], objects, false, true);
                compositor.present(view, static_cast<size_t>(i), objects);
            }
        return 2 * frames / (nowMs() - start) * 1000;
    };
    // One round is a fraction of a second, short enough for the rest of the machine
    // to swing it: the rounds alternate, and the median round decides.
    struct Round {
        double with, without;
        double ratio() const { return with / without; }
    };
    std::vector<Round> rounds;
    for (int r = 0; r < 7; ++r) {
        const double without = framesPerSecond(nullptr);
        rounds.push_back({framesPerSecond(&list), without});
    }
    compositor.endRun(true);
    ::DestroyWindow(view);
    std::sort(rounds.begin(), rounds.end(), [](const Round& a, const Round& b) { return a.ratio() < b.ratio(); });
    const Round& median = rounds[rounds.size() / 2];
    std::printf("objects: %.0f frames/s with 20 objects a frame, %.0f without, ratio %.2f, median of %zu rounds "
                "(%.2f to %.2f) (target >= 0.6)\n",
                median.with, median.without, median.ratio(), rounds.size(), rounds.front().ratio(), rounds.back().ratio());
}

void seeking() {
    const int frames = 3600 * 14;
    std::string stream = desktopMovie(frames, 1000 / 14);
    MemoryMovieFile file(stream);
    GdiBitmapFactory bitmaps;
    FrameData data(bitmaps);
    data.LoadFrameStream(file, file.size());
    CursorOverlay cursors;
    FrameCompositor compositor(data, cursors);
    double start = nowMs();
    compositor.prepareSeeking();
    compositor.stillCache().waitUntilReady();
    double built = nowMs() - start;

    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    win32::UniqueGdiObject canvas(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win32::ScopedSelect select(dc.get(), canvas.get());
    auto rebuild = [&](int64_t frame) {
        std::vector<double> times;
        for (int r = 0; r < 7; ++r) {
            double t = nowMs();
            compositor.renderStill(dc.get(), frame, -1, nullptr, true, true);
            ::GdiFlush();
            times.push_back(nowMs() - t);
        }
        return percentile(times, 0.5);
    };
    double at100 = rebuild(100), atEnd = rebuild(frames - 1);
    std::printf("seeking in a one-hour movie (%d frames): rebuild at frame 100 %.2f ms, at the last frame %.2f ms, "
                "ratio %.2f (target <= 3)\n", frames, at100, atEnd, atEnd / at100);
    std::printf("still cache: %zu pictures, %.1f MB of its 64 MB budget, built in %.0f ms in the background\n",
                compositor.stillCache().pictureCount(), compositor.stillCache().bytesHeld() / 1e6, built);
}

// Opening a version-1.8 movie reads its frames on the user-interface thread, letting
// window messages through as it goes: the time that takes against the same read
// letting nothing through.
void slowOpen() {
    constexpr int kFrames = 200000;
    MovieWriter writer;
    writer.setVersion(1, 8);
    writer.setScreen({64, 48, 32});
    writer.addFrame(Picture(64, 48, 0x3A6EA5), {1});
    FrameRecord oneMs;
    oneMs.delayMs = 1;
    for (int i = 1; i < kFrames; ++i) writer.addStoredFrame(oneMs, {});
    const std::string stream = writer.frameStream();
    const FrameStreamFormat format = frameStreamFormat(readersForVersion(1.8));
    auto read = [&](bool pumping) {
        MemoryMovieFile file(stream);
        GdiBitmapFactory bitmaps;
        FrameData data(bitmaps);
        if (pumping) data.setForegroundPump([] { win32::pumpMessages(1); });
        const double start = nowMs();
        data.LoadFrameStream(file, file.size(), format);
        return nowMs() - start;
    };
    const double quiet = read(false), pumping = read(true);
    std::printf("opening a 1.8 movie of %d 1 ms frames: %.0f ms letting messages through, %.0f ms without, "
                "ratio %.2f\n", kFrames, pumping, quiet, pumping / quiet);
}

}  // namespace

// With names (throughput, pacing, objects, seeking, slow-open) only those parts run.
// raw-frames FILE writes the key pictures for the reference decoder and exits;
// reference-fps=N (or reference-note=TEXT) passes on what the script measured.
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 3 && std::string(argv[1]) == "raw-frames") {
        writeRawFrames(argv[2]);
        return 0;
    }
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("reference-fps=", 0) == 0)
            g_referenceFramesPerSecond = std::atof(argument.c_str() + 14);
        else if (argument.rfind("reference-note=", 0) == 0)
            g_referenceNote = argv[i] + 15;
        else
            wanted.push_back(argument);
    }
    auto run = [&](const char* name, void (*part)()) {
        if (wanted.empty() || std::find(wanted.begin(), wanted.end(), name) != wanted.end()) part();
    };
    run("throughput", throughput);
    run("pacing", pacing);
    run("objects", objects);
    run("seeking", seeking);
    run("slow-open", slowOpen);
    return 0;
}
