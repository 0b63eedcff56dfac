#pragma once
// The layouts of the frame stream, one per group of format versions: how much of
// the movie information is stored, how the first screen picture and the cursor
// shapes are stored, the frame record and band header forms, and the reading rules
// that differ between groups. The loader reads every group through this table.

#include <cstddef>
#include <cstdint>

#include "player/container/format_versions.h"
#include "player/container/record_forms.h"

namespace quillet {

enum class ScreenPictureForm {
    Raw,      // dibSize bytes without a length: the whole first screen as a packed DIB
    Counted,  // u32 length, then the screen's header and colour table
};

enum class CursorShapeForm {
    Keyed,          // one colour image per shape, magenta where the screen shows
    ColourAndMask,  // a colour image and a 1-bit mask per shape
};

// Where a frame delay above kDelayLimitMs is replaced by kLimitedDelayMs.
enum class DelayLimit { Never, Always, InForeground };
constexpr uint32_t kDelayLimitMs = 3000;
constexpr int32_t kLimitedDelayMs = 50;

struct FrameStreamLayout {
    size_t infoSize;  // the stored part of the 80-byte movie information
    ScreenPictureForm screen;
    CursorShapeForm cursors;
    FrameRecordForm record;
    BandHeaderForm band;
    DelayLimit delayLimit;
    bool emptyRunRule;  // 21 empty records in a row end the stream
    bool shapeLimit;    // only the first 50 cursor shapes are kept
};

const FrameStreamLayout& frameStreamLayout(FrameStreamGroup group);

// What the frame loader needs to know of a movie's version.
struct FrameStreamFormat {
    FrameStreamGroup group = FrameStreamGroup::G8;
    LogoForm logo = LogoForm::Current;
};

inline FrameStreamFormat frameStreamFormat(const FormatReaders& readers) { return {readers.frames, readers.logo}; }

}  // namespace quillet
