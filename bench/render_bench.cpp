// Portable renderer figures on a synthetic 1024 x 768 x 32 movie of one hour at 14
// frames per second with 20 objects on every frame, against a baseline from the
// same run (inflating one whole screen picture, as a frame of full-screen bands
// costs):
//   - a still after the first (objects already rendered), frame after frame;
//   - the first still (every object rendered);
//   - the still of the last frame from a fresh renderer, replaying every frame,
//     and with the still cache's pictures built.

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tools/moviewriter/movie_writer.h"
#include "tools/moviewriter/object_description.h"
#include "tools/movietool/rendered_movie.h"

using namespace quillet;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 1024, kHeight = 768, kRate = 14;
constexpr int kFrames = kRate * 3600;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string objectLines() {
    static const char* const kinds[] = {"box", "round", "oval", "titled", "balloon", "round-balloon", "oval-balloon"};
    std::string text;
    for (int i = 0; i < 20; ++i) {
        const int x = 20 + (i % 5) * 200, y = 20 + (i / 5) * 180;
        char line[400];
        if (i % 10 == 9)
            std::snprintf(line, sizeof line, "rect id=%d first=0 frames=%d body=%d,%d,%d,%d line=ff0000 width=3\n", i + 1,
                          kFrames, x, y, x + 160, y + 120);
        else
            std::snprintf(line, sizeof line,
                          "%s id=%d first=0 frames=%d body=%d,%d,%d,%d text=\"Object %d says what to click next\" "
                          "fill=ffffe0 line=000080 width=2 font=Arial,-13 depth=6,-6 depth-corner=0 shadow=5,5\n",
                          kinds[i % 7], i + 1, kFrames, x, y, x + 160, y + 110, i + 1);
        text += line;
    }
    return text;
}

void writeMovie(const std::string& path) {
    MovieWriter writer;
    writer.setScreen({kWidth, kHeight, 32});
    writer.setFramesPerSecond(kRate);
    Picture screen(kWidth, kHeight, 0x3A6EA5);
    screen.fillRect(0, kHeight - 30, kWidth, kHeight, 0xC0C0C0);
    writer.addFrame(screen, {1000 / kRate});
    std::mt19937 random(1);
    std::vector<StoredBand> variants;
    for (int v = 0; v < 24; ++v) {
        Picture changed = screen;
        const int top = 100 + 20 * (v % 20), rows = v % 8 == 7 ? 200 : 20;
        changed.fillRect(100, top, 900, std::min(top + rows, kHeight), 0xFFFFFF);
        for (int i = 0; i < 300; ++i)
            changed.at(110 + static_cast<int>(random() % 780), top + static_cast<int>(random() % rows)) = 0;
        variants.push_back(MovieWriter::makeBand(changed, top, std::min(rows, kHeight - top)));
    }
    FrameRecord record;
    record.delayMs = 1000 / kRate;
    record.standardCursor = 1;
    record.cursorId = 1;
    for (int i = 1; i < kFrames; ++i) {
        record.cursorX = i % kWidth;
        record.cursorY = (i / 3) % kHeight;
        writer.addStoredFrame(record, {variants[static_cast<size_t>(i) % variants.size()]});
    }
    std::string error;
    if (!parseObjectDescription(objectLines(), writer.objects().objects, error)) std::fprintf(stderr, "%s\n", error.c_str());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    const std::string bytes = writer.build();
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

// The baseline: one whole screen inflated.
double inflateScreenMs() {
    std::vector<uint8_t> raw(static_cast<size_t>(kWidth) * kHeight * 4);
    std::mt19937 random(2);
    for (size_t i = 0; i < raw.size(); i += 64) raw[i] = static_cast<uint8_t>(random());
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6);
    double best = 1e9;
    for (int i = 0; i < 20; ++i) {
        const auto start = Clock::now();
        uLongf length = static_cast<uLongf>(raw.size());
        uncompress(raw.data(), &length, packed.data(), packedSize);
        best = std::min(best, ms(Clock::now() - start));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    const std::string path = folder + "/render_bench_movie.bin";
    writeMovie(path);
    const double baseline = inflateScreenMs();
    std::string error;

    auto movie = openRenderedMovie(path, error);
    if (!movie) {
        std::fprintf(stderr, "render_bench: %s\n", error.c_str());
        return 1;
    }
    render::RenderOptions options;
    auto start = Clock::now();
    render::Picture picture = renderFrame(*movie, 0, options);
    const double first = ms(Clock::now() - start);
    std::vector<double> times;
    for (int64_t frame = 1; frame <= 200; ++frame) {
        start = Clock::now();
        picture = renderFrame(*movie, frame, options);
        times.push_back(ms(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    const double after = times[times.size() / 2];

    auto cold = openRenderedMovie(path, error);
    start = Clock::now();
    picture = renderFrame(*cold, kFrames - 1, options);
    const double lastReplayed = ms(Clock::now() - start);

    auto cached = openRenderedMovie(path, error);
    cached->renderer->prepareSeeking();
    cached->renderer->waitForSeeking();
    renderFrame(*cached, 0, options);  // the objects, rendered once as in any run
    start = Clock::now();
    picture = renderFrame(*cached, kFrames - 1, options);
    const double lastCached = ms(Clock::now() - start);

    std::printf("baseline: one 1024x768 screen inflated            %8.2f ms\n", baseline);
    std::printf("still after the first (20 objects), median of 200 %8.2f ms  %6.2f x baseline\n", after, after / baseline);
    std::printf("first still (renders the 20 objects)              %8.2f ms  %6.2f x baseline\n", first, first / baseline);
    std::printf("last frame of an hour, every frame replayed       %8.2f ms  %6.2f x baseline\n", lastReplayed,
                lastReplayed / baseline);
    std::printf("last frame of an hour, from the still cache       %8.2f ms  %6.2f x baseline\n", lastCached,
                lastCached / baseline);
    std::remove(path.c_str());
    return 0;
}
