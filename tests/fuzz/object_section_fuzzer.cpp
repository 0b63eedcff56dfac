// Fuzz target: the object-section readers of all five forms over arbitrary bytes.
// The first byte picks the form; reading must stop at the file's end whatever the
// counts and lengths say, and what it read must write back out.

#include <cstddef>
#include <cstdint>
#include <string>

#include "player/objects/arrow_geometry.h"
#include "player/objects/object_section.h"
#include "tests/fuzz/counting_hosts.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const auto form = static_cast<ObjectSectionForm>(1 + data[0] % 5);
    MemoryMovieFile file(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    BufferedReader in(file, file.size());
    fuzzing::CountingObjectHost host;
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
