// Fuzz target: the project description over arbitrary bytes, walked record by record
// with the record reader, then loaded by the project loader with components that read
// their records as the viewer library does. Beside it lies an archive with names that
// leave the target, kept in a file system in memory that acts on a name only up to
// its NUL, as the real ones do; the security component refuses what the launcher's
// rules refuse.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "launcher/archive/zip_paths.h"
#include "launcher/project/project_loader.h"
#include "launcher/project/record_reader.h"
#include "launcher/viewer/security_rules.h"
#include "tests/support/fake_components.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/zip_builder.h"

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

// Whole entries first; then a folder and a file whose names, cut at their NUL, leave
// the target.
const std::string& hostileArchive() {
    static const std::string archive = testing::buildZip({
        {"pages/index.html", "<p>index</p>", true},
        {"pages/", "", false, UINT32_MAX, 0x10},
        {std::string("..\0/", 4), "", false, UINT32_MAX, 0x16},
        {std::string("ok.txt\0/../x", 12), "hidden"},
        {"../up.txt", "up"},
    });
    return archive;
}

// A name or path the viewer library would act on: never one with a control character.
bool usable(const std::string& path) { return !zip::hasControlCharacter(path); }

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
    testing::MemoryFileSystem fileSystem;
    fileSystem.archive = hostileArchive();
    testing::RecordingHost host("target", &fileSystem);
    project::LoadingBlock block;
    block.loadingWindow = &host;
    block.launcherFolder = launcherFolder();
    project::CThreadLoadProject(host).load(block);
    if (!fileSystem.allInside("target")) __builtin_trap();
    if (!usable(viewer::workingFolderUnder("C:\\Temp", block.workingPath))) __builtin_trap();
    for (const auto& component : host.components) {
        if (const auto* content = dynamic_cast<const testing::FakeContent*>(component.get()))
            if (!usable(viewer::targetNameOf(content->item))) __builtin_trap();
    }
    // Every load ends in a report that it finished or was given up.
    if (host.reports.empty() || (host.lastCode() != project::kReportFinished &&
                                 host.lastCode() != project::kReportAbandoned))
        __builtin_trap();
    // Never more components than the description has room for.
    if (host.components.size() > 2 + size / project::kSmallestComponentBytes) __builtin_trap();
    return 0;
}
