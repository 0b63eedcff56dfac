#pragma once
// Viewer components for tests of the project loader: they log what the loader asks
// of them and read the records the project builder writes, as the viewer library
// does. The security component refuses, as the library's does, every name the
// launcher's path rules refuse, and any name a test adds; it answers whether a file
// is current from the file system of the machine, or from one in memory.

#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "launcher/archive/zip_paths.h"
#include "launcher/interface/viewer_interface.h"
#include "launcher/project/project_loader.h"
#include "tests/support/memory_file_system.h"

namespace quillet::testing {

using CallLog = std::vector<std::string>;

template <typename Interface>
class LoggingComponent : public Interface {
public:
    LoggingComponent(CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}

    bool createComponent(const char* className, const char* title, uint32_t style,
                         const viewer::ComponentArea& area, viewer::NativeWindow, uint32_t id) override {
        const bool empty = !className && !title && style == 0 && area.left == 0 && area.top == 0 &&
                           area.right == 0 && area.bottom == 0;
        log("create " + std::string(empty ? "empty" : "with values") + " id " + std::to_string(id));
        // The window manager's handles, when a test limits them.
        return !windowsLeft || (*windowsLeft)-- > 0;
    }
    void attachSettings(viewer::SettingsComponent*) override { log("attach settings"); }
    void setKind(int32_t kind) override { log("kind " + std::to_string(kind)); }
    void setWorkingPath(const char* path) override { log("working path " + std::string(path)); }
    void setFirstValue(int32_t value) override { log("first value " + std::to_string(value)); }
    void setLauncherFolder(const char*) override { log("launcher folder"); }
    void start() override { log("start"); }
    void prepare() override { log("prepare"); }
    bool isRunning() override { return false; }
    void setMoreValues(int32_t second, int32_t third) override {
        log("more values " + std::to_string(second) + " " + std::to_string(third));
    }
    void readRecords(project::RecordReader& reader, int32_t major, int32_t minor, int32_t build) override {
        log("read records " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build));
        readOwn(reader);
    }
    std::string targetFolder() override { return std::string(); }
    std::string targetName(const char*) override { return std::string(); }
    void linkSettings(viewer::SettingsComponent*) override { log("link settings"); }
    void discRemoved() override { log("disc removed"); }
    void recordFile(const char*, int32_t) override {}
    bool isCurrent(const char*, uint64_t, int64_t) override { return false; }

    int* windowsLeft = nullptr;

protected:
    virtual void readOwn(project::RecordReader& reader) = 0;
    void log(const std::string& call) { log_.push_back(name_ + ": " + call); }

private:
    CallLog& log_;
    std::string name_;
};

class FakeSettings : public LoggingComponent<viewer::SettingsComponent> {
public:
    using LoggingComponent::LoggingComponent;
    std::string title;

private:
    void readOwn(project::RecordReader& reader) override {
        title = reader.readText();
        for (int32_t& value : settingsValues) value = reader.readInt();
    }
};

class FakeSecurity : public LoggingComponent<viewer::SecurityComponent> {
public:
    FakeSecurity(CallLog& log, std::string targetFolder, std::set<std::string> refusedNames = {},
                 const MemoryFileSystem* memory = nullptr)
        : LoggingComponent(log, "security"),
          targetFolder_(std::move(targetFolder)),
          refusedNames_(std::move(refusedNames)),
          memory_(memory) {}
    std::vector<std::string> recorded;

    void start() override {
        log("start");
        accessGranted = complete_ && expiry_ == 0;
        skipRecording = !recordFiles_;
    }
    std::string targetFolder() override { return targetFolder_; }
    std::string targetName(const char* storedName) override {
        std::vector<std::string> parts;
        const bool refused = !zip::safeNameParts(storedName, parts) || refusedNames_.count(storedName);
        return refused ? std::string() : std::string(storedName);
    }
    void recordFile(const char* path, int32_t flags) override {
        if (flags == 0) recorded.emplace_back(path);
    }
    bool isCurrent(const char* path, uint64_t size, int64_t modified) override {
        // A file system in memory keeps no times: a file of the size is current.
        if (memory_) {
            const auto file = memory_->files.find(path);
            return file != memory_->files.end() && file->second.size() == size;
        }
        struct stat status {};
        return ::stat(path, &status) == 0 && S_ISREG(status.st_mode) &&
               static_cast<uint64_t>(status.st_size) == size && status.st_mtime == modified;
    }

private:
    void readOwn(project::RecordReader& reader) override {
        expiry_ = reader.readInt();
        reader.readText();
        recordFiles_ = reader.readInt() != 0;
        complete_ = !reader.failed();
    }
    std::string targetFolder_;
    std::set<std::string> refusedNames_;
    const MemoryFileSystem* memory_;
    int32_t expiry_ = 0;
    bool recordFiles_ = true;
    bool complete_ = false;
};

class FakeContent : public LoggingComponent<viewer::ViewerComponent> {
public:
    FakeContent(CallLog& log, int32_t kind) : LoggingComponent(log, "content"), kind(kind) {}
    int32_t kind;
    std::string caption, item;

private:
    void readOwn(project::RecordReader& reader) override {
        caption = reader.readText();
        item = reader.readText();
        if (caption == "throws") throw std::runtime_error("a component that fails");
    }
};

// The loader's host: keeps the reports and the components. With a file system in
// memory, the archive is the one it holds.
class RecordingHost : public project::LoaderHost {
public:
    explicit RecordingHost(std::string targetFolder, MemoryFileSystem* memory = nullptr)
        : targetFolder_(std::move(targetFolder)), memory_(memory) {}

    // Names the security component refuses besides those the path rules refuse.
    std::set<std::string> refusedNames;
    // How many component windows can be made.
    int windowsLeft = INT_MAX;
    std::vector<std::string> told;

    std::vector<std::pair<uint32_t, int32_t>> reports;
    std::vector<int> waits;
    CallLog calls;
    std::vector<std::string> notes;
    std::vector<std::unique_ptr<viewer::ViewerComponent>> components;
    FakeSettings* settings = nullptr;
    FakeSecurity* security = nullptr;

    void report(uint32_t code, int32_t value) override { reports.emplace_back(code, value); }
    void wait(int milliseconds) override { waits.push_back(milliseconds); }
    bool fileExists(const std::string& path) override {
        if (memory_) return !memory_->archive.empty();
        return std::filesystem::is_regular_file(path);
    }
    void note(const std::string& text) override { notes.push_back(text); }
    void tellUser(const std::string& text) override { told.push_back(text); }
    zip::ExtractionFileSystem& fileSystem() override {
        return memory_ ? static_cast<zip::ExtractionFileSystem&>(*memory_) : zip::hostFileSystem();
    }
    viewer::ViewerComponent* createComponent(int32_t kind) override {
        if (kind == 98) {
            auto made = std::make_unique<FakeSettings>(calls, "settings");
            settings = made.get();
            settings->windowsLeft = &windowsLeft;
            components.push_back(std::move(made));
        } else if (kind == 99) {
            auto made = std::make_unique<FakeSecurity>(calls, targetFolder_, refusedNames, memory_);
            security = made.get();
            security->windowsLeft = &windowsLeft;
            components.push_back(std::move(made));
        } else if (kind >= 0 && kind <= 10) {
            auto made = std::make_unique<FakeContent>(calls, kind);
            made->windowsLeft = &windowsLeft;
            components.push_back(std::move(made));
        } else {
            return nullptr;
        }
        return components.back().get();
    }

    int count(uint32_t code) const {
        int n = 0;
        for (const auto& report : reports) n += report.first == code;
        return n;
    }
    uint32_t lastCode() const { return reports.empty() ? UINT32_MAX : reports.back().first; }

private:
    std::string targetFolder_;
    MemoryFileSystem* memory_;
};

}  // namespace quillet::testing
