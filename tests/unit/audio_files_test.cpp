// WAV files made by sox and GSM frames made by toast, read with the player's own
// readers and compared with what the independent tools say.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/byte_reader.h"
#include "player/audio/gsm_speech.h"
#include "player/audio/wav_file.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()); }

MovieFileOpener stdioOpener() {
    return [](const std::string& path) -> std::unique_ptr<MovieFile> { return StdioMovieFile::open(path); };
}

// Puts extra bytes into the "fmt " chunk of a canonical 44-byte-header WAV, or a
// chunk between the format and the data.
std::string withLongerFormat(const std::string& wav, size_t formatLength) {
    std::string out = wav;
    std::string extra(formatLength - 16, '\0');
    if (formatLength >= 18) extra[0] = static_cast<char>(formatLength - 18);  // cbSize
    out.insert(36, extra);
    std::string length;
    ByteWriter(length).u32(static_cast<uint32_t>(formatLength));
    out.replace(16, 4, length);
    std::string riff;
    ByteWriter(riff).u32(static_cast<uint32_t>(out.size() - 8));
    out.replace(4, 4, riff);
    return out;
}

std::string withChunksBeforeData(const std::string& wav, const std::string& chunks) {
    std::string out = wav;
    out.insert(36, chunks);
    std::string riff;
    ByteWriter(riff).u32(static_cast<uint32_t>(out.size() - 8));
    out.replace(4, 4, riff);
    return out;
}

std::string withChunkBeforeData(const std::string& wav, const std::string& id, const std::string& body) {
    std::string chunk = id;
    ByteWriter(chunk).u32(static_cast<uint32_t>(body.size()));
    chunk += body;
    if (body.size() % 2) chunk += '\0';
    return withChunksBeforeData(wav, chunk);
}

// A canonical header with the format record's fields at 22 (channels) to 34 (bits)
// replaced: channels, rate, stored byte rate, block alignment, bits.
std::string withFormat(const std::string& wav, uint16_t channels, uint32_t rate, uint32_t byteRate,
                       uint16_t blockAlign, uint16_t bits) {
    std::string fields;
    ByteWriter out(fields);
    out.u16(channels);
    out.u32(rate);
    out.u32(byteRate);
    out.u16(blockAlign);
    out.u16(bits);
    return std::string(wav).replace(22, fields.size(), fields);
}

// Opens files from memory and keeps the last one, to count its reads.
MovieFileOpener memoryOpener(const std::string& bytes, MemoryMovieFile*& opened) {
    return [&bytes, &opened](const std::string&) -> std::unique_ptr<MovieFile> {
        auto file = std::make_unique<MemoryMovieFile>(bytes);
        opened = file.get();
        return file;
    };
}

class AudioFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("audio_files_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(AudioFilesTest, SoxFilesOpenWithTheRightFields) {
    struct Case {
        const char* name;
        const char* options;
        uint16_t channels, bits;
        uint32_t rate;
    } cases[] = {
        {"mono8.wav", "-r 11025 -b 8 -c 1 -e unsigned", 1, 8, 11025},
        {"stereo8.wav", "-r 22050 -b 8 -c 2 -e unsigned", 2, 8, 22050},
        {"mono16.wav", "-r 22050 -b 16 -c 1 -e signed", 1, 16, 22050},
        {"stereo16.wav", "-r 44100 -b 16 -c 2 -e signed", 2, 16, 44100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path path = root_ / c.name;
        ASSERT_EQ(run(std::string("sox -n ") + c.options + " " + path.string() + " synth 0.5 sine 440"), 0);
        WaveReader reader(stdioOpener());
        ASSERT_TRUE(reader.open(path.string())) << reader.lastError();
        EXPECT_EQ(reader.channels(), c.channels);
        EXPECT_EQ(reader.bitsPerSample(), c.bits);
        EXPECT_EQ(reader.samplesPerSecond(), c.rate);
        uint32_t bytesPerSecond = c.channels * c.bits / 8 * c.rate;
        EXPECT_EQ(reader.bytesPerSecond(), bytesPerSecond);
        EXPECT_NEAR(reader.dataBytes(), bytesPerSecond / 2, 2);
        EXPECT_EQ(reader.durationMs(), uint64_t{reader.dataBytes()} * 1000 / bytesPerSecond);
        EXPECT_EQ(reader.silenceByte(), c.bits == 8 ? 0x80 : 0);

        // The data is what sox gives as raw samples.
        fs::path raw = root_ / (std::string(c.name) + ".raw");
        ASSERT_EQ(run("sox " + path.string() + " -t raw " + raw.string()), 0);
        std::string samples(reader.dataBytes(), '\0');
        EXPECT_EQ(reader.read(&samples[0], reader.dataBytes()), reader.dataBytes());
        EXPECT_EQ(samples, readAll(raw));
        EXPECT_EQ(reader.read(&samples[0], 10), 0u) << "nothing remains";
    }
}

TEST_F(AudioFilesTest, ExtendedFormatsAndChunksBetween) {
    fs::path plain = root_ / "plain.wav";
    ASSERT_EQ(run("sox -n -r 8000 -b 16 -c 1 -e signed " + plain.string() + " synth 0.25 sine 500"), 0);
    std::string wav = readAll(plain);
    ASSERT_EQ(wav.compare(36, 4, "data"), 0) << "sox wrote a 44-byte header";
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"format of 18 bytes", withLongerFormat(wav, 18)},
        {"format of 40 bytes", withLongerFormat(wav, 40)},
        {"LIST chunk", withChunkBeforeData(wav, "LIST", "INFOISFT\x05\0\0\0sox!")},
        {"odd chunk", withChunkBeforeData(wav, "junk", "abc")},
        {"data before format", wav.substr(0, 12) + wav.substr(36) + wav.substr(12, 24)},
        // The rates are computed from channels, bits and samples, not taken as stored.
        {"stored byte rate not the computed one", withFormat(wav, 1, 8000, 8000, 2, 16)},
        {"stored block alignment not the computed one", withFormat(wav, 1, 8000, 16000, 4, 16)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeAll(root_ / "case.wav", c.bytes);
        WaveReader reader(stdioOpener());
        ASSERT_TRUE(reader.open((root_ / "case.wav").string())) << reader.lastError();
        EXPECT_EQ(reader.dataBytes(), 4000u);
        EXPECT_EQ(reader.durationMs(), 250u);
        std::string samples(4000, '\0');
        EXPECT_EQ(reader.read(&samples[0], 4000), 4000u);
        EXPECT_EQ(samples, wav.substr(44));
    }
}

TEST_F(AudioFilesTest, RefusedFilesAndTheirErrors) {
    fs::path plain = root_ / "plain.wav";
    ASSERT_EQ(run("sox -n -r 8000 -b 16 -c 1 -e signed " + plain.string() + " synth 0.1 sine 500"), 0);
    std::string wav = readAll(plain);
    std::string extensible = withLongerFormat(wav, 40);
    extensible[20] = static_cast<char>(0xFE);
    extensible[21] = static_cast<char>(0xFF);
    std::string fourBits = wav;
    fourBits[34] = 4;
    std::string noData = wav.substr(0, 36);
    struct Case {
        const char* what;
        std::string bytes;
        uint32_t error;
    } cases[] = {
        {"not RIFF", "RIFX" + wav.substr(4), 272},
        {"not WAVE", wav.substr(0, 8) + "AVI " + wav.substr(12), 272},
        {"not PCM", extensible, 261},
        {"4 bits", fourBits, 261},
        {"short format", wav.substr(0, 30), 261},
        {"no data chunk", noData, 261},
        {"empty", "", 272},
        // Rates that no device plays; the first wraps in 32 bits to the value it stores.
        {"byte rate past 32 bits", withFormat(wav, 2, 0x40000001, 4, 4, 16), 261},
        {"block alignment past 16 bits", withFormat(wav, 0xFFFF, 8000, 0, 0, 32), 261},
    };
    for (const Case& c : cases) {
        writeAll(root_ / "bad.wav", c.bytes);
        WaveReader reader(stdioOpener());
        EXPECT_FALSE(reader.open((root_ / "bad.wav").string())) << c.what;
        EXPECT_EQ(reader.lastError(), c.error) << c.what;
    }
    WaveReader reader(stdioOpener());
    EXPECT_FALSE(reader.open((root_ / "missing.wav").string()));
    EXPECT_EQ(reader.lastError(), 259u);

    // A data chunk that claims more than the file holds is read as far as it goes.
    std::string cut = wav.substr(0, 44 + 100);
    writeAll(root_ / "cut.wav", cut);
    ASSERT_TRUE(reader.open((root_ / "cut.wav").string()));
    EXPECT_EQ(reader.dataBytes(), 100u);
}

TEST_F(AudioFilesTest, SeekRoundsDownToEven) {
    std::string wav = pcmWavHeader(1, 8000, 16, 2000);
    for (int i = 0; i < 2000; ++i) wav += static_cast<char>(i % 251);
    writeAll(root_ / "seek.wav", wav);
    WaveReader reader(stdioOpener());
    ASSERT_TRUE(reader.open((root_ / "seek.wav").string()));
    ASSERT_TRUE(reader.seekData(1001));
    EXPECT_EQ(reader.position(), 1000u);
    EXPECT_EQ(reader.remaining(), 1000u);
    char byte = 0;
    EXPECT_EQ(reader.read(&byte, 1), 1u);
    EXPECT_EQ(byte, static_cast<char>(1000 % 251));
    ASSERT_TRUE(reader.seekData(5000));
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(WaveReaderLimits, ADurationPast32BitsIsClamped) {
    // One byte a second: 5 000 000 bytes last 5 000 000 000 ms.
    const std::string wav = pcmWavHeader(1, 1, 8, 5000000) + std::string(5000000, '\x80');
    MemoryMovieFile* file = nullptr;
    WaveReader reader(memoryOpener(wav, file));
    ASSERT_TRUE(reader.open("memory")) << reader.lastError();
    EXPECT_EQ(reader.bytesPerSecond(), 1u);
    EXPECT_EQ(reader.durationMs(), UINT32_MAX);
}

TEST(WaveReaderLimits, TheDataChunkIsFoundOnceNotOnEverySeek) {
    constexpr int kEmptyChunks = 100000;
    std::string junk;
    for (int i = 0; i < kEmptyChunks; ++i) junk.append("junk\0\0\0\0", 8);
    std::string samples(1000, '\0');
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<char>(i % 251);
    const std::string wav = withChunksBeforeData(pcmWavHeader(1, 8000, 8, 1000) + samples, junk);
    MemoryMovieFile* file = nullptr;
    WaveReader reader(memoryOpener(wav, file));
    ASSERT_TRUE(reader.open("memory")) << reader.lastError();
    // Opening reads every chunk header once, and a few reads more.
    const size_t readsToOpen = file->piecesRead();
    EXPECT_LE(readsToOpen, kEmptyChunks + 10u);
    // A looping track seeks back to the start at the end of every round.
    for (int round = 0; round < 10; ++round) {
        ASSERT_TRUE(reader.seekData(round * 100));
        char byte = 0;
        ASSERT_EQ(reader.read(&byte, 1), 1u);
        EXPECT_EQ(byte, samples[round * 100]);
    }
    EXPECT_EQ(file->piecesRead(), readsToOpen + 10) << "one read for each byte, none for chunks";
}

TEST(WavHeader, FieldsAtTheirOffsets) {
    std::string header = pcmWavHeader(1, 8000, 16, 2000);
    ASSERT_EQ(header.size(), kWavHeaderSize);
    ByteReader in(header.data(), header.size());
    EXPECT_EQ(header.substr(0, 4), "RIFF");
    in.skip(4);
    EXPECT_EQ(in.u32(), 2036u);
    EXPECT_EQ(header.substr(8, 8), "WAVEfmt ");
    in.skip(8);
    EXPECT_EQ(in.u32(), 16u);
    EXPECT_EQ(in.u16(), 1u);
    EXPECT_EQ(in.u16(), 1u);
    EXPECT_EQ(in.u32(), 8000u);
    EXPECT_EQ(in.u32(), 16000u);  // offset 28
    EXPECT_EQ(in.u16(), 2u);      // offset 32
    EXPECT_EQ(in.u16(), 16u);
    EXPECT_EQ(header.substr(36, 4), "data");
    in.skip(4);
    EXPECT_EQ(in.u32(), 2000u);

    // A speech track's data length near 4 GiB: the RIFF length says as much as it
    // can rather than wrapping to a few bytes.
    header = pcmWavHeader(2, 8000, 16, 0xFFFFFFF0u);
    EXPECT_EQ(ByteReader(header.data() + 4, 4).u32(), UINT32_MAX);
    EXPECT_EQ(ByteReader(header.data() + 40, 4).u32(), 0xFFFFFFF0u);
}

class GsmTest : public AudioFilesTest {
protected:
    // Decodes a frame file with the player's decoder.
    std::string decode(const std::string& frames, uint32_t length, uint32_t limit, GsmDecodeResult* result = nullptr) {
        size_t at = 0;
        std::string out;
        GsmDecodeResult r = decodeGsmTrack(
            length, limit,
            [&](uint8_t* frame) {
                size_t n = std::min(kGsmFrameSize, frames.size() - at);
                std::copy(frames.begin() + at, frames.begin() + at + n, frame);
                at += n;
                return n;
            },
            [&](const void* data, size_t n) {
                out.append(static_cast<const char*>(data), n);
                return true;
            });
        if (result) *result = r;
        return out;
    }
};

TEST_F(GsmTest, FramesFromToastDecodeAsSoxDecodesThem) {
    fs::path raw = root_ / "speech.raw", gsm = root_ / "speech.gsm", reference = root_ / "reference.raw";
    ASSERT_EQ(run("sox -n -r 8000 -b 16 -c 1 -e signed -t raw " + raw.string() +
                  " synth 3 sine 200-3000 sine 330 : synth 1 pinknoise"), 0);
    ASSERT_EQ(run("toast -l -c " + raw.string() + " > " + gsm.string()), 0);
    ASSERT_EQ(run("sox -t gsm -r 8000 -c 1 " + gsm.string() + " -t raw -e signed -b 16 " + reference.string()), 0);
    std::string frames = readAll(gsm);
    ASSERT_EQ(frames.size() % kGsmFrameSize, 0u);
    ASSERT_GT(frames.size(), 100u * kGsmFrameSize);

    std::string decoded = decode(frames, static_cast<uint32_t>(frames.size()), UINT32_MAX);
    EXPECT_EQ(decoded.size(), frames.size() / kGsmFrameSize * kGsmFrameBytes);
    EXPECT_TRUE(decoded == readAll(reference)) << "the samples differ from sox's decoding";
}

TEST_F(GsmTest, FrameCountsAndTheStoredLength) {
    fs::path raw = root_ / "short.raw", gsm = root_ / "short.gsm";
    ASSERT_EQ(run("sox -n -r 8000 -b 16 -c 1 -e signed -t raw " + raw.string() + " synth 0.1 sine 440"), 0);
    ASSERT_EQ(run("toast -l -c " + raw.string() + " > " + gsm.string()), 0);
    std::string frames = readAll(gsm);
    ASSERT_GE(frames.size(), 3 * kGsmFrameSize);

    GsmDecodeResult result;
    EXPECT_EQ(decode(frames, 66, UINT32_MAX, &result).size(), 640u);
    EXPECT_EQ(result.framesDecoded, 2u);
    EXPECT_EQ(decode(frames, 65, UINT32_MAX, &result).size(), 320u);
    EXPECT_EQ(result.framesDecoded, 1u);

    std::string full = decode(frames, 66, UINT32_MAX);
    std::string cut = decode(frames, 66, 300);
    EXPECT_EQ(cut, full.substr(0, 300)) << "the first 300 bytes of the first frame and nothing more";

    // Frames missing from the file end the track early.
    std::string two = frames.substr(0, 2 * kGsmFrameSize);
    EXPECT_EQ(decode(two, 5 * kGsmFrameSize, UINT32_MAX, &result).size(), 640u);
    EXPECT_TRUE(result.endedEarly);
}

}  // namespace
}  // namespace quillet
