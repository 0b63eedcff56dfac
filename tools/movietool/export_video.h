#pragma once
// The video file of an export, over FFmpeg's libraries: pictures with their own
// times (a constant rate for GIF), a mixed sound stream and a caption track, in
// MP4, WebM, Matroska or GIF.

#include <cstdint>
#include <memory>
#include <string>

#include "tools/moviewriter/picture.h"

struct AVFrame;

namespace quillet {

// A picture converted for the video's encoder.
struct PreparedPicture {
    AVFrame* frame = nullptr;
    PreparedPicture() = default;
    ~PreparedPicture();
    PreparedPicture(const PreparedPicture&) = delete;
    PreparedPicture& operator=(const PreparedPicture&) = delete;
};

enum class VideoContainer { Mp4, WebM, Mkv, Gif };

// The container an output name asks for by its extension (any case); false for
// one the export does not write.
bool containerForPath(const std::string& path, VideoContainer& container);

struct VideoSettings {
    VideoContainer container = VideoContainer::Mp4;
    int32_t width = 0;  // of the pictures given
    int32_t height = 0;
    bool lossless = false;
    bool sound = true;         // ignored for GIF, which has none
    bool captions = false;     // a caption track (not in GIF)
    int32_t nominalRate = 10;  // frames per second the movie was captured at
};

// The rate of a GIF: its delays count hundredths of a second, and viewers hold
// faster frames longer than asked, so ten a second is both exact and honoured.
constexpr int32_t kGifFramesPerSecond = 10;
// Sound is mixed and encoded at the rate both encoders take natively.
constexpr uint32_t kExportSoundRate = 48000;

class VideoWriter {
public:
    VideoWriter();
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Creates the file at path (written as it is: the caller picks a temporary
    // name) for the container of the settings.
    bool open(const std::string& path, const VideoSettings& settings, std::string& error);
    // Converts a picture of the settings' size for the encoder. Pictures are
    // prepared in the order they are added, on one thread, which may be another
    // than the one that adds them (conversion and encoding then overlap).
    std::shared_ptr<PreparedPicture> prepare(const Picture& picture, std::string& error);
    // A picture on screen from startMs for durationMs; calls come in time order.
    bool add(const PreparedPicture& picture, int64_t startMs, int64_t durationMs, std::string& error);
    // The next frames of sound, interleaved stereo at kExportSoundRate.
    bool addSound(const float* samples, size_t frames, std::string& error);
    bool wantsSound() const;
    // A caption shown from startMs to endMs, text in UTF-8; calls in start order.
    bool addCaption(int64_t startMs, int64_t endMs, const std::string& text, std::string& error);
    // Ends every stream and writes the file's index.
    bool finish(std::string& error);

    // The encoders and their settings, for the user.
    std::string describe() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillet
