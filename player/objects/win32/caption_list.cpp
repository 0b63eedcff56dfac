#include "player/objects/win32/caption_list.h"

#include <mutex>

#include "player/objects/win32/hotspot_caption.h"

namespace quillet {
namespace {


// Handles that image objects gave up when they were destroyed: process-wide, freed
// when any object list is cleared.
struct DeferredHandles {
    std::mutex lock;
    std::vector<win32::UniqueIcon> icons;
    std::vector<win32::UniqueGdiObject> bitmaps;
};

DeferredHandles& deferredHandles() {
    static DeferredHandles handles;
    return handles;
}

}  // namespace

CCaptionList::CCaptionList() = default;

CCaptionList::~CCaptionList() { clear(); }

void CCaptionList::deferIcon(win32::UniqueIcon icon) {
    if (!icon) return;
    DeferredHandles& deferred = deferredHandles();
    std::lock_guard<std::mutex> lock(deferred.lock);
    deferred.icons.push_back(std::move(icon));
}

void CCaptionList::deferBitmap(win32::UniqueGdiObject bitmap) {
    if (!bitmap) return;
    DeferredHandles& deferred = deferredHandles();
    std::lock_guard<std::mutex> lock(deferred.lock);
    deferred.bitmaps.push_back(std::move(bitmap));
}

void CCaptionList::load(ObjectSection section) {
    clear();
    soundsSeparate = section.soundsSeparate;
    cacheStored = section.cacheStored;
    effectCounter = section.effectCounter;
    objects_.reserve(section.objects.size());
    for (CaptionRecord& record : section.objects) {
        std::unique_ptr<CCaption> object = makeCaption(std::move(record));
        object->setOwner(this);
        // A drag source and its drop target name each other; the one read second
        // finds the first among the objects read so far.
        if (auto* hotspot = dynamic_cast<CHotspotCaption*>(object.get()); hotspot && hotspot->hotspot().linked()) {
            for (const auto& earlier : objects_) {
                auto* other = dynamic_cast<CHotspotCaption*>(earlier.get());
                if (other && other->objectId() == hotspot->hotspot().partnerId) {
                    hotspot->setPartner(other);
                    other->setPartner(hotspot);
                    break;
                }
            }
        }
        objects_.push_back(std::move(object));
    }
}

void CCaptionList::clear() {
    objects_.clear();
    cacheStored = 0;
    // The numbered effect scratch files the counter tells of are the editor's: a
    // player makes none, so it deletes none. Its own files (object sounds) are
    // deleted by the reader that made them, and a count from the file drives no loop.
    currentFrame = 0;
    hotspotsActive = false;
    hotspotCursor_ = 0;
    DeferredHandles& deferred = deferredHandles();
    std::lock_guard<std::mutex> lock(deferred.lock);
    deferred.icons.clear();
    deferred.bitmaps.clear();
}

void CCaptionList::add(std::unique_ptr<CCaption> object) {
    object->setOwner(this);
    objects_.push_back(std::move(object));
}

CCaption* CCaptionList::findById(int32_t id) const {
    for (const auto& object : objects_)
        if (object->objectId() == id) return object.get();
    return nullptr;
}

void CCaptionList::drawById(HDC dc, int32_t id, const RECT* target, bool mode, int start) {
    CCaption* object = findById(id);
    if (!object) return;
    object->draw(dc, target, mode, start);
    object->setDirty(false);
}

bool CCaptionList::hasHotspots() const {
    for (const auto& object : objects_)
        if (object->kind() == caption_kind::kHotspotCaption) return true;
    return false;
}

std::vector<ObjectSpan> CCaptionList::spans() const {
    std::vector<ObjectSpan> spans;
    spans.reserve(objects_.size());
    for (const auto& object : objects_)
        spans.push_back({object->firstFrame(), object->frameCount(), object->kind(), object->objectId()});
    return spans;
}

namespace {

// The modifier keys down now, from the keyboard state.
int32_t heldModifiers() {
    int32_t held = 0;
    if (::GetKeyState(VK_MENU) < 0) held |= hotspot_modifier::kAlt;
    if (::GetKeyState(VK_CONTROL) < 0) held |= hotspot_modifier::kCtrl;
    if (::GetKeyState(VK_SHIFT) < 0) held |= hotspot_modifier::kShift;
    return held;
}

}  // namespace

std::vector<HotspotView> CCaptionList::hotspotViews(std::vector<CHotspotCaption*>& hotspots) const {
    for (const auto& object : objects_)
        if (auto* hotspot = dynamic_cast<CHotspotCaption*>(object.get())) hotspots.push_back(hotspot);
    std::vector<HotspotView> views;
    views.reserve(hotspots.size());
    for (CHotspotCaption* h : hotspots) {
        HotspotView view;
        view.firstFrame = h->firstFrame();
        view.frameCount = h->frameCount();
        view.body = h->bodyRect();
        view.eventMask = h->hotspot().eventMask;
        view.modifiers = h->hotspot().modifiers;
        view.key = h->hotspot().key;
        view.cursor = h->hotspot().cursor;
        view.armed = h->armed();
        for (size_t i = 0; i < hotspots.size(); ++i)
            if (hotspots[i] == h->partner()) view.partner = static_cast<int>(i);
        views.push_back(view);
    }
    return views;
}

void CCaptionList::carryOut(const HotspotDecisions& decisions, const std::vector<CHotspotCaption*>& hotspots) {
    bool continued = false;
    for (const HotspotDecision& decision : decisions) {
        CHotspotCaption* h = hotspots[static_cast<size_t>(decision.hotspot)];
        const int64_t after = int64_t{h->firstFrame()} + h->frameCount();
        switch (decision.kind) {
        case HotspotDecision::Answer:
        case HotspotDecision::ContinueAt:
            // One answer resumes playback; a second would pause it again.
            if (continued || !host_) break;
            continued = true;
            if (decision.kind == HotspotDecision::Answer) host_->stopObjectSound();
            host_->continueAt(after);
            break;
        case HotspotDecision::Replay: h->draw(nullptr, nullptr, true, 1); break;
        case HotspotDecision::ArmPartner:
            if (h->partner()) h->partner()->setArmed(true);
            break;
        }
    }
}

template <typename Decide>
void CCaptionList::dispatch(Decide decide) {
    if (!hotspotsActive) return;
    std::vector<CHotspotCaption*> hotspots;
    const std::vector<HotspotView> views = hotspotViews(hotspots);
    const HotspotRules rules(views, currentFrame, heldModifiers());
    carryOut(decide(rules), hotspots);
}

void CCaptionList::onLeftDown(int x, int y) {
    dispatch([&](const HotspotRules& r) { return r.leftDown(x, y); });
}
void CCaptionList::onLeftUp(int x, int y) {
    dispatch([&](const HotspotRules& r) { return r.leftUp(x, y); });
}
void CCaptionList::onLeftDoubleClick(int x, int y) {
    dispatch([&](const HotspotRules& r) { return r.leftDoubleClick(x, y); });
}
void CCaptionList::onRightDown(int x, int y) {
    dispatch([&](const HotspotRules& r) { return r.rightDown(x, y); });
}
void CCaptionList::onRightUp(int x, int y) {
    dispatch([&](const HotspotRules& r) { return r.rightUp(x, y); });
}
void CCaptionList::onKeyDown(unsigned virtualKey) {
    dispatch([&](const HotspotRules& r) { return r.keyDown(virtualKey); });
}

void CCaptionList::onMouseMove(int x, int y) {
    if (!hotspotsActive) return;
    std::vector<CHotspotCaption*> hotspots;
    const std::vector<HotspotView> views = hotspotViews(hotspots);
    hotspotCursor_ = HotspotRules(views, currentFrame, 0).cursorAt(x, y);
}

bool CCaptionList::reactivate() {
    std::vector<CHotspotCaption*> hotspots;
    const std::vector<HotspotView> views = hotspotViews(hotspots);
    const int active = HotspotRules(views, currentFrame, 0).active();
    if (active < 0) return false;
    hotspots[static_cast<size_t>(active)]->draw(nullptr, nullptr, true, 1);
    return true;
}

void CCaptionList::invalidatePassed(int64_t frame) {
    for (const auto& object : objects_)
        if (int64_t{object->firstFrame()} + object->frameCount() < frame) object->invalidate();
}

}  // namespace quillet
