#pragma once
// Writes a content folder as the project archive: a ZIP archive with traditional
// encryption under the launcher's password, written with minizip.

#include <stdexcept>
#include <string>

namespace quillet::orvanetool {

struct ArchiveSummary {
    int files = 0;
    int folders = 0;
};

// The first name below folder, as it would be stored, that the launcher's security
// component refuses to extract; empty when there is none.
std::string refusedContentName(const std::string& folder);

// Every file and folder below folder, in name order, stored under its path relative
// to folder. Throws std::runtime_error on failure, and before anything is written
// when a name would be refused.
ArchiveSummary writeProjectArchive(const std::string& folder, const std::string& archivePath,
                                   const std::string& password);

}  // namespace quillet::orvanetool
