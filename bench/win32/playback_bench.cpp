// Playback figures under Wine, each against a baseline from the same run:
//   - decode-and-apply speed of a 1024 x 768 x 32 movie's key picture and of its
//     20-row delta frames, against zlib's uncompress of the same bands alone;
//   - pacing: the lateness of presented frames of a 30 frames-per-second run, and
//     the CPU time it takes against the time it plays;
//   - seeking: a still rebuild at the last frame of a one-hour movie against one
//     at frame 100, with the still cache built.

#include <windows.h>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

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

// A desktop-like movie: a key picture, then frames that change one 20-row band.
std::string desktopMovie(int frames, int delayMs, int delayRemainder = 0) {
    MovieWriter writer;
    writer.setScreen({kWidth, kHeight, 32});
    Picture screen(kWidth, kHeight, 0x3A6EA5);
    screen.fillRect(0, kHeight - 30, kWidth, kHeight, 0xC0C0C0);
    screen.fillRect(100, 80, 900, 600, 0xFFFFFF);
    writer.addFrame(screen, {delayMs});
    std::mt19937 random(4);
    std::vector<StoredBand> variants;
    for (int v = 0; v < 24; ++v) {
        Picture changed = screen;
        int top = 100 + 20 * (v % 24);
        changed.fillRect(120, top, 880, top + 20, 0xFFFFFF);
        for (int k = 0; k < 400; ++k)
            changed.at(120 + static_cast<int>(random() % 760), top + static_cast<int>(random() % 20)) = 0;
        variants.push_back(MovieWriter::makeBand(changed, top, 20));
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

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

void throughput() {
    std::string stream = desktopMovie(200, 33);
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

    auto measure = [&](size_t first, size_t last, int repeats) {
        double start = nowMs();
        for (int r = 0; r < repeats; ++r)
            for (size_t i = first; i < last; ++i) compositor.applyBandsToBoth(static_cast<int64_t>(i), frames[i], never);
        double apply = nowMs() - start;
        start = nowMs();
        for (int r = 0; r < repeats; ++r)
            for (size_t i = first; i < last; ++i)
                for (const FrameBand& band : frames[i].bands) {
                    uLongf length = band.unpackedSize;
                    uncompress(target.data(), &length, band.data, band.compressedSize);
                }
        double inflate = nowMs() - start;
        double count = static_cast<double>((last - first) * repeats);
        return std::make_pair(count / apply * 1000, inflate / apply);
    };
    auto key = measure(0, 1, 40);
    auto delta = measure(1, 200, 5);
    std::printf("key picture: %.0f frames/s applied to both buffers, ratio inflate/(inflate+apply) %.2f (target >= 0.8)\n",
                key.first, key.second);
    std::printf("20-row delta frames: %.0f frames/s, ratio %.2f (target >= 0.8)\n", delta.first, delta.second);
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
    while (player.runActive()) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        ::Sleep(1);
    }
    const double played = nowMs() - started;
    const double cpu = processCpuMs() - cpuBefore;
    std::printf("pacing at 30 frames/s: %zu of 300 frames presented on time, lateness median %.1f ms, "
                "95th percentile %.1f ms (target <= 3 ms)\n",
                lateness.size(), percentile(lateness, 0.5), percentile(lateness, 0.95));
    std::printf("CPU time of the whole process over playing time: %.0f ms in %.0f ms, %.1f %% of one core "
                "(target <= 10 %%)\n", cpu, played, cpu / played * 100);
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
    const double without = framesPerSecond(nullptr), with = framesPerSecond(&list);
    compositor.endRun(true);
    ::DestroyWindow(view);
    std::printf("objects: %.0f frames/s with 20 objects a frame, %.0f without, ratio %.2f (target >= 0.5)\n", with,
                without, with / without);
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

}  // namespace

// With names (throughput, pacing, objects, seeking) only those parts run.
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::vector<std::string> wanted(argv + 1, argv + argc);
    auto run = [&](const char* name, void (*part)()) {
        if (wanted.empty() || std::find(wanted.begin(), wanted.end(), name) != wanted.end()) part();
    };
    run("throughput", throughput);
    run("pacing", pacing);
    run("objects", objects);
    run("seeking", seeking);
    return 0;
}
