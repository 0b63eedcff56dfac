#include "player/container/movie_container.h"

#include <gtest/gtest.h>

#include "common/byte_reader.h"
#include "tools/moviewriter/movie_writer.h"

namespace quillet {
namespace {

const std::string kPlayer = "MZ" + std::string(998, '\x90');

std::string withTrailer(const std::string& body, uint32_t offset, char tag = 'z') {
    std::string bytes = body;
    ByteWriter(bytes).u32(offset);
    return bytes + std::string(16, tag);
}

TEST(MovieLocation, FoundThroughTheTrailer) {
    MovieWriter writer;
    std::string movie = writer.build();
    MemoryMovieFile file(packMovie(kPlayer, movie));
    MovieLocation location;
    ASSERT_TRUE(readMovieLocation(file, location));
    EXPECT_EQ(location.movieOffset, kPlayer.size());
    EXPECT_EQ(location.movieEnd - location.movieOffset, movie.size());
    EXPECT_EQ(file.position(), kPlayer.size());
    EXPECT_TRUE(readMovieHeader(file).signatureAccepted());
}

TEST(MovieLocation, TagBytesAreNotTested) {
    MovieWriter writer;
    MemoryMovieFile file(withTrailer(kPlayer + writer.build(), kPlayer.size(), 'q'));
    MovieLocation location;
    ASSERT_TRUE(readMovieLocation(file, location));
    EXPECT_TRUE(readMovieHeader(file).signatureAccepted());
}

TEST(MovieLocation, RefusesFilesWithoutAUsableTrailer) {
    MovieLocation location;
    MemoryMovieFile tiny(std::string(19, 'z'));
    EXPECT_FALSE(readMovieLocation(tiny, location));

    MemoryMovieFile beyond(withTrailer(kPlayer, 0xFFFFFFF0u));
    EXPECT_FALSE(readMovieLocation(beyond, location));

    // An offset at the trailer itself is an empty movie area: located, but the
    // header read there finds no signature.
    MemoryMovieFile empty(withTrailer(kPlayer, kPlayer.size()));
    ASSERT_TRUE(readMovieLocation(empty, location));
    EXPECT_FALSE(readMovieHeader(empty).signatureAccepted());
}

struct CopyFixture {
    MemoryMovieFile file;
    MovieLocation location;
    MovieHeader header;
    explicit CopyFixture(const std::string& movie) : file(packMovie(kPlayer, movie)) {
        readMovieLocation(file, location);
        header = readMovieHeader(file);
    }
};

TEST(HeaderCopy, ACopyThatDiffersWins) {
    MovieWriter writer;
    MovieHeader copy = writer.header();
    MovieHeader::setText(copy.description, "from the copy");
    copy.versionMinor = 1;
    writer.setHeaderCopy(copy);
    CopyFixture fixture(writer.build());

    HeaderCopyResult result = readHeaderCopy(fixture.file, fixture.location.movieEnd, fixture.header);
    EXPECT_TRUE(result.inflated);
    EXPECT_EQ(fixture.header.descriptionText(), "from the copy");
    EXPECT_EQ(fixture.header.versionMinor, 1);
}

TEST(HeaderCopy, DamagedCopyLeavesTheHeader) {
    MovieWriter writer;
    MovieHeader::setText(writer.header().description, "plain");
    writer.setRawHeaderCopy(std::string(40, '\x11'));
    CopyFixture fixture(writer.build());
    uint64_t copyStart = fixture.file.position();

    HeaderCopyResult result = readHeaderCopy(fixture.file, fixture.location.movieEnd, fixture.header);
    EXPECT_TRUE(result.fits);
    EXPECT_FALSE(result.inflated);
    EXPECT_EQ(fixture.header.descriptionText(), "plain");
    EXPECT_EQ(fixture.file.position(), copyStart + 4 + 40);  // the next section follows
}

TEST(HeaderCopy, LengthBeyondTheMovieAllocatesNothingAndEndsTheMovie) {
    MovieWriter writer;
    std::string movie = writer.build();
    // Overwrite the stored length with one far beyond the file.
    std::string stored;
    ByteWriter(stored).u32(0x7FFFFFF0u);
    movie.replace(kMovieHeaderSize, 4, stored);
    CopyFixture fixture(movie);
    MovieHeader before = fixture.header;

    HeaderCopyResult result = readHeaderCopy(fixture.file, fixture.location.movieEnd, fixture.header);
    EXPECT_FALSE(result.fits);
    EXPECT_EQ(result.storedLength, 0x7FFFFFF0u);
    EXPECT_EQ(fixture.header, before);
    EXPECT_EQ(fixture.file.position(), fixture.location.movieEnd);
}

}  // namespace
}  // namespace quillet
