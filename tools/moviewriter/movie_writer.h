#pragma once
// Writes movies in the player's format, for the tests, the demo and by hand. The
// writer stands in for the recording suite, which lies outside this system.

#include <cstdint>
#include <optional>
#include <string>

#include "player/container/movie_header.h"

namespace quillet {

struct ScreenFormat {
    int32_t width = 640;
    int32_t height = 480;
    int32_t bitsPerPixel = 32;
};

class MovieWriter {
public:
    MovieWriter();

    MovieHeader& header() { return header_; }
    void setVersion(int major, int minor);
    // A header copy that differs from the plain header (the player takes the copy).
    void setHeaderCopy(const MovieHeader& copy) { headerCopy_ = copy; }
    // Stores a damaged copy: a length and bytes that do not inflate.
    void setRawHeaderCopy(std::string stored) { rawHeaderCopy_ = std::move(stored); }
    void setScreen(const ScreenFormat& screen) { screen_ = screen; }

    // The movie's bytes, header first; the trailer is added by packMovie.
    std::string build() const;

private:
    std::string headerCopyRecord() const;
    std::string frameStream() const;

    MovieHeader header_;
    std::optional<MovieHeader> headerCopy_;
    std::optional<std::string> rawHeaderCopy_;
    ScreenFormat screen_;
};

// Today's date in the header's form, for example "2006-12-02, 11:21:48".
std::string headerDateNow();

// A copy of the player executable with the movie behind it and the 20-byte trailer.
std::string packMovie(const std::string& player, const std::string& movie);

}  // namespace quillet
