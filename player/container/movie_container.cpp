#include "player/container/movie_container.h"

#include "common/byte_reader.h"
#include "player/container/compressed_block.h"

namespace quillet {

bool readMovieLocation(MovieFile& file, MovieLocation& location) {
    location = MovieLocation();
    if (file.size() < kTrailerSize) return false;
    uint64_t trailerStart = file.size() - kTrailerSize;
    uint8_t trailer[kTrailerSize] = {};
    if (!file.seek(trailerStart) || file.readBlock(trailer, kTrailerSize) != kTrailerSize)
        return false;
    ByteReader reader(trailer, sizeof trailer);
    location.movieOffset = reader.u32();
    location.movieEnd = trailerStart;
    // The tag bytes are not tested: a trailer with other tag bytes still counts.
    return location.movieOffset <= trailerStart && file.seek(location.movieOffset);
}

MovieHeader readMovieHeader(MovieFile& file) {
    uint8_t bytes[kMovieHeaderSize] = {};
    file.readBlock(bytes, sizeof bytes);
    return MovieHeader::decode(bytes);
}

HeaderCopyResult readHeaderCopy(MovieFile& file, uint64_t movieEnd, MovieHeader& header) {
    HeaderCopyResult result;
    uint8_t lengthBytes[4] = {};
    file.readBlock(lengthBytes, sizeof lengthBytes);
    result.storedLength = ByteReader(lengthBytes, sizeof lengthBytes).u32();

    uint64_t at = file.position();
    uint64_t available = at < movieEnd ? movieEnd - at : 0;
    if (result.storedLength > available) {
        file.seek(file.size() > movieEnd ? movieEnd : file.size());
        return result;
    }
    result.fits = true;

    DataBlock stored(result.storedLength);
    size_t got = file.readBlock(stored.data(), stored.size());
    uint8_t copy[kMovieHeaderSize] = {};
    if (got == stored.size() &&
        UncompressBlock(stored.data(), stored.size(), copy, sizeof copy)) {
        header = MovieHeader::decode(copy);
        result.inflated = true;
    }
    return result;
}

}  // namespace quillet
