#include "player/objects/caption.h"
#include "player/objects/hotspot_caption.h"
#include "player/objects/shape_captions.h"

namespace quillet {

std::unique_ptr<CCaption> makeCaption(CaptionRecord record) {
    using namespace caption_kind;
    switch (record.kind()) {
    case kRectFrame: return std::make_unique<CRectFrame>(std::move(record));
    case kEllipseFrame: return std::make_unique<CEllipseFrame>(std::move(record));
    case kArrowLine: return std::make_unique<CArrowLine>(std::move(record));
    case kSoundCaption: return std::make_unique<CSoundCaption>(std::move(record));
    case kHotspotCaption: return std::make_unique<CHotspotCaption>(std::move(record));
    // Text boxes, balloons and pictures draw the picture stored with them.
    default: return std::make_unique<CCaption>(std::move(record));
    }
}

}  // namespace quillet
