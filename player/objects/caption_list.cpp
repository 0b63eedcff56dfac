#include "player/objects/caption_list.h"

namespace quillet {

CCaption* CCaptionList::findById(int32_t id) const {
    for (const auto& object : objects_)
        if (object->objectId == id) return object.get();
    return nullptr;
}

void CCaptionList::drawById(HDC dc, int32_t id, HWND target, bool mode, int start) const {
    if (CCaption* object = findById(id)) object->draw(dc, target, mode, start);
}

bool CCaptionList::hasKind(uint32_t kind) const {
    for (const auto& object : objects_)
        if (object->kind == kind) return true;
    return false;
}

std::vector<ObjectSpan> CCaptionList::spans() const {
    std::vector<ObjectSpan> spans;
    for (const auto& object : objects_)
        spans.push_back({object->firstFrame, object->frameCount, object->kind, object->objectId});
    return spans;
}

}  // namespace quillet
