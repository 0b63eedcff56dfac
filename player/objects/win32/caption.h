#pragma once
// An annotation object as it draws itself, over its stored record. Visible objects
// render once into a private picture and mask of their bounds and are then
// composited: the mask ORed in, the picture ANDed over it, so that the target
// keeps its pixels outside the object. A picture stored with the object stands in
// for the rendering until the object is invalidated.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/win32/handles.h"
#include "player/bitmaps/win32/dib.h"
#include "player/objects/caption_record.h"

namespace quillet {

class CCaptionList;

// Two memory contexts that objects select their picture and mask into while they
// render or composite, so that between draws an object holds its two bitmaps and
// nothing else. One pair serves a whole object list; objects draw from one thread
// at a time.
class ObjectDcs {
public:
    // Creates the pair on first use, compatible with reference.
    bool ready(HDC reference);
    HDC picture() const { return picture_.get(); }
    HDC mask() const { return mask_.get(); }

private:
    win32::UniqueMemoryDc picture_;
    win32::UniqueMemoryDc mask_;
};

// What objects ask of the movie that holds them.
class CaptionHost {
public:
    virtual ~CaptionHost() = default;
    virtual void holdAtObject() = 0;
    virtual void continueAt(int64_t frame) = 0;
    virtual void playObjectSound(const std::string& path) = 0;
    virtual void stopObjectSound() = 0;
};

class CCaption {
public:
    explicit CCaption(CaptionRecord record);
    virtual ~CCaption();
    CCaption(const CCaption&) = delete;
    CCaption& operator=(const CCaption&) = delete;

    uint32_t kind() const { return record_.header.kind; }
    int32_t objectId() const { return record_.header.objectId; }
    int32_t firstFrame() const { return record_.header.firstFrame; }
    int32_t frameCount() const { return record_.header.frameCount; }
    bool spans(int64_t frame) const {
        return firstFrame() <= frame && frame < int64_t{firstFrame()} + frameCount();
    }
    const CaptionRecord& record() const { return record_; }
    const Rect& bodyRect() const { return record_.header.bodyRect; }
    const Rect& boundsRect() const { return record_.header.boundsRect; }

    void setOwner(CCaptionList* owner) { owner_ = owner; }
    CCaptionList* owner() const { return owner_; }

    // Draws into dc, whose coordinates the caller has set so that object coordinates
    // (relative to the recorded area) can be used directly. target: null for 1:1, or
    // the rectangle the recorded area is mapped onto. mode is stop-at-object mode;
    // start asks a sound or hotspot to start.
    virtual void draw(HDC dc, const RECT* target, bool mode, int start);
    // Frees the rendered picture and mask; they are rendered again when next drawn.
    virtual void invalidate();
    virtual void releaseBitmaps();

    // The rectangle text goes in, measured with the font selected into dc; kinds
    // with text of their own shape override it and keep what they measured.
    virtual Rect textRect(HDC dc);

    // A picture and mask of the object's bounds for storing with it, or none when
    // this kind stores nothing. Kinds that render store what they render.
    virtual StoredPicture renderForStorage(HDC reference);

    bool dirty() const { return dirty_; }
    void setDirty(bool dirty) { dirty_ = dirty; }
    // How often the picture was rendered, rather than taken from storage.
    int renderCount() const { return renderCount_; }

protected:
    // Renders the kind's picture and mask, both painted white over the bounds
    // first, in object coordinates; the mask must end black wherever the object
    // does not paint. The base kind renders nothing and so draws only a stored
    // picture.
    virtual bool renders() const { return false; }
    virtual void render(HDC pictureDc, HDC maskDc) {
        renderPicture(pictureDc);
        renderMask(maskDc);
    }
    virtual void renderPicture(HDC /*pictureDc*/) {}
    virtual void renderMask(HDC /*maskDc*/) {}
    // Renders as needed and composites the picture and mask onto dc.
    void composite(HDC dc, const RECT* target);

    // The scale of a mapped draw: target size over the reference rectangle's.
    struct Scale {
        float x = 1, y = 1;
        int32_t left = 0, top = 0;
        Point map(Point p) const;
        Rect map(const Rect& r) const;
    };
    Scale scaleFor(const RECT& target) const;

    CaptionRecord record_;
    CCaptionList* owner_ = nullptr;

private:
    // The rendered picture and mask side by side in one bitmap (the mask to the
    // right), kept selected into a memory context of its own while it exists: one
    // bitmap and one context per object. Made for a target that is a 32-bit DIB
    // section, it is one too, and compositing it onto pixels the list names is one
    // pass over them; otherwise it is composited by two block transfers.
    class HeldBitmap {
    public:
        ~HeldBitmap() { release(); }
        bool hold(HDC reference, int width, int height);
        void release();
        HDC dc() const { return dc_.get(); }
        // The section's pixels; a null top row for a compatible bitmap.
        const SectionPixels& pixels() const { return pixels_; }
        explicit operator bool() const { return static_cast<bool>(dc_); }

    private:
        win32::UniqueGdiObject bitmap_;
        win32::UniqueMemoryDc dc_;
        HGDIOBJ previous_ = nullptr;
        SectionPixels pixels_;
    };

    // The list's pair of contexts, or a pair of this object's own for one render
    // when it belongs to no list.
    ObjectDcs* dcsFor(HDC reference, ObjectDcs& ownPair);
    // Puts a picture and mask of the bounds' size side by side into held_.
    bool holdSideBySide(HDC reference, HGDIOBJ picture, HGDIOBJ mask);
    bool bitmapsFromStorage(HDC reference);
    // Renders the picture and mask from the fields into two new bitmaps; false when
    // they cannot be made.
    bool renderSeparate(HDC reference, win32::UniqueGdiObject& picture, win32::UniqueGdiObject& mask);
    bool renderBitmaps(HDC reference);
    // Composites the held section straight into dc's pixels; false unless the list
    // names them (a direct target) and dc has plain coordinates, moved at most, and
    // at most a rectangle clipping it.
    bool blendOntoSection(HDC dc);

    bool dirty_ = true;
    int renderCount_ = 0;
    HeldBitmap held_;
    win32::UniqueGdiObject scaledPicture_;
    win32::UniqueGdiObject scaledMask_;
};

// A picture and mask of the bounds' size for storing with an object: each starts
// white (the picture) or black (the mask) and is painted by its painter in object
// coordinates, then packed as a DIB. None when they cannot be made.
StoredPicture paintedForStorage(HDC reference, const Rect& bounds, const std::function<void(HDC)>& paintPicture,
                                const std::function<void(HDC)>& paintMask);

// An object of the kind the record names.
std::unique_ptr<CCaption> makeCaption(CaptionRecord record);

}  // namespace quillet
