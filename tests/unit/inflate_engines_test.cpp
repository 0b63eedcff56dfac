// The whole-buffer decompressor and zlib must give the same answer for every block,
// so that every movie plays as it did with zlib alone. Checked on made streams and on
// every zlib stream found in the fuzz seeds, each also with single bytes changed.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "player/container/compressed_block.h"

namespace quillet {
namespace {

using Bytes = std::vector<uint8_t>;

// What zlib's streaming inflate makes of the bytes at data: how much comes out (up to
// a cap), whether the stream ends, and how many bytes it took.
struct Reference {
    size_t unpacked = 0;
    size_t packed = 0;
    bool finished = false;
};

Reference streamingReference(const uint8_t* data, size_t size) {
    constexpr size_t kCap = size_t{64} << 20;
    Reference reference;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return reference;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    Bytes piece(1 << 16);
    for (;;) {
        stream.next_out = piece.data();
        stream.avail_out = static_cast<uInt>(piece.size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) reference.finished = true;
        if (status != Z_OK || stream.total_out > kCap) break;
        if (stream.avail_out != 0 && stream.avail_in == 0) break;
    }
    reference.unpacked = stream.total_out;
    reference.packed = stream.total_in;
    inflateEnd(&stream);
    return reference;
}

// zlib's reason for refusing a stream, in its own words.
std::string zlibRefusal(const uint8_t* data, size_t size, size_t capacity) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return "no stream";
    Bytes target(capacity + 1);
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = target.data();
    stream.avail_out = static_cast<uInt>(capacity);
    inflate(&stream, Z_FINISH);
    const std::string reason = stream.msg ? stream.msg : "";
    inflateEnd(&stream);
    return reason;
}

// Both engines and the block operation, each into a target pre-filled with 0x55.
// They agree on every stream but one kind: the fixed code's two reserved length
// symbols, which zlib refuses and the whole-buffer decompressor reads as the longest
// match. Such a stream is taken only when its Adler-32 check holds for what came out.
void expectSameAnswer(const uint8_t* data, size_t size, size_t capacity, const std::string& where) {
    Bytes byZlib(capacity, 0x55), byLibdeflate(capacity, 0x55), byBlock(capacity, 0x55);
    const bool zlibTakes = uncompressWithZlib(data, size, byZlib.data(), capacity);
    const bool libdeflateTakes = uncompressWithLibdeflate(data, size, byLibdeflate.data(), capacity);
    const bool blockTakes = UncompressBlock(data, size, byBlock.data(), capacity);
    ASSERT_EQ(blockTakes, zlibTakes || libdeflateTakes) << where << ", room " << capacity;
    if (zlibTakes) {
        ASSERT_TRUE(libdeflateTakes) << where << ", room " << capacity;
        EXPECT_TRUE(byLibdeflate == byZlib) << where << ", room " << capacity;
    } else if (libdeflateTakes) {
        ASSERT_EQ(zlibRefusal(data, size, capacity), "invalid literal/length code") << where << ", room " << capacity;
    }
    if (blockTakes) {
        EXPECT_TRUE(byBlock == byLibdeflate) << where << ", room " << capacity;
    }
}

// The stream at data at its exact size, one byte short and with room to spare; then
// with single bytes changed across it (the header, the deflate data, the check value).
void checkStream(const uint8_t* data, size_t size, const std::string& where) {
    const Reference reference = streamingReference(data, size);
    if (!reference.finished) {
        expectSameAnswer(data, size, reference.unpacked + 13, where + " (not a whole stream)");
        return;
    }
    expectSameAnswer(data, size, reference.unpacked, where);
    if (reference.unpacked > 0) expectSameAnswer(data, size, reference.unpacked - 1, where);
    expectSameAnswer(data, size, reference.unpacked + 13, where);

    Bytes changed(data, data + reference.packed);
    const size_t last = reference.packed - 1;
    for (size_t at : {size_t{0}, size_t{1}, size_t{2}, last / 4, last / 2, last * 3 / 4, last - 4, last}) {
        if (at >= changed.size()) continue;
        for (uint8_t flip : {uint8_t{0x01}, uint8_t{0xFF}}) {
            changed[at] ^= flip;
            std::ostringstream what;
            what << where << ", byte " << at << " ^ " << int{flip};
            expectSameAnswer(changed.data(), changed.size(), reference.unpacked, what.str());
            changed[at] ^= flip;
        }
    }
}

bool looksLikeZlibHeader(const uint8_t* at) {
    return (at[0] & 0x0F) == 8 && (at[0] >> 4) <= 7 && ((at[0] << 8) | at[1]) % 31 == 0;
}

Bytes compressed(const Bytes& data, int level) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    Bytes out(length);
    EXPECT_EQ(compress2(out.data(), &length, data.data(), static_cast<uLong>(data.size()), level), Z_OK);
    out.resize(length);
    return out;
}

TEST(InflateEngines, AgreeOnMadeStreams) {
    std::mt19937 random(11);
    Bytes noise(70000), letters(200000), screen(64 * 1024 * 4);
    for (auto& b : noise) b = static_cast<uint8_t>(random());
    for (auto& b : letters) b = static_cast<uint8_t>('a' + random() % 8);
    for (size_t i = 0; i < screen.size(); i += 4) screen[i] = (i / 4) % 997 == 0 ? 0 : 0xA5;
    struct Case {
        const char* what;
        Bytes stream;
    };
    std::vector<Case> cases = {
        {"empty", compressed({}, 6)},
        {"stored blocks", compressed(noise, 0)},
        {"noise", compressed(noise, 9)},
        {"letters, fastest", compressed(letters, 1)},
        {"letters, best", compressed(letters, 9)},
        {"screen rows", compressed(screen, 6)},
    };
    Bytes trailing = cases.back().stream;
    trailing.insert(trailing.end(), {1, 2, 3, 4, 5});
    cases.push_back({"bytes after the check value", trailing});
    Bytes dictionary = cases[3].stream;
    dictionary[1] = static_cast<uint8_t>(dictionary[1] | 0x20);
    dictionary[1] = static_cast<uint8_t>(dictionary[1] + (31 - ((dictionary[0] << 8) | dictionary[1]) % 31) % 31);
    cases.push_back({"preset dictionary asked for", dictionary});
    Bytes wideWindow = cases[3].stream;
    wideWindow[0] = 0x88;
    wideWindow[1] = static_cast<uint8_t>((wideWindow[1] & 0xE0));
    wideWindow[1] = static_cast<uint8_t>(wideWindow[1] + (31 - ((wideWindow[0] << 8) | wideWindow[1]) % 31) % 31);
    cases.push_back({"window past 32 KiB", wideWindow});
    cases.push_back({"cut off", Bytes(cases[4].stream.begin(), cases[4].stream.begin() + cases[4].stream.size() / 2)});
    for (const Case& c : cases) checkStream(c.stream.data(), c.stream.size(), c.what);
}

TEST(InflateEngines, AgreeOnEveryStreamInTheFuzzSeeds) {
    const char* folder = std::getenv("QUILLET_FUZZ_SEEDS");
    if (!folder) GTEST_SKIP() << "ctest's inflate_engines runs this on the seeds it writes first";
    DIR* listing = opendir(folder);
    ASSERT_NE(listing, nullptr) << folder;
    size_t files = 0, streams = 0;
    while (dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::ifstream in(std::string(folder) + "/" + name, std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++files;
        // Every offset that could begin a zlib stream; most are not one, and both
        // engines must refuse those alike.
        for (size_t at = 0; at + 2 <= bytes.size(); ++at) {
            if (!looksLikeZlibHeader(&bytes[at])) continue;
            if (streamingReference(&bytes[at], bytes.size() - at).finished) ++streams;
            checkStream(&bytes[at], bytes.size() - at, name + " at " + std::to_string(at));
            if (HasFatalFailure()) break;
        }
    }
    closedir(listing);
    EXPECT_GT(files, 30u);
    EXPECT_GT(streams, 40u) << "the seeds hold bands, pictures and sounds";
}

}  // namespace
}  // namespace quillet
