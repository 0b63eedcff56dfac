// Frame loader figures on synthetic 1024 x 768 x 32 movies of one minute and one
// hour at 14 frames per second, each against a baseline from the same run:
//   - time from the start of the frame stream to framesReady, hour / minute;
//   - whole-stream load speed against a plain sequential read of the same file;
//   - memory held after loading against stream bytes + 2 x dibSize + 256 per frame.

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "player/container/frame_data.h"
#include "tools/moviewriter/movie_writer.h"

using namespace quillet;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 1024, kHeight = 768, kRate = 14;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A desktop-like key picture and a cycle of changed bands (typed text lines, a
// window opening), compressed once and reused so that an hour is quick to write.
std::string writeMovie(const std::string& path, int frames) {
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
        int top = 100 + 20 * (v % 20);
        int rows = v % 8 == 7 ? 200 : 20;
        changed.fillRect(100, top, 900, std::min(top + rows, kHeight), 0xFFFFFF);
        for (int i = 0; i < 300; ++i)
            changed.at(110 + static_cast<int>(random() % 780), top + static_cast<int>(random() % rows)) = 0;
        variants.push_back(MovieWriter::makeBand(changed, top, std::min(rows, kHeight - top)));
    }
    FrameRecord record;
    record.delayMs = 1000 / kRate;
    for (int i = 1; i < frames; ++i) {
        record.cursorX = i % kWidth;
        record.cursorY = (i / 3) % kHeight;
        writer.addStoredFrame(record, {variants[static_cast<size_t>(i) % variants.size()]});
    }
    std::string stream = writer.frameStream();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(stream.data(), 1, stream.size(), file);
    std::fclose(file);
    return stream;
}

struct LoadTimes {
    double ready;
    double whole;
};

LoadTimes timeLoad(const std::string& path) {
    PackedDibFactory bitmaps;
    FrameData data(bitmaps);
    auto file = StdioMovieFile::open(path);
    uint64_t end = file->size();
    Clock::time_point start = Clock::now();
    data.loadFrameStreamInBackground(std::move(file), end);
    while (!data.framesReady()) std::this_thread::yield();
    Clock::time_point ready = Clock::now();
    data.waitForLoader();
    Clock::time_point done = Clock::now();
    return {seconds(ready - start), seconds(done - start)};
}

// The baseline: the same file read from start to end into memory with the same
// 1 MiB block reads, the bytes kept (as the loader keeps its bands).
double timeRawRead(const std::string& path) {
    auto file = StdioMovieFile::open(path);
    Clock::time_point start = Clock::now();
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[file->size()]);
    file->readBlock(bytes.get(), file->size());
    double elapsed = seconds(Clock::now() - start);
    volatile uint8_t sink = bytes[file->size() / 2];
    (void)sink;
    return elapsed;
}

// The same reads into one reused 1 MiB buffer: the page cache's copy speed alone.
double timeCacheCopy(const std::string& path) {
    std::vector<uint8_t> buffer(MovieFile::kPieceSize);
    auto file = StdioMovieFile::open(path);
    Clock::time_point start = Clock::now();
    while (file->readBlock(buffer.data(), buffer.size()) == buffer.size()) {
    }
    return seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : ".";
    const int minuteFrames = 60 * kRate, hourFrames = 3600 * kRate;
    std::string minutePath = folder + "/minute.stream", hourPath = folder + "/hour.stream";
    std::printf("writing the synthetic movies...\n");
    writeMovie(minutePath, minuteFrames);
    std::string hourStream = writeMovie(hourPath, hourFrames);

    std::vector<double> minuteReady, hourReady, hourWhole, raw, copy;
    for (int run = 0; run < 7; ++run) {
        minuteReady.push_back(timeLoad(minutePath).ready);
        LoadTimes hour = timeLoad(hourPath);
        hourReady.push_back(hour.ready);
        hourWhole.push_back(hour.whole);
        raw.push_back(timeRawRead(hourPath));
        copy.push_back(timeCacheCopy(hourPath));
    }
    double readyRatio = median(hourReady) / median(minuteReady);
    double speedRatio = median(raw) / median(hourWhole);
    std::printf("framesReady: minute %.3f ms, hour %.3f ms, ratio hour/minute %.2f (target <= 1.5)\n",
                median(minuteReady) * 1e3, median(hourReady) * 1e3, readyRatio);
    std::printf("whole stream (%.1f MB, %d frames): load %.1f ms, raw read %.1f ms, load speed %.0f %% of raw (target >= 80 %%)\n",
                hourStream.size() / 1e6, hourFrames, median(hourWhole) * 1e3, median(raw) * 1e3,
                speedRatio * 100);
    std::printf("(for reference: the page cache copies the file into one reused buffer in %.1f ms)\n",
                median(copy) * 1e3);

    // Memory held once loaded, the file closed.
    malloc_trim(0);
    size_t before = mallinfo2().uordblks;
    {
        PackedDibFactory bitmaps;
        FrameData data(bitmaps);
        auto file = StdioMovieFile::open(hourPath);
        uint64_t end = file->size();
        data.loadFrameStreamInBackground(std::move(file), end);
        data.waitForLoader();
        size_t held = mallinfo2().uordblks - before;
        double budget = static_cast<double>(hourStream.size()) + 2.0 * data.info().dibSize + 256.0 * hourFrames;
        std::printf("memory held: %.1f MB (own count %.1f MB), budget %.1f MB, ratio %.2f (target <= 1.0)\n",
                    held / 1e6, data.memoryHeld() / 1e6, budget / 1e6, held / budget);
    }
    if (!std::getenv("KEEP_BENCH_FILES")) {
        std::remove(minutePath.c_str());
        std::remove(hourPath.c_str());
    }
    return 0;
}
