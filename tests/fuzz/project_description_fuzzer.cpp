// Fuzz target: the project description over arbitrary bytes, walked record by record
// with the record reader, then loaded by the project loader with components that read
// their records as the viewer library does. No archive lies beside it.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "launcher/project/project_loader.h"
#include "launcher/project/record_reader.h"
#include "tests/support/fake_components.h"

namespace {

using namespace quillet;

// A folder of this process's own, holding the description under its name.
const std::string& launcherFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/orvane-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made) std::abort();
        return std::string(made);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    project::RecordReader walk;
    walk.openBytes(bytes);
    while (!walk.failed() && walk.remaining() > 0) {
        if (walk.nextType() == project::kRecordText)
            walk.readText();
        else
            walk.readInt();
    }

    const std::string path = launcherFolder() + "/" + project::kDescriptionName;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    testing::RecordingHost host(launcherFolder() + "/target");
    project::LoadingBlock block;
    block.loadingWindow = &host;
    block.launcherFolder = launcherFolder();
    project::CThreadLoadProject(host).load(block);
    // Every load ends in a report that it finished or was given up.
    if (host.reports.empty() || (host.lastCode() != project::kReportFinished &&
                                 host.lastCode() != project::kReportAbandoned))
        __builtin_trap();
    // Never more components than the description has room for.
    if (host.components.size() > 2 + size / project::kSmallestComponentBytes) __builtin_trap();
    return 0;
}
