#include "player/container/format_versions.h"

namespace quillet {
namespace {

enum class Test { Exactly, Below };

struct VersionRow {
    Test test;
    double version;
    FormatReaders readers;
};

using O = ObjectSectionForm;
using S = SoundSectionForm;
using G = FrameStreamGroup;
using L = LogoForm;
constexpr FrameReading kBackground = FrameReading::Background;
constexpr FrameReading kForeground = FrameReading::Foreground;

// In order; the first row that matches wins.
constexpr VersionRow kVersionTable[] = {
    // version              objects   sounds            frames  logo        reading
    {Test::Exactly, 3.0,  {O::Form5, S::Current,       G::G8, L::Current, kBackground}},
    {Test::Below,   0.95, {O::Form1, S::Below095,      G::G1, L::None,    kBackground}},
    {Test::Exactly, 0.95, {O::Form2, S::From095To14,   G::G2, L::None,    kBackground}},
    {Test::Exactly, 1.0,  {O::Form2, S::From095To14,   G::G3, L::None,    kBackground}},
    {Test::Exactly, 1.1,  {O::Form2, S::From095To14,   G::G4, L::None,    kBackground}},
    {Test::Exactly, 1.2,  {O::Form2, S::From095To14,   G::G5, L::None,    kBackground}},
    {Test::Exactly, 1.25, {O::Form3, S::From095To14,   G::G6, L::None,    kBackground}},
    {Test::Exactly, 1.3,  {O::Form3, S::From095To14,   G::G7, L::L1,      kBackground}},
    {Test::Exactly, 1.4,  {O::Form3, S::From095To14,   G::G7, L::L2,      kBackground}},
    {Test::Exactly, 1.5,  {O::Form3, S::From15To155,   G::G7, L::L3,      kBackground}},
    {Test::Exactly, 1.55, {O::Form3, S::From15To155,   G::G7, L::L4,      kForeground}},
    {Test::Exactly, 1.6,  {O::Form3, S::From16Below30, G::G7, L::L4,      kForeground}},
    {Test::Exactly, 1.7,  {O::Form3, S::From16Below30, G::G7, L::L5,      kForeground}},
    {Test::Exactly, 1.8,  {O::Form4, S::From16Below30, G::G7, L::L5,      kForeground}},
};
// 1.85, and every version no row names.
constexpr FormatReaders kOtherVersions = {O::Form4, S::From16Below30, G::G8, L::Current, kForeground};

bool matches(const VersionRow& row, double version) {
    return row.test == Test::Exactly ? version == row.version : version < row.version;
}

}  // namespace

FormatReaders readersForVersion(double version) {
    for (const VersionRow& row : kVersionTable)
        if (matches(row, version)) return row.readers;
    return kOtherVersions;
}

bool soundFormMayFail(SoundSectionForm form) {
    return form == SoundSectionForm::From15To155 || form == SoundSectionForm::From16Below30 ||
           form == SoundSectionForm::Current;
}

}  // namespace quillet
