#pragma once
// Builds self-playing movies from the real player executable for end-to-end tests.

#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet::e2e {

// The player executable under test, and the stand-in producer, as Windows paths.
const std::string& playerPath();
void setPlayerPath(const std::string& path);
const std::string& producerPath();
void setProducerPath(const std::string& path);
// The Windows movietool (for stills to compare with), and the program the tests
// register as browser and mail program.
const std::string& movietoolPath();
void setMovietoolPath(const std::string& path);
const std::string& recorderPath();
void setRecorderPath(const std::string& path);

constexpr char kDialogClass[] = "#32770";
constexpr char kMainCaption[] = "Tavrix 2000 Player";
constexpr char kViewClass[] = "QuilletView";
constexpr int kProgressControl = 1000;
constexpr int kToolbarControl = 1002;
constexpr int kCommandProperties = 32772;
constexpr int kCommandPlayPause = 32773;
constexpr int kCommandStop = 32774;
constexpr int kCommandSetup = 32775;
constexpr int kCommandInfo = 32776;
constexpr int kCommandEdit = 32777;

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A copy of the player with movie appended, in the test's folder.
    std::string packedPlayer(const std::string& name, const std::string& movie);
    // A plain copy of the player with nothing appended.
    std::string plainPlayer(const std::string& name);

    // The message box of process captioned caption, with its text.
    HWND waitForBox(const driver::Process& process, const char* caption, std::string& text);
    HWND waitForMainWindow(const driver::Process& process);
    HWND waitForView(const driver::Process& process, int timeoutMs = driver::kDefaultTimeoutMs);
    // Closes the main window and expects the process to end.
    void closePlayer(driver::Process& process);

    std::string folder_;
};

std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);

}  // namespace quillet::e2e
