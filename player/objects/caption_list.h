#pragma once
// The annotation objects of a movie, in list order. Object kinds and their drawing
// come with the object classes; the compositor reaches them only through these
// calls.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "player/container/object_timeline.h"

namespace quillet {

class CCaption {
public:
    virtual ~CCaption() = default;
    int32_t firstFrame = 0;
    int32_t frameCount = 0;
    uint32_t kind = 0;
    int32_t objectId = 0;

    bool spans(int64_t frame) const { return firstFrame <= frame && frame < int64_t{firstFrame} + frameCount; }
    // Draws the object into dc (target: the window it is shown in, or none); mode is
    // stop-at-object mode, start 1 when a sound or hotspot should start.
    virtual void draw(HDC dc, HWND target, bool mode, int start) = 0;
};

class CCaptionList {
public:
    CCaption* findById(int32_t id) const;
    void drawById(HDC dc, int32_t id, HWND target, bool mode, int start) const;
    const std::vector<std::unique_ptr<CCaption>>& objects() const { return objects_; }
    void add(std::unique_ptr<CCaption> object) { objects_.push_back(std::move(object)); }
    void clear() { objects_.clear(); }
    bool hasKind(uint32_t kind) const;
    std::vector<ObjectSpan> spans() const;

    // The viewer's input over the view while no run is active, for the hotspots
    // of the movie; a movie without hotspots takes no notice of it.
    void reactivate() {}
    void onLeftDown(int /*x*/, int /*y*/) {}
    void onLeftDoubleClick(int /*x*/, int /*y*/) {}
    void onLeftUp(int /*x*/, int /*y*/) {}
    void onRightDown(int /*x*/, int /*y*/) {}
    void onRightUp(int /*x*/, int /*y*/) {}
    void onMouseMove(int /*x*/, int /*y*/) {}
    void onKeyDown(unsigned /*virtualKey*/) {}
    // The hotspot's cursor + 11 while the pointer is over a hotspot, else 0.
    int32_t hotspotCursor() const { return hotspotCursor_; }

private:
    std::vector<std::unique_ptr<CCaption>> objects_;
    int32_t hotspotCursor_ = 0;
};

}  // namespace quillet
