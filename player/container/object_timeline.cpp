#include "player/container/object_timeline.h"

#include <algorithm>

namespace quillet {

void ObjectTimeline::build(size_t frameCount, const std::vector<ObjectSpan>& objects) {
    frames_.clear();
    if (frameCount == 0 || objects.empty()) return;
    frames_.resize(frameCount);
    const int64_t count = static_cast<int64_t>(frameCount);
    for (const ObjectSpan& object : objects) {
        const int64_t first = object.firstFrame;
        const int64_t end = std::min<int64_t>(count, first + object.frameCount);
        if (object.kind == kSoundObjectKind) {
            if (first >= 0 && first < end) frames_[first].specialObject = object.objectId;
            continue;
        }
        for (int64_t i = std::max<int64_t>(first, 0); i < end; ++i)
            frames_[i].visibleObjects.push_back(object.objectId);
        int64_t last = end > first ? end : first;
        if (last > 0) frames_[std::min(last, count - 1)].endingObjects.push_back(object.objectId);
    }
}

const FrameObjects& ObjectTimeline::at(size_t index) const {
    static const FrameObjects none;
    return index < frames_.size() ? frames_[index] : none;
}

}  // namespace quillet
