#pragma once
// Movies for the end-to-end tests, with the pictures they were made from.

#include <string>
#include <vector>

#include "driver.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet::e2e {

struct TestMovie {
    std::string bytes;
    std::vector<Picture> pictures;
    std::vector<FrameSpec> specs;
};

struct TestMovieShape {
    int frames = 10;
    int delayMs = 100;
    ScreenFormat screen{320, 240, 32};
    Rect recordedArea{0, 0, 320, 240};
    int lastDelayMs = 0;  // the last frame's duration when not 0
    // Noise over the lower half of every picture: bands that do not compress, so
    // that the loader is still reading while the run plays.
    bool noise = false;
    std::vector<CaptionRecord> objects{};  // annotation objects over the frames
    std::string narration{};               // a WAV file stored as the narration
    std::string background{};              // a WAV file stored as the background music
    std::string effect0{};                 // a WAV file stored as effect 0 (clicks)
    int holdAt = -1;                       // a frame held for holdMs, narration paused
    int holdMs = 0;
    int clickAt = -1;                      // a button down at this frame
    int releaseAt = -1;                    // and up at this one (the next when -1)
    // Header texts in place of the writer's own, when not empty.
    std::string signature{};
    std::string description{};
    std::string createdBy{};
    std::string date{};
    // A logo (a small green square) with the author's link and mail address.
    bool logo = false;
    std::string logoLink{};
    std::string logoMail{};
};

// Frames whose pictures all differ, with the recorded arrow moving along the top.
TestMovie makeTestMovie(const TestMovieShape& shape);

// The frame whose picture the captured view shows, with the cursor's square left
// out of the comparison; -1 when it shows none of them.
int shownFrame(const driver::Pixels& view, const TestMovie& movie, const Rect& recordedArea);

}  // namespace quillet::e2e
