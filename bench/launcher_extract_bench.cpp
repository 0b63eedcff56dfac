// Extraction through the launcher's project loader against the landed ziptool on
// the same project archive. The loader runs with components that answer as the
// viewer library's do (the target folder, present-and-current by size and time,
// every entry recorded); its phase pauses are left out. Prints the best of three
// runs of each and the ratio ziptool time / loader time (above 1: the loader is
// faster).
//
//   launcher_extract_bench DISC-FOLDER ZIPTOOL WORK-FOLDER

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "launcher/project/project_loader.h"
#include "launcher/project/project_secrets.h"
#include "tests/support/fake_components.h"

namespace fs = std::filesystem;
using namespace quillet;

namespace {

double seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double loaderRun(const std::string& disc, const fs::path& target) {
    fs::remove_all(target);
    const auto start = std::chrono::steady_clock::now();
    testing::RecordingHost host(target.string());
    project::LoadingBlock block;
    block.loadingWindow = &host;
    block.launcherFolder = disc;
    project::CThreadLoadProject(host).load(block);
    const double elapsed = seconds(start);
    if (host.lastCode() != project::kReportFinished) {
        std::fprintf(stderr, "the loader did not finish (last report %u)\n", host.lastCode());
        std::exit(1);
    }
    return elapsed;
}

double ziptoolRun(const std::string& ziptool, const std::string& disc, const fs::path& target) {
    fs::remove_all(target);
    fs::create_directories(target);
    const std::string command = "'" + ziptool + "' extract '" + disc + "/" + project::kArchiveName + "' '" +
                                target.string() + "' --password '" + project::kArchivePassword + "'";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "ziptool failed\n");
        std::exit(1);
    }
    return seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: launcher_extract_bench DISC-FOLDER ZIPTOOL WORK-FOLDER\n", stderr);
        return 2;
    }
    const std::string disc = argv[1], ziptool = argv[2];
    const fs::path work = argv[3];
    double bestLoader = 1e9, bestZiptool = 1e9;
    for (int run = 0; run < 3; ++run) {
        bestZiptool = std::min(bestZiptool, ziptoolRun(ziptool, disc, work / "ziptool"));
        bestLoader = std::min(bestLoader, loaderRun(disc, work / "loader"));
    }
    std::printf("ziptool extract   %.3f s\n", bestZiptool);
    std::printf("launcher's loader %.3f s\n", bestLoader);
    std::printf("ratio ziptool/loader = %.2f (at least 0.90 wanted)\n", bestZiptool / bestLoader);
    fs::remove_all(work / "ziptool");
    fs::remove_all(work / "loader");
    return 0;
}
