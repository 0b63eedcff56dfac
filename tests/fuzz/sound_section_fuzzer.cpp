// Fuzz target: the sound-section reader over arbitrary bytes, with no device and
// every file it would write counted and dropped.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "player/audio/sound_tracks.h"
#include "tests/fuzz/counting_hosts.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryMovieFile file(std::string(reinterpret_cast<const char*>(data), size));
    BufferedReader in(file, file.size());
    fuzzing::NoSoundDevice device;
    fuzzing::CountingSoundHost host;
    SoundTrackSet tracks(device, host);
    tracks.load(in, "C:\\movies\\fuzz.exe");
    // Decoded speech is never more than the frames could give.
    if (host.written > uint64_t{size} * 10 + (1 << 20)) __builtin_trap();
    return 0;
}
