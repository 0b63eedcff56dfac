#pragma once
// Kind 11, a sound that starts at the object's first frame, and kind 12, a
// hotspot that holds playback until the viewer answers it.

#include "player/objects/win32/shape_captions.h"

namespace quillet {

class CSoundCaption : public CCaption {
public:
    using CCaption::CCaption;
    // Paints nothing; start 1 plays the sound.
    void draw(HDC dc, const RECT* target, bool mode, int start) override;
    void releaseBitmaps() override {}
    const std::string& soundPath() const { return record_.sound.path; }
};

class CHotspotCaption : public CRectFrame {
public:
    using CRectFrame::CRectFrame;
    // In stop-at-object mode the hotspot takes hold of playback instead of
    // drawing; otherwise it paints the editor's marker.
    void draw(HDC dc, const RECT* target, bool mode, int start) override;
    StoredPicture renderForStorage(HDC reference) override;

    const HotspotTail& hotspot() const { return record_.hotspot; }
    bool isDragSource() const { return record_.hotspot.eventMask == HotspotTail::kDragSource; }
    bool isDropTarget() const { return record_.hotspot.eventMask == HotspotTail::kDropTarget; }
    CHotspotCaption* partner() const { return partner_; }
    void setPartner(CHotspotCaption* partner) { partner_ = partner; }
    bool armed() const { return armed_; }
    void setArmed(bool armed) { armed_ = armed; }
    // The sound this hotspot plays: a drop target plays its drag source's.
    const std::string& soundPath() const;

private:
    void paintMarker(HDC dc, const RECT* target);

    CHotspotCaption* partner_ = nullptr;
    bool armed_ = false;
};

}  // namespace quillet
