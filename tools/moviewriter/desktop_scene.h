#pragma once
// Recordings of a made-up desktop, for the demo and the end-to-end tests: icons
// and a taskbar, a pointer that moves to an icon and double-clicks it, a window
// that opens, and a few lines typed into it; and an exercise on the same desktop.

#include <functional>
#include <string>
#include <vector>

#include "player/objects/caption_record.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {

struct DesktopSceneOptions {
    int32_t width = 1024;
    int32_t height = 768;
    int32_t frameDelayMs = 100;
    std::vector<std::string> typedLines = {"Hello from the demo movie.", "Every key press is a frame;",
                                           "the pointer moves and clicks too."};
};

// Calls frame once per recorded frame, in order, with the whole screen and what
// the frame carries (delay, recorded pointer and input event). Returns the
// annotations that go with the recording.
std::vector<CaptionRecord> recordDesktopScene(const DesktopSceneOptions& options,
                                              const std::function<void(const Picture&, const FrameSpec&)>& frame);

// A short exercise on the same desktop: a click on the Notes icon, then a drag of
// the file icon onto the trash, each where the recording stops for the viewer.
// Calls frame as above and returns the prompts and hotspots.
std::vector<CaptionRecord> recordExerciseScene(const DesktopSceneOptions& options,
                                               const std::function<void(const Picture&, const FrameSpec&)>& frame);

// Draws text in the scene's 5 × 7 pixel font, each pixel scale × scale.
void drawSceneText(Picture& picture, int32_t x, int32_t y, const std::string& text, uint32_t colour, int scale);

}  // namespace quillet
