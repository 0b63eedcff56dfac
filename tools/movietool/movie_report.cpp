#include "tools/movietool/movie_report.h"

#include "common/json_writer.h"
#include "player/container/movie_container.h"
#include "player/container/movie_document.h"

namespace quillet {
namespace {

// Finds the movie: through the trailer first, then as a bare movie at offset 0.
bool locate(MovieFile& file, MovieLocation& location, MovieHeader& header, bool& appended) {
    if (readMovieLocation(file, location)) {
        header = readMovieHeader(file);
        if (header.signatureAccepted()) {
            appended = true;
            return true;
        }
    }
    appended = false;
    location = MovieLocation{0, file.size()};
    if (!file.seek(0)) return false;
    header = readMovieHeader(file);
    return header.signatureAccepted();
}

void writeHeader(JsonWriter& json, const MovieHeader& header) {
    json.value("signature", header.signatureText());
    json.value("createdBy", header.createdByText());
    json.value("date", header.dateText());
    json.value("description", header.descriptionText());
    json.value("versionMajor", header.versionMajor);
    json.value("versionMinor", header.versionMinor);
}

}  // namespace

bool describeMovie(MovieFile& file, std::string& report, std::string& error) {
    MovieLocation location;
    MovieHeader header;
    bool appended = false;
    if (!locate(file, location, header, appended)) {
        error = kDamagedMovieText;
        return false;
    }

    const double version = header.version();
    JsonWriter json;
    json.beginObject();
    json.value("appended", appended);
    json.value("movieOffset", location.movieOffset);
    json.value("movieBytes", location.movieEnd - location.movieOffset);
    writeHeader(json, header);
    json.value("version", version);
    json.value("versionText",
               std::to_string(header.versionMajor) + "." + std::to_string(header.versionMinor));
    json.value("newerThanPlayer", version > ProgramVersion());

    json.beginObject("headerCopy");
    bool present = version >= kFirstVersionWithHeaderCopy;
    json.value("present", present);
    if (present) {
        MovieHeader copy = header;
        HeaderCopyResult result = readHeaderCopy(file, location.movieEnd, copy);
        json.value("storedLength", result.storedLength);
        json.value("fits", result.fits);
        json.value("inflated", result.inflated);
        json.value("matchesHeader", result.inflated && copy == header);
        if (result.inflated && !(copy == header)) {
            json.beginObject("fields");
            writeHeader(json, copy);
            json.endObject();
        }
    }
    json.endObject();
    json.endObject();
    report = json.text();
    return true;
}

}  // namespace quillet
