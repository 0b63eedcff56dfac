#include "tools/orvanetool/project_plan.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "launcher/archive/zip_paths.h"
#include "launcher/interface/component_kinds.h"
#include "launcher/project/record_writer.h"
#include "launcher/viewer/security_rules.h"

namespace quillet::orvanetool {

namespace {

std::string lowerExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return std::string();
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

bool oneOf(const std::string& value, std::initializer_list<const char*> choices) {
    return std::any_of(choices.begin(), choices.end(), [&](const char* choice) { return value == choice; });
}

}  // namespace

std::string planProblem(const ProjectPlan& plan) {
    const std::pair<const char*, const std::string*> texts[] = {
        {"title", &plan.title}, {"company", &plan.company}, {"required file", &plan.requiredFile}};
    for (const auto& [what, text] : texts)
        if (zip::hasControlCharacter(*text)) return std::string("the ") + what + " may hold no control character";
    if (plan.title.find_first_of(",\"") != std::string::npos || plan.company.find('"') != std::string::npos)
        return "the title may hold no comma or quote, the company no quote";
    // The folder only stands for the disc's: the security component's answer depends on the name alone.
    if (!plan.requiredFile.empty() && viewer::requiredFilePath("D:", plan.requiredFile).empty())
        return "the required file " + plan.requiredFile + " is not a name on the disc that the launcher accepts";
    // A project named after a device (Aux, Nul, COM1 ...) gets a folder the launcher refuses.
    if (!plan.workingPath.empty() && viewer::workingFolderUnder("C:", plan.workingPath).empty())
        return "the working folder " + plan.workingPath + " is not one the launcher accepts";
    return std::string();
}

std::string describeProject(const ProjectPlan& plan) {
    project::RecordWriter out;
    out.integer(1);
    out.integer(plan.version.major);
    out.integer(plan.version.minor);
    out.integer(plan.version.build);
    out.text(plan.workingPath);
    if (plan.version.hasHeaderNote()) out.text(plan.company);

    out.text(plan.title);
    out.integer(plan.options);
    out.integer(plan.windowWidth);
    out.integer(plan.windowHeight);

    out.integer(plan.expiryDate);
    out.text(plan.requiredFile);
    out.integer(plan.recordFiles ? 1 : 0);

    out.integer(static_cast<int32_t>(plan.items.size()));
    for (const ContentItem& item : plan.items) {
        out.integer(item.kind);
        out.text(item.caption);
        out.text(item.item);
    }
    return out.bytes();
}

std::string projectFolderName(const std::string& name) {
    std::string folder;
    for (char c : name) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '-' || c == '_' || c == '.';
        folder += plain && static_cast<unsigned char>(c) < 0x80 ? c : '_';
    }
    // Windows drops trailing dots and blanks; leading ones are merely confusing.
    while (!folder.empty() && (folder.back() == '.' || folder.back() == ' ')) folder.pop_back();
    while (!folder.empty() && (folder.front() == '.' || folder.front() == ' ')) folder.erase(0, 1);
    if (folder.size() > 64) folder.resize(64);
    return folder.empty() ? "Project" : folder;
}

bool isPictureName(const std::string& name) {
    return oneOf(lowerExtension(name), {"bmp", "jpg", "jpeg", "png", "gif"});
}

int32_t kindForItem(const std::string& name, bool isFolder, bool folderHoldsOnlyPictures) {
    if (isFolder) return folderHoldsOnlyPictures ? 6 : 1;
    const std::string extension = lowerExtension(name);
    if (oneOf(extension, {"htm", "html"})) return 2;
    if (extension == "zip") return 3;
    // Programs on a disc are mostly self-playing movies.
    if (oneOf(extension, {"avi", "mpg", "mpeg", "mp4", "wmv", "exe"})) return 4;
    if (extension == "swf") return 5;
    if (oneOf(extension, {"mp3", "wav", "mid", "midi", "ogg"})) return 8;
    if (isPictureName(name)) return 9;
    return 0;
}

bool parseVersion(const std::string& text, project::ProjectVersion& version) {
    int major = 0, minor = 0, build = 0, consumed = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d%n", &major, &minor, &build, &consumed) != 3 ||
        static_cast<size_t>(consumed) != text.size() || major < 0 || minor < 0 || build < 0)
        return false;
    version = project::ProjectVersion{major, minor, build};
    return true;
}

bool parseDate(const std::string& text, int32_t& date) {
    int year = 0, month = 0, day = 0, consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &consumed) != 3 ||
        static_cast<size_t>(consumed) != text.size() || year < 1980 || month < 1 || month > 12 || day < 1 ||
        day > 31)
        return false;
    date = year * 10000 + month * 100 + day;
    return true;
}

}  // namespace quillet::orvanetool
