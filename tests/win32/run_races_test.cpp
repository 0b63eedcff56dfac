// The moments around the end of a run, held open on purpose: closing the movie
// while the playback thread reports to this thread, and asking for a new run
// while the old one's end report is under way.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "player/app/win32/player_window.h"
#include "run_recorder.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

using testing::Recorded;
using testing::Recorder;

// Ends the test program when a step hangs: a deadlock must fail, not stall CI.
class Watchdog {
public:
    explicit Watchdog(DWORD timeoutMs) : done_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, timeoutMs] {
            if (::WaitForSingleObject(done_.get(), timeoutMs) == WAIT_TIMEOUT) {
                std::fprintf(stderr, "a step did not finish within %lu ms: deadlock\n", timeoutMs);
                std::fflush(stderr);
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
        });
    }
    ~Watchdog() {
        ::SetEvent(done_.get());
        thread_.join();
    }

private:
    win32::UniqueHandle done_;
    std::thread thread_;
};

class Event {
public:
    Event() : handle_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    void set() { ::SetEvent(handle_.get()); }
    bool wait(DWORD timeoutMs = 10000) { return ::WaitForSingleObject(handle_.get(), timeoutMs) == WAIT_OBJECT_0; }

private:
    win32::UniqueHandle handle_;
};

class RunRacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        MovieWriter writer;
        writer.setScreen({64, 48, 32});
        writer.setRecordedArea({0, 0, 64, 48});
        for (int i = 0; i < kFrames; ++i) {
            Picture picture(64, 48, 0x102030u * static_cast<uint32_t>(i + 1));
            writer.addFrame(picture, {kDelayMs});
        }
        char folder[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + "quillet_run_races.exe";
        const std::string bytes = packMovie(std::string(4096, 'x'), writer.build());
        {
            win32::UniqueFile out(::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            DWORD written = 0;
            ASSERT_TRUE(out && ::WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        }

        view = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(document.movie().OpenMovie(path_));
        document.setMainWindow(recorder.window);
        document.setView(view);
        document.movie().frameData().waitForLoader();
    }
    // Plays the movie and holds the thread after it has let go of the run and
    // before its end report, until `release` is set.
    void playAndHoldTheEndReport(Event& release) {
        document.player().setEndReportHook([this, &release] {
            atReport.set();
            release.wait();
        });
        ASSERT_TRUE(document.player().play(view, nullptr, nullptr, nullptr, false, false));
        ASSERT_TRUE(atReport.wait());
    }
    void TearDown() override {
        ::DestroyWindow(view);
        ::DeleteFileA(path_.c_str());
    }

    static constexpr int kFrames = 8;
    static constexpr int kDelayMs = 10;
    std::string path_;
    Event atReport;     // set when the thread reaches its end report
    Recorder recorder;  // the main window's stand-in: progress and +70 land here
    PlayerWindow document;
    HWND view = nullptr;
};

TEST_F(RunRacesTest, ClosingTheMovieWhileTheRunReportsItsEnd) {
    Event release;
    ASSERT_NO_FATAL_FAILURE(playAndHoldTheEndReport(release));
    EXPECT_FALSE(document.player().isPlaying());
    EXPECT_TRUE(document.player().runActive()) << "its report is still to come";

    // The report goes out while the movie is being closed.
    std::thread releaser([&] {
        ::Sleep(100);
        release.set();
    });
    {
        Watchdog watchdog(10000);
        document.ResetMovie();
    }
    releaser.join();
    EXPECT_EQ(document.movie().frameData().frameCount(), 0);
    EXPECT_FALSE(document.player().runActive());
    // The report was taken in, not acted on: nothing went to the main window.
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    EXPECT_TRUE(recorder.of(kMessageRunEndedToMain).empty());
}

TEST_F(RunRacesTest, ClosingTheMovieWhileTheRunReportsProgress) {
    // Progress goes to a window of this thread, which does not look at its
    // messages: the thread waits in SendMessage from its first frame on.
    ASSERT_TRUE(document.player().play(view, nullptr, recorder.window, nullptr, false, false));
    ::Sleep(50);
    EXPECT_TRUE(document.player().isPlaying());
    {
        Watchdog watchdog(10000);
        document.ResetMovie();
    }
    EXPECT_FALSE(document.player().runActive());
    EXPECT_FALSE(recorder.of(kMessageProgress).empty()) << "the progress report was let through";
}

TEST_F(RunRacesTest, PlayWhileTheEndReportIsUnderWayWaitsForIt) {
    Event release;
    ASSERT_NO_FATAL_FAILURE(playAndHoldTheEndReport(release));
    // Space pressed at the very end: the run is still active, so it is not
    // started again (the main window pauses instead), and nothing blocks.
    EXPECT_TRUE(document.player().runActive());
    EXPECT_FALSE(document.player().play(view, nullptr, nullptr, nullptr, false, false));
    release.set();

    // The report arrives once, and its word to the main window with it.
    for (DWORD start = ::GetTickCount(); recorder.of(kMessageRunEndedToMain).empty() &&
                                         ::GetTickCount() - start < 10000;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        ::Sleep(1);
    }
    ASSERT_EQ(recorder.of(kMessageRunEndedToMain).size(), 1u);
    EXPECT_EQ(recorder.of(kMessageRunEndedToMain)[0].wParam, 1u);
    EXPECT_FALSE(document.player().runActive());
    // The hook is replaced only now that the thread has left it: replacing it while
    // it runs frees the captures it is still using.
    document.player().setEndReportHook(nullptr);
    // Now a new run starts.
    EXPECT_TRUE(document.player().play(view, nullptr, nullptr, nullptr, false, false));
    document.player().shutdown();
}

}  // namespace
}  // namespace quillet
