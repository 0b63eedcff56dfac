#pragma once
// What a disc's project description says, and how the builder derives it from a
// folder of content: one content component per top-level item, its kind chosen by
// what the item is.

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/project/project_version.h"

namespace quillet::orvanetool {

struct ContentItem {
    int32_t kind = 0;
    std::string caption;
    // The item's name in the project's working folder.
    std::string item;
};

struct ProjectPlan {
    project::ProjectVersion version{3, 0, 4};
    std::string title;
    std::string company;
    // Under the user's temporary folder, named after the project.
    std::string workingPath;
    int32_t options = 1;  // bit 0: the project window shows each item's details
    int32_t windowWidth = 560;
    int32_t windowHeight = 420;
    int32_t expiryDate = 0;  // yyyymmdd; 0: never
    std::string requiredFile;
    bool recordFiles = true;
    std::vector<ContentItem> items;
};

// Why the launcher could not use the plan, in words for the maker; empty when it can.
// The texts hold no control character (title and company become lines of the
// AutoPlay file), the title no comma or quote and the company no quote (the start-up
// line splits at commas and drops quotes), and the required file is a name the
// security component accepts.
std::string planProblem(const ProjectPlan& plan);

// The bytes of orvane.dat. Throws std::invalid_argument for texts the format
// cannot hold.
std::string describeProject(const ProjectPlan& plan);

// A folder name made of the project's name: letters, digits, blanks, '-', '_' and
// '.'; others become '_'. Never empty, never "." or "..".
std::string projectFolderName(const std::string& name);

// The component kind for a top-level item.
int32_t kindForItem(const std::string& name, bool isFolder, bool folderHoldsOnlyPictures);
bool isPictureName(const std::string& name);

// "3.0.4" into a version; false for anything else.
bool parseVersion(const std::string& text, project::ProjectVersion& version);
// "2027-12-31" into 20271231; false for anything else.
bool parseDate(const std::string& text, int32_t& date);

}  // namespace quillet::orvanetool
