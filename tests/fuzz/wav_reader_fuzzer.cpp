// Fuzz target: the WAV reader over arbitrary bytes, reading the data in uneven pieces
// and seeking about in it, with the reader's arithmetic checked as it goes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "player/audio/wav_file.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillet;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    WaveReader reader([&bytes](const std::string&) { return std::make_unique<MemoryMovieFile>(bytes); });
    if (!reader.open("sound.wav")) {
        check(reader.lastError() != WaveReader::kNoError);
        return 0;
    }
    const uint64_t perSecond = uint64_t{reader.bitsPerSample() / 8u} * reader.channels() * reader.samplesPerSecond();
    check(perSecond != 0 && perSecond == reader.bytesPerSecond());
    check(reader.durationMs() == std::min<uint64_t>(uint64_t{reader.dataBytes()} * 1000 / perSecond, UINT32_MAX));
    check(reader.dataBytes() <= size);

    uint8_t buffer[777];
    for (uint32_t seek : {0u, 1u, reader.dataBytes() / 2, reader.dataBytes() + 1, UINT32_MAX, 0u}) {
        check(reader.seekData(seek));
        check(reader.position() % 2 == 0 || reader.position() == reader.dataBytes());
        for (uint32_t piece = 1; reader.remaining() > 0; piece = piece * 3 % sizeof buffer + 1) {
            const uint32_t before = reader.remaining();
            const uint32_t got = reader.read(buffer, piece);
            check(got == std::min(piece, before));
            check(reader.position() + reader.remaining() == reader.dataBytes());
        }
    }
    return 0;
}
