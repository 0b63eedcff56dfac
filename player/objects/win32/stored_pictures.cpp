#include "player/objects/win32/stored_pictures.h"

#include "common/win32/handles.h"
#include "player/objects/win32/caption.h"

namespace quillet {

void storeRenderedPictures(ObjectSection& section) {
    win32::WindowDc screen(nullptr);
    section.cacheStored = 1;
    for (CaptionRecord& record : section.objects) {
        if (record.kind() == caption_kind::kSoundCaption) continue;
        std::unique_ptr<CCaption> object = makeCaption(record);
        StoredPicture stored = object->renderForStorage(screen.get());
        // Rendering measured the text: the record keeps where it went.
        record = object->record();
        record.stored = std::move(stored);
    }
}

}  // namespace quillet
