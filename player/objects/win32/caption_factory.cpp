#include "player/objects/win32/caption.h"
#include "player/objects/win32/hotspot_caption.h"
#include "player/objects/win32/image_caption.h"
#include "player/objects/win32/shape_captions.h"
#include "player/objects/win32/text_captions.h"

namespace quillet {

std::unique_ptr<CCaption> makeCaption(CaptionRecord record) {
    using namespace caption_kind;
    switch (record.kind()) {
    case kRectFrame: return std::make_unique<CRectFrame>(std::move(record));
    case kEllipseFrame: return std::make_unique<CEllipseFrame>(std::move(record));
    case kArrowLine: return std::make_unique<CArrowLine>(std::move(record));
    case kBoxCaption: return std::make_unique<CBoxCaption>(std::move(record));
    case kRoundCaption: return std::make_unique<CRoundCaption>(std::move(record));
    case kEllipseCaption: return std::make_unique<CEllipseCaption>(std::move(record));
    case kTitledCaption: return std::make_unique<CTitledCaption>(std::move(record));
    case kBoxBalloon: return std::make_unique<CBoxBalloon>(std::move(record));
    case kRoundBalloon: return std::make_unique<CRoundBalloon>(std::move(record));
    case kEllipseBalloon: return std::make_unique<CEllipseBalloon>(std::move(record));
    case kImageCaption: return std::make_unique<CImageCaption>(std::move(record));
    case kSoundCaption: return std::make_unique<CSoundCaption>(std::move(record));
    case kHotspotCaption: return std::make_unique<CHotspotCaption>(std::move(record));
    // A kind no reader knows draws only what was stored with it.
    default: return std::make_unique<CCaption>(std::move(record));
    }
}

}  // namespace quillet
