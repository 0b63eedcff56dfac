#include "player/objects/win32/hotspot_caption.h"

#include "common/win32/file_system.h"
#include "player/objects/win32/caption_list.h"

namespace quillet {
namespace {

// The editor marker's colours: its face, its frame and its text.
constexpr COLORREF kMarkerFace = 0x64FF00;
constexpr COLORREF kMarkerFrame = 0xFF0000;
constexpr COLORREF kMarkerText = 0x323232;

}  // namespace

void CSoundCaption::draw(HDC, const RECT*, bool, int start) {
    if (start != 1 || record_.sound.path.empty() || !owner_ || !owner_->host()) return;
    owner_->host()->playObjectSound(record_.sound.path);
}

const std::string& CHotspotCaption::soundPath() const {
    if (isDropTarget() && partner_) return partner_->record_.hotspot.sound.path;
    return record_.hotspot.sound.path;
}

void CHotspotCaption::draw(HDC dc, const RECT* target, bool mode, int start) {
    if (!mode) {
        paintMarker(dc, target);
        return;
    }
    armed_ = false;
    if (partner_) partner_->armed_ = false;
    if (!owner_) return;
    CaptionHost* host = owner_->host();
    const std::string& sound = soundPath();
    if (host && start == 1 && !sound.empty() && win32::fileExists(sound)) host->playObjectSound(sound);
    if (host) host->holdAtObject();
    owner_->hotspotsActive = true;
}

void CHotspotCaption::paintMarker(HDC dc, const RECT* target) {
    const Rect body = target ? scaleFor(*target).map(bodyRect()) : bodyRect();
    RECT box{body.left, body.top, body.right, body.bottom};
    win32::UniqueGdiObject face(::CreateSolidBrush(kMarkerFace));
    win32::UniqueGdiObject frame(::CreateSolidBrush(kMarkerFrame));
    ::FillRect(dc, &box, static_cast<HBRUSH>(face.get()));
    ::FrameRect(dc, &box, static_cast<HBRUSH>(frame.get()));
    const char* label = isDragSource() ? "Drag" : isDropTarget() ? "Drop" : nullptr;
    if (!label) return;
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = ::SetTextColor(dc, kMarkerText);
    ::DrawTextA(dc, label, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SetTextColor(dc, previousColour);
    ::SetBkMode(dc, previousMode);
}

StoredPicture CHotspotCaption::renderForStorage(HDC reference) {
    // The marker covers its box: the mask is the box in white.
    return storeOutline(reference, boundsRect(), kMarkerFrame, [&](HDC dc, uint32_t colour) {
        if (colour != kMarkerFrame) {
            const Rect& b = bodyRect();
            RECT box{b.left, b.top, b.right, b.bottom};
            ::FillRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            return;
        }
        paintMarker(dc, nullptr);
    });
}

}  // namespace quillet
