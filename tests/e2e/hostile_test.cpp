// Damaged and hostile movies in the real player, as a viewer meets them: started
// unattended (/q), each one ends by itself, every kind of failure is told at most
// once, a movie the player refuses says so, and a file in the temporary folder that
// the player did not make is still there afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "player_fixture.h"
#include "tests/support/hostile_movies.h"

namespace quillet::e2e {
namespace {

constexpr char kDamagedText[] = "Invalid or damaged files.";
constexpr char kPlantedText[] = "a file of the viewer's own";
// Long enough for the slowest of them on a busy machine; a movie that runs the
// player out of memory or holds it forever stays past it.
constexpr int kUnattendedRunMs = 60000;

std::string temporaryPath(const std::string& name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST_F(PlayerTest, HostileMoviesEndByThemselvesAndTellEachFailureOnce) {
    for (const testing::HostileMovie& movie : testing::hostileMovies()) {
        SCOPED_TRACE(movie.name + ": " + movie.what);
        const std::string planted = movie.plantedFile.empty() ? std::string() : temporaryPath(movie.plantedFile);
        if (!planted.empty()) std::ofstream(planted, std::ios::binary) << kPlantedText;

        driver::Process player;
        ASSERT_TRUE(player.start(packedPlayer(movie.name + ".exe", movie.bytes), {"/q"}));
        // The viewer answers every box as it comes; the kinds are counted.
        std::map<std::string, int> told;
        const bool ended = driver::waitUntil([&] {
            if (HWND box = driver::findWindow(player.id(), kDialogClass, "Tavrix")) {
                const std::string text = driver::messageBoxText(box);
                if (!text.empty() && driver::pressButton(box, "OK")) {
                    ++told[firstLine(text)];
                    driver::waitForWindowGone(box, 5000);
                }
            }
            return !player.running();
        }, kUnattendedRunMs);
        EXPECT_TRUE(ended) << "still running after " << kUnattendedRunMs / 1000 << " s";
        if (!ended) player.kill();
        EXPECT_EQ(player.exitCode(), 0u);
        for (const auto& [kind, count] : told) EXPECT_EQ(count, 1) << "told " << count << " times: " << kind;
        EXPECT_EQ(told.count(kDamagedText), movie.refused ? 1u : 0u);

        if (!planted.empty()) {
            std::ifstream in(planted, std::ios::binary);
            std::ostringstream kept;
            kept << in.rdbuf();
            EXPECT_EQ(kept.str(), kPlantedText) << "the planted file was changed or deleted";
            in.close();
            ::DeleteFileA(planted.c_str());
        }
    }
}

}  // namespace
}  // namespace quillet::e2e
