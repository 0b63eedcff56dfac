#include "player/container/frame_stream_groups.h"

namespace quillet {
namespace {

using Screen = ScreenPictureForm;
using Cursors = CursorShapeForm;
using R = FrameRecordForm;
using H = BandHeaderForm;
using Delay = DelayLimit;

constexpr FrameStreamLayout kLayouts[] = {
    // info  screen           cursors                 record      band        delay limit          empty run  50 shapes
    {60, Screen::Raw,     Cursors::Keyed,         R::R36a,    H::H28,     Delay::Always,       false, false},  // G1
    {64, Screen::Raw,     Cursors::ColourAndMask, R::R40a,    H::H28,     Delay::Always,       false, false},  // G2
    {64, Screen::Raw,     Cursors::ColourAndMask, R::R44,     H::H28,     Delay::Always,       false, false},  // G3
    {64, Screen::Counted, Cursors::ColourAndMask, R::R44,     H::H28,     Delay::Always,       false, false},  // G4
    {64, Screen::Counted, Cursors::ColourAndMask, R::R40b,    H::H28,     Delay::Always,       false, false},  // G5
    {76, Screen::Counted, Cursors::ColourAndMask, R::R36b,    H::Current, Delay::Always,       false, false},  // G6
    {80, Screen::Counted, Cursors::ColourAndMask, R::Current, H::Current, Delay::InForeground, false, false},  // G7
    {80, Screen::Counted, Cursors::ColourAndMask, R::Current, H::Current, Delay::Never,        true,  true},   // G8
};

}  // namespace

const FrameStreamLayout& frameStreamLayout(FrameStreamGroup group) {
    return kLayouts[static_cast<int>(group) - static_cast<int>(FrameStreamGroup::G1)];
}

}  // namespace quillet
