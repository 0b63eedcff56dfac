#pragma once
// Opening a movie: the one sequence the player, the tools, the fuzz targets and the
// benchmarks all take. Find the movie, check its header and version, take the
// header copy, read the objects and the sounds with the readers of the version,
// and leave the file at the frame stream.

#include <functional>
#include <string>

#include "player/audio/sound_tracks.h"
#include "player/container/format_versions.h"
#include "player/container/frame_data.h"
#include "player/container/movie_container.h"
#include "player/container/movie_header.h"
#include "player/objects/object_section.h"

namespace quillet {

// Where a movie may lie in a file: behind a player, found through the trailer, or
// (for the tools) also as a bare movie at offset 0.
enum class MoviePlacement { Appended, AppendedOrBare };

enum class MovieOpenStatus {
    Opened,
    NotAMovie,          // no movie found, or its signature is not accepted
    Newer,              // written by a newer version than the player reads
    UnknownObjectKind,  // past such an object the sounds and frames cannot be found
    SoundsFailed,       // the sounds could not be written out
};

struct MovieOpenRequest {
    MoviePlacement placement = MoviePlacement::Appended;
    ObjectReadHost* objectHost = nullptr;
    SoundTrackSet* tracks = nullptr;
    // The movie's path, from which the sounds' files are named and found.
    std::string soundPath;
    // Called once the signature is accepted, before anything else is read.
    std::function<void()> headerAccepted;
};

// What opening read. Filled as far as opening got: the header for Newer, the
// objects for SoundsFailed.
struct OpenedMovie {
    MovieLocation location;
    bool appended = false;
    MovieHeader header;          // the copy's fields when the copy inflated
    MovieHeader plainHeader;     // the header as stored in front
    HeaderCopyResult headerCopy;
    double version = 0;          // decided from the plain header
    FormatReaders readers;
    ObjectSection objects;
};

MovieOpenStatus openMovie(MovieFile& file, const MovieOpenRequest& request, OpenedMovie& movie);

// The object section at the file's position, read without running past end; the
// file is left right behind the section.
ObjectSection readObjectSectionAt(MovieFile& file, uint64_t end, ObjectSectionForm form, ObjectReadHost& host);
// What the frame index needs of each object.
std::vector<ObjectSpan> objectSpans(const ObjectSection& section);
// Whether any object plays a sound: a sound object, or a hotspot with its own.
bool objectsCarrySound(const ObjectSection& section);

// Reads the frame stream at the file's position as the player reads it: on the
// loader thread for the versions it reads in the background (some rules differ
// between the two), and returns when all frames are read. The file stays with the
// caller.
void readAllFrames(FrameData& frames, MovieFile& file, const OpenedMovie& movie);

}  // namespace quillet
