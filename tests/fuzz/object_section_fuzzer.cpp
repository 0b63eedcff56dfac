// Fuzz target: the object-section readers of all five forms over arbitrary bytes.
// The first byte picks the form; reading must stop at the file's end whatever the
// counts and lengths say, and what it read must write back out.

#include <cstddef>
#include <cstdint>
#include <string>

#include "player/objects/arrow_geometry.h"
#include "player/objects/object_section.h"

namespace {

using namespace quillet;

// Takes what a reader writes, in memory, as a player's temporary folder would.
class Host : public ObjectReadHost {
public:
    Size screen() const override { return {800, 600}; }
    std::string createSoundFile(const std::string& name) override { return name.empty() ? "qlt.tmp" : name; }
    bool writeFile(const std::string&, const std::vector<uint8_t>& bytes) override {
        written += bytes.size();
        return true;
    }
    std::string attachedSoundPath(const AttachedSound& sound, bool) override { return sound.name; }
    void report(const char*) override {}
    void afterSection(bool) override {}
    size_t written = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const auto form = static_cast<ObjectSectionForm>(1 + data[0] % 5);
    MemoryMovieFile file(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    BufferedReader in(file, file.size());
    Host host;
    const ObjectSection section = readObjectSection(in, form, host);
    volatile size_t sink = writeObjectSection(section, form).size() + host.written;
    // What drawing computes from the stored fields must hold for any of them.
    for (const CaptionRecord& record : section.objects) {
        const ArrowLayout layout = layOutArrow(record.arrow.start, record.arrow.end, record.header.lineWidth,
                                               record.arrow.arrowStyle);
        sink = sink + static_cast<size_t>(layout.lineEnd.x) + static_cast<size_t>(record.header.boundsRect.width());
    }
    (void)sink;
    return 0;
}
