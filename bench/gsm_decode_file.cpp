// Decodes a file of raw 33-byte GSM frames into a 16-bit PCM WAV file with the
// player's decoder, as the player decodes a stored speech track.

#include <cstdio>
#include <string>
#include <vector>

#include "player/audio/gsm_speech.h"
#include "player/audio/wav_file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: gsm_decode_file FRAMES.gsm OUT.wav\n", stderr);
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!in || !out) return 1;
    std::fseek(in, 0, SEEK_END);
    long length = std::ftell(in);
    std::rewind(in);
    uint32_t frames = static_cast<uint32_t>(length) / quillet::kGsmFrameSize;
    uint32_t pcmBytes = frames * static_cast<uint32_t>(quillet::kGsmFrameBytes);
    std::string header = quillet::pcmWavHeader(1, 8000, 16, pcmBytes);
    std::fwrite(header.data(), 1, header.size(), out);
    quillet::GsmDecodeResult result = quillet::decodeGsmTrack(
        static_cast<uint32_t>(length), pcmBytes,
        [&](uint8_t* frame) { return std::fread(frame, 1, quillet::kGsmFrameSize, in); },
        [&](const void* data, size_t n) { return std::fwrite(data, 1, n, out) == n; });
    std::fclose(in);
    return std::fclose(out) == 0 && result.framesDecoded == frames ? 0 : 1;
}
