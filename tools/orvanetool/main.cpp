// orvanetool: builds a disc folder for the launcher from a folder of content, and
// shows what a project description holds.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/help_request.h"
#include "common/json_writer.h"
#include "launcher/project/project_loader.h"
#include "launcher/project/project_secrets.h"
#include "launcher/project/record_reader.h"
#include "tools/orvanetool/project_archive.h"
#include "tools/orvanetool/project_plan.h"

namespace fs = std::filesystem;
using namespace quillet;
using namespace quillet::orvanetool;

namespace {

const char kUsage[] =
    "usage:\n"
    "  orvanetool make FOLDER DISC [--title T] [--company C] [--version 3.0.4] [--name FOLDER-NAME]\n"
    "                              [--expires YYYY-MM-DD] [--requires FILE] [--no-record] [--launcher DIR]\n"
    "  orvanetool dump orvane.dat\n";

constexpr char kLauncherProgram[] = "Orvane.exe";
constexpr char kViewerLibrary[] = "OrvaneV.dll";

struct MakeOptions {
    std::string folder, disc, launcherFolder;
    std::string name;
    ProjectPlan plan;
};

bool folderHoldsOnlyPictures(const fs::path& folder) {
    bool any = false;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_directory()) continue;
        if (!isPictureName(entry.path().filename().string())) return false;
        any = true;
    }
    return any;
}

std::vector<ContentItem> contentItems(const fs::path& folder) {
    std::vector<fs::path> paths;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<ContentItem> items;
    for (const fs::path& path : paths) {
        const std::string name = path.filename().string();
        const bool isFolder = fs::is_directory(path);
        ContentItem item;
        item.kind = kindForItem(name, isFolder, isFolder && folderHoldsOnlyPictures(path));
        item.caption = isFolder ? name : path.stem().string();
        item.item = name;
        items.push_back(item);
    }
    return items;
}

// The program's own folder, where the build puts the launcher beside the tool.
std::string ownFolder() {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string autoPlayText(const ProjectPlan& plan) {
    return "[autorun]\r\nopen=" + std::string(kLauncherProgram) + " \"1," + plan.title + "," + plan.company +
           "\"\r\nicon=" + kLauncherProgram + ",0\r\n";
}

int make(const MakeOptions& options) {
    ProjectPlan plan = options.plan;
    const std::string problem = planProblem(plan);
    if (!problem.empty()) {
        std::fprintf(stderr, "orvanetool: %s\n", problem.c_str());
        return 2;
    }
    if (!fs::is_directory(options.folder)) {
        std::fprintf(stderr, "orvanetool: %s is not a folder\n", options.folder.c_str());
        return 1;
    }
    const std::string refused = refusedContentName(options.folder);
    if (!refused.empty()) {
        std::fprintf(stderr, "orvanetool: the launcher would refuse to extract %s: rename it\n", refused.c_str());
        return 2;
    }
    const fs::path launcher = fs::path(options.launcherFolder) / kLauncherProgram;
    const fs::path library = fs::path(options.launcherFolder) / kViewerLibrary;
    if (!fs::is_regular_file(launcher) || !fs::is_regular_file(library)) {
        std::fprintf(stderr, "orvanetool: %s and %s are not in %s (see --launcher)\n", kLauncherProgram,
                     kViewerLibrary, options.launcherFolder.c_str());
        return 1;
    }
    plan.workingPath = "Orvane\\" + projectFolderName(options.name.empty() ? plan.title : options.name);
    plan.items = contentItems(options.folder);

    // Texts the description cannot hold fail here, before the disc folder is made.
    const std::string description = describeProject(plan);
    const fs::path disc(options.disc);
    fs::create_directories(disc);
    writeFile(disc / project::kDescriptionName, description);
    const ArchiveSummary summary =
        writeProjectArchive(options.folder, (disc / project::kArchiveName).string(), project::kArchivePassword);
    writeFile(disc / "autorun.inf", autoPlayText(plan));
    fs::copy_file(launcher, disc / kLauncherProgram, fs::copy_options::overwrite_existing);
    fs::copy_file(library, disc / kViewerLibrary, fs::copy_options::overwrite_existing);

    JsonWriter json;
    json.beginObject();
    json.value("disc", disc.string());
    json.value("workingPath", plan.workingPath);
    json.value("components", static_cast<int32_t>(plan.items.size()));
    json.value("files", summary.files);
    json.value("folders", summary.folders);
    json.endObject();
    std::printf("%s\n", json.text().c_str());
    return 0;
}

int dump(const std::string& path) {
    project::RecordReader reader;
    if (!reader.open(path)) {
        std::fprintf(stderr, "orvanetool: cannot read %s\n", path.c_str());
        return 1;
    }
    JsonWriter json;
    json.beginObject();
    json.beginArray("records");
    bool complete = true;
    while (reader.remaining() > 0) {
        const uint8_t type = reader.nextType();
        json.beginObject();
        if (type == project::kRecordInteger) {
            json.value("type", "integer");
            json.value("value", reader.readInt());
        } else if (type == project::kRecordText) {
            json.value("type", "text");
            json.value("value", reader.readText());
        } else {
            json.value("type", static_cast<int32_t>(type));
        }
        json.endObject();
        if (reader.failed() || (type != project::kRecordInteger && type != project::kRecordText)) {
            complete = false;
            break;
        }
    }
    json.endArray();
    json.value("complete", complete);
    json.endObject();
    std::printf("%s\n", json.text().c_str());
    return complete ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (quillet::asksForHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 2 && args[0] == "dump") return dump(args[1]);
        if (args.size() >= 3 && args[0] == "make") {
            MakeOptions options;
            options.folder = args[1];
            options.disc = args[2];
            options.launcherFolder = ownFolder();
            for (size_t i = 3; i < args.size(); ++i) {
                const std::string& option = args[i];
                const bool hasValue = i + 1 < args.size();
                if (option == "--no-record") {
                    options.plan.recordFiles = false;
                } else if (!hasValue) {
                    std::fputs(kUsage, stderr);
                    return 2;
                } else if (option == "--title") {
                    options.plan.title = args[++i];
                } else if (option == "--company") {
                    options.plan.company = args[++i];
                } else if (option == "--name") {
                    options.name = args[++i];
                } else if (option == "--requires") {
                    options.plan.requiredFile = args[++i];
                } else if (option == "--launcher") {
                    options.launcherFolder = args[++i];
                } else if (option == "--version") {
                    if (!parseVersion(args[++i], options.plan.version)) {
                        std::fprintf(stderr, "orvanetool: a version is MAJOR.MINOR.BUILD, not %s\n", args[i].c_str());
                        return 2;
                    }
                } else if (option == "--expires") {
                    if (!parseDate(args[++i], options.plan.expiryDate)) {
                        std::fprintf(stderr, "orvanetool: a date is YYYY-MM-DD, not %s\n", args[i].c_str());
                        return 2;
                    }
                } else {
                    std::fputs(kUsage, stderr);
                    return 2;
                }
            }
            return make(options);
        }
        std::fputs(kUsage, stderr);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orvanetool: %s\n", error.what());
        return 1;
    }
}
