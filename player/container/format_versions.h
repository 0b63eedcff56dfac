#pragma once
// Which readers a movie of a given format version needs: the form of its object
// section, the form of its sound section, the layout of its frame stream and
// whether the frames are read on a loader thread. One table decides, in one place.

namespace quillet {

// The forms of the object section, oldest first.
enum class ObjectSectionForm { Form1 = 1, Form2, Form3, Form4, Form5 };

// The forms of the sound section, named by the versions that write them.
enum class SoundSectionForm {
    Below095,        // two words; the tracks go beside the movie
    From095To14,     // six words; no speech, no volumes
    From15To155,     // nine words: speech and volumes join
    From16Below30,   // the twelve words of the current form, plain names
    Current,         // 3.0
};

// The layouts of the frame stream, oldest first.
enum class FrameStreamGroup { G1 = 1, G2, G3, G4, G5, G6, G7, G8 };

// The logo forms: none before 1.3, five layouts from 1.3 to 1.8, then the current
// 104-byte record.
enum class LogoForm { None, L1, L2, L3, L4, L5, Current };

enum class FrameReading { Background, Foreground };

struct FormatReaders {
    ObjectSectionForm objects;
    SoundSectionForm sounds;
    FrameStreamGroup frames;
    LogoForm logo;
    FrameReading reading;
};

// The readers of a version as the header's "%d.%d" number gives it. The rows are
// tried in order, each an exact comparison, and the first match wins; a version
// that matches none is read as 1.85 is. Versions above the program's own are
// refused before this is asked.
FormatReaders readersForVersion(double version);

// Whether the sound reader of a form can give the movie up (a file that cannot be
// written, a sound that does not unpack). The older forms go on without the sound.
bool soundFormMayFail(SoundSectionForm form);

}  // namespace quillet
