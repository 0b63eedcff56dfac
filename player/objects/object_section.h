#pragma once
// The object section of a movie in each of its five forms: a prefix of counts and
// flags, then one record per object, each optionally followed by a stored picture.
// The readers check every count and length against what remains of the file; a
// record that cannot be whole ends the section as a cut file would, keeping the
// objects read before it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "player/container/buffered_reader.h"
#include "player/container/compressed_block.h"
#include "player/container/format_versions.h"
#include "player/objects/caption_record.h"

namespace quillet {

struct ObjectSection {
    uint32_t soundsSeparate = 1;
    uint32_t cacheStored = 0;
    uint32_t effectCounter = 0;  // as stored, plus one
    std::vector<CaptionRecord> objects;
    // Set when reading stopped before objectCount records: a record ran past the
    // file, or its kind is one no reader knows.
    bool stoppedEarly = false;
    // Set when a record's kind is one no reader of the form knows. Such a record
    // carries no length, so nothing after it (the rest of the objects, the sounds,
    // the frames) can be found: the movie is damaged.
    bool unknownKind = false;
};

// What reading needs from the machine it runs on.
class ObjectReadHost {
public:
    virtual ~ObjectReadHost() = default;
    // The screen the player runs on; arrow-head coordinates beyond it are dropped
    // on reading. Zero: leave them.
    virtual Size screen() const { return {}; }
    // Creates a new, empty temporary file for a sound object: name in the temporary
    // folder (numbered when a file of that name exists), or a fresh name when name
    // is empty. Never opens a file that exists. Returns its path, or an empty text
    // when it cannot be created.
    virtual std::string createSoundFile(const std::string& name) = 0;
    // Adds bytes to the end of a file createSoundFile made: stored sounds are
    // written piece by piece as they inflate, never held whole.
    virtual bool appendFile(const std::string& path, const uint8_t* bytes, size_t length) = 0;
    // Where a hotspot's sound is: its file beside the movie (separate is true), or a
    // new temporary file holding the stored bytes. Empty when it has none.
    virtual std::string attachedSoundPath(const AttachedSound& sound, bool separate) = 0;
    // A message for the viewer, captioned with the product name, with an error icon.
    virtual void report(const char* text) = 0;
    // After a section: the editor's undo scratch file goes, and (newer forms) the
    // empty temporary files that earlier runs left.
    virtual void afterSection(bool sweepTemporaryFiles) = 0;
};

// A sound object's file is made only where no file is (a stored name may be that of
// any file in the temporary folder): when one of the stored name exists, these
// numbered names are tried in turn, "_000" to "_099" before the extension, and then
// a fresh one.
constexpr int kNumberedSoundNames = 100;
std::string numberedSoundName(const std::string& name, int k);

// Inflates a stored sound piece by piece into write, up to the length it claims; a
// claim the stored bytes cannot hold, or no length at all, is damage.
InflateResult inflateSound(const CompressedBlock& sound, const std::function<bool(const uint8_t*, size_t)>& write);

// Reads the section at the reader's position. start carries the list's values for
// the fields a form does not store.
ObjectSection readObjectSection(BufferedReader& in, ObjectSectionForm form, ObjectReadHost& host,
                                const ObjectSection& start = ObjectSection());

// Writes a section of the given form: the current one (Form5) for movies, the older
// ones for tests of the older readers. Stored pictures are written when cacheStored
// is set (an object without one gets an empty block); each object's fields must suit
// the form (kind 12 does not exist in the first).
std::string writeObjectSection(const ObjectSection& section, ObjectSectionForm form = ObjectSectionForm::Form5);

// The records of one object alone, as the section holds them.
std::string encodeCaptionRecord(const CaptionRecord& record, ObjectSectionForm form, uint32_t soundsSeparate);

}  // namespace quillet
