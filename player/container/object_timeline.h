#pragma once
// Which objects each frame shows: built from the object list once the movie is
// read, and kept beside the frames.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {

// What the index needs to know of an annotation object.
struct ObjectSpan {
    int32_t firstFrame = 0;
    int32_t frameCount = 0;
    uint32_t kind = 0;
    int32_t objectId = 0;
};

constexpr uint32_t kSoundObjectKind = 11;
constexpr uint32_t kStopObjectKind = 12;

struct FrameObjects {
    std::vector<int32_t> visibleObjects;
    std::vector<int32_t> endingObjects;
    int32_t specialObject = -1;
};

class ObjectTimeline {
public:
    // Fills the index for frameCount frames from objects, in list order.
    void build(size_t frameCount, const std::vector<ObjectSpan>& objects);
    void clear() { frames_.clear(); }

    // The objects of frame index; an empty entry for frames without any.
    const FrameObjects& at(size_t index) const;

private:
    std::vector<FrameObjects> frames_;
};

}  // namespace quillet
