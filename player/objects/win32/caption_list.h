#pragma once
// The annotation objects of a movie, in file order, which is also the order they
// are drawn in within a frame. Frames name their objects by id; the first object
// with an id wins.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "player/container/object_timeline.h"
#include "player/objects/win32/caption.h"
#include "player/objects/hotspot_rules.h"
#include "player/objects/object_section.h"

namespace quillet {

class CCaptionList {
public:
    CCaptionList();
    ~CCaptionList();
    CCaptionList(const CCaptionList&) = delete;
    CCaptionList& operator=(const CCaptionList&) = delete;

    // Makes the objects of a section that was read, links hotspot partners both
    // ways, and takes the section's flags. The records move into the objects.
    void load(ObjectSection section);
    // Appends an object made elsewhere.
    void add(std::unique_ptr<CCaption> object);
    // Destroys the objects and the handles image objects handed over.
    void clear();

    CCaption* findById(int32_t id) const;
    // Draws the first object with the id and marks it rendered.
    void drawById(HDC dc, int32_t id, const RECT* target, bool mode, int start);
    const std::vector<std::unique_ptr<CCaption>>& objects() const { return objects_; }
    bool hasHotspots() const;
    std::vector<ObjectSpan> spans() const;
    // Objects whose span ended before frame give up their pictures.
    void invalidatePassed(int64_t frame);

    void setHost(CaptionHost* host) { host_ = host; }
    CaptionHost* host() const { return host_; }

    // The viewer's input over the view while no run is active, for the hotspots
    // that hold playback; nothing happens while none does. Coordinates are the
    // view's client coordinates.
    void onLeftDown(int x, int y);
    void onLeftDoubleClick(int x, int y);
    void onLeftUp(int x, int y);
    void onRightDown(int x, int y);
    void onRightUp(int x, int y);
    void onMouseMove(int x, int y);
    void onKeyDown(unsigned virtualKey);
    // Before the view is drawn again from the current frame: the active hotspot
    // takes hold again, its sound from the start. True when there was one.
    bool reactivate();
    // The hotspot's cursor + 11 while the pointer is over a hotspot, else 0.
    int32_t hotspotCursor() const { return hotspotCursor_; }

    // Handles an image object hands over when it is destroyed; clear() destroys
    // them. Shared by every list of the process.
    static void deferIcon(win32::UniqueIcon icon);
    static void deferBitmap(win32::UniqueGdiObject bitmap);

    // The contexts every object of the list renders and composites through.
    ObjectDcs& objectDcs() { return objectDcs_; }

    // While one lives, objects of the list drawn 1:1 onto dc composite straight
    // into pixels, which the maker of dc's bitmap vouches for.
    class DirectTarget {
    public:
        DirectTarget(CCaptionList& list, HDC dc, const SectionPixels& pixels) : list_(list) {
            list_.directDc_ = dc;
            list_.directPixels_ = pixels;
        }
        ~DirectTarget() { list_.directDc_ = nullptr; }
        DirectTarget(const DirectTarget&) = delete;
        DirectTarget& operator=(const DirectTarget&) = delete;

    private:
        CCaptionList& list_;
    };
    // The pixels of dc, when a direct target names them.
    const SectionPixels* directPixels(HDC dc) const { return dc && dc == directDc_ ? &directPixels_ : nullptr; }

    uint32_t soundsSeparate = 1;
    uint32_t cacheStored = 0;
    uint32_t effectCounter = 0;
    Rect referenceRect;           // the recorded area: object coordinates are in it
    int64_t currentFrame = 0;     // the frame on screen
    bool hotspotsActive = false;  // a hotspot holds playback

private:
    ObjectDcs objectDcs_;
    HDC directDc_ = nullptr;
    SectionPixels directPixels_;
    // The hotspots as the rules see them, in file order, beside the objects.
    std::vector<HotspotView> hotspotViews(std::vector<class CHotspotCaption*>& hotspots) const;
    void carryOut(const HotspotDecisions& decisions, const std::vector<class CHotspotCaption*>& hotspots);
    template <typename Decide>
    void dispatch(Decide decide);

    std::vector<std::unique_ptr<CCaption>> objects_;
    CaptionHost* host_ = nullptr;
    int32_t hotspotCursor_ = 0;
};

}  // namespace quillet
