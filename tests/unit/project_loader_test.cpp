// The project loader over descriptions and archives made by the project builder,
// with components that log what they are asked.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <climits>
#include <map>
#include <set>
#include <sstream>

#include "launcher/project/project_loader.h"
#include "launcher/project/project_secrets.h"
#include "tests/support/fake_components.h"
#include "tests/support/zip_builder.h"
#include "tools/orvanetool/project_archive.h"
#include "tools/orvanetool/project_plan.h"

namespace quillet::project {
namespace {

namespace fs = std::filesystem;
using orvanetool::ContentItem;
using orvanetool::ProjectPlan;
using testing::RecordingHost;
using Reports = std::vector<std::pair<uint32_t, int32_t>>;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

ProjectPlan twoItemPlan() {
    ProjectPlan plan;
    plan.title = "Sample";
    plan.company = "Maker";
    plan.workingPath = "Orvane\\Sample";
    plan.options = 1;
    plan.windowWidth = 640;
    plan.windowHeight = 400;
    plan.items = {ContentItem{1, "Pages", "pages"}, ContentItem{9, "Picture", "picture.bmp"}};
    return plan;
}

class ProjectLoaderTest : public ::testing::Test {
public:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::path(::testing::TempDir()) / (std::string("loader_") + info->name());
        fs::remove_all(root_);
        disc_ = root_ / "disc";
        target_ = root_ / "target";
        fs::create_directories(disc_);
    }
    void TearDown() override { fs::remove_all(root_); }

    void describe(const ProjectPlan& plan) { writeFile(disc_ / kDescriptionName, orvanetool::describeProject(plan)); }

    // Content of 3 files in 2 folders and at the top, archived under password.
    void archive(const std::string& password = kArchivePassword) {
        const fs::path content = root_ / "content";
        writeFile(content / "pages" / "index.html", "<p>index</p>");
        writeFile(content / "pages" / "two.html", std::string(3000, 'w'));
        writeFile(content / "pictures" / ".keep", "");
        fs::remove(content / "pictures" / ".keep");
        writeFile(content / "readme.txt", "read me");
        orvanetool::writeProjectArchive(content.string(), (disc_ / kArchiveName).string(), password);
    }

    RecordingHost& load() {
        host_ = std::make_unique<RecordingHost>(target_.string());
        host_->refusedNames = refusedNames_;
        host_->windowsLeft = windowsLeft_;
        LoadingBlock block;
        block.loadingWindow = this;
        block.launcherFolder = disc_.string();
        CThreadLoadProject(*host_).load(block);
        block_ = block;
        return *host_;
    }

    size_t filesUnder(const fs::path& folder) const {
        size_t files = 0;
        if (!fs::exists(folder)) return 0;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) files += entry.is_regular_file();
        return files;
    }

    fs::path root_, disc_, target_;
    // What the security component refuses besides the path rules, and how many
    // component windows can be made.
    std::set<std::string> refusedNames_;
    int windowsLeft_ = INT_MAX;
    std::unique_ptr<RecordingHost> host_;
    LoadingBlock block_;
};

TEST_F(ProjectLoaderTest, ReportsEveryStepOfAProjectWithoutArchive) {
    describe(twoItemPlan());
    RecordingHost& host = load();
    EXPECT_EQ(host.reports, (Reports{{0, 2}, {1, 0}, {1, 0}, {4, 2}, {5, 0}, {5, 0}, {6, 0}}));
    EXPECT_EQ(host.waits, (std::vector<int>{250, 250, 250}));
    ASSERT_TRUE(host.settings);
    EXPECT_EQ(block_.projectSettings, host.settings);
    EXPECT_EQ(block_.workingPath, "Orvane\\Sample");
    EXPECT_EQ(host.settings->title, "Sample");
    EXPECT_EQ(host.settings->security, host.security);
    auto* first = dynamic_cast<testing::FakeContent*>(host.settings->firstComponent);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->item, "pages");
    auto* second = dynamic_cast<testing::FakeContent*>(first->nextComponent);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->kind, 9);
    EXPECT_EQ(second->caption, "Picture");
    EXPECT_EQ(second->nextComponent, nullptr);
}

TEST_F(ProjectLoaderTest, SetsUpTheComponentsInOrder) {
    ProjectPlan plan = twoItemPlan();
    plan.items.resize(1);
    describe(plan);
    RecordingHost& host = load();
    const testing::CallLog expected = {
        "settings: create empty id 1", "settings: kind 98", "settings: working path Orvane\\Sample",
        "settings: launcher folder", "settings: read records 3.0.4", "settings: prepare",
        "security: create empty id 1", "security: kind 99", "security: working path Orvane\\Sample",
        "security: launcher folder", "security: read records 3.0.4", "security: link settings",
        "content: create empty id 1", "content: kind 1", "content: working path Orvane\\Sample",
        "content: launcher folder", "content: first value 1", "content: attach settings",
        "content: more values 640 400", "content: read records 3.0.4", "security: prepare", "security: start",
    };
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(host.security->ownerWindow, this);
    EXPECT_EQ(host.settings->firstComponent->topOwnerWindow, this);
}

TEST_F(ProjectLoaderTest, ReadsTheHeaderNoteFrom304On) {
    for (const ProjectVersion version : {ProjectVersion{3, 0, 3}, ProjectVersion{3, 0, 4}, ProjectVersion{3, 1, 0}}) {
        SCOPED_TRACE(std::to_string(version.minor) + "." + std::to_string(version.build));
        ProjectPlan plan = twoItemPlan();
        plan.version = version;
        describe(plan);
        RecordingHost& host = load();
        EXPECT_EQ(host.lastCode(), kReportFinished);
        EXPECT_EQ(host.settings->title, "Sample");
    }
    // A 3.0.3 description that carries the note anyway is misread and given up.
    ProjectPlan plan = twoItemPlan();
    std::string bytes = orvanetool::describeProject(plan);
    bytes[3 * 7 + 3] = 3;  // the build number of 3.0.4
    writeFile(disc_ / kDescriptionName, bytes);
    EXPECT_EQ(load().lastCode(), kReportAbandoned);
}

TEST_F(ProjectLoaderTest, ExtractsThreeFilesAndTwoFoldersInFiveSteps) {
    describe(twoItemPlan());
    archive();
    RecordingHost& host = load();
    EXPECT_EQ(host.lastCode(), kReportFinished);
    const auto extraction = std::find(host.reports.begin(), host.reports.end(), std::make_pair(2u, 3));
    ASSERT_NE(extraction, host.reports.end());
    EXPECT_EQ(host.count(kReportEntryHandled), 5);
    EXPECT_EQ(readFile(target_ / "pages" / "index.html"), "<p>index</p>");
    EXPECT_EQ(readFile(target_ / "readme.txt"), "read me");
    EXPECT_TRUE(fs::is_directory(target_ / "pictures"));
    EXPECT_EQ(host.security->recorded.size(), 5u);
}

TEST_F(ProjectLoaderTest, FilesPresentAndCurrentAreNotExtractedAgainButStillRecorded) {
    describe(twoItemPlan());
    archive();
    load();
    // Same size and time, other bytes: a second extraction would bring the old ones back.
    const fs::path kept = target_ / "readme.txt", changed = target_ / "pages" / "two.html";
    struct stat before {};
    ASSERT_EQ(::stat(kept.c_str(), &before), 0);
    writeFile(kept, "READ ME");
    const utimbuf times{before.st_atime, before.st_mtime};
    ASSERT_EQ(::utime(kept.c_str(), &times), 0);
    writeFile(changed, "shorter");

    RecordingHost& host = load();
    EXPECT_EQ(host.lastCode(), kReportFinished);
    EXPECT_EQ(readFile(kept), "READ ME");
    EXPECT_EQ(readFile(changed), std::string(3000, 'w'));
    EXPECT_EQ(host.security->recorded.size(), 5u);
    EXPECT_NE(std::find(host.security->recorded.begin(), host.security->recorded.end(), kept.string()),
              host.security->recorded.end());
}

TEST_F(ProjectLoaderTest, ExtractedFilesAreNotRecordedWhenTheSecurityComponentSaysSo) {
    ProjectPlan plan = twoItemPlan();
    plan.recordFiles = false;
    describe(plan);
    archive();
    RecordingHost& host = load();
    EXPECT_EQ(host.lastCode(), kReportFinished);
    EXPECT_EQ(filesUnder(target_), 3u);
    EXPECT_TRUE(host.security->recorded.empty());
}

TEST_F(ProjectLoaderTest, ABadArchiveAbandonsTheLoadLeavingNothingPartial) {
    struct Case {
        const char* name;
        std::function<void(ProjectLoaderTest&)> make;
    };
    const std::vector<Case> cases = {
        {"wrong password", [](ProjectLoaderTest& t) { t.archive("not the password"); }},
        {"not an archive", [](ProjectLoaderTest& t) { writeFile(t.disc_ / kArchiveName, std::string(5000, 'z')); }},
        {"damaged data",
         [](ProjectLoaderTest& t) {
             t.archive();
             std::string bytes = readFile(t.disc_ / kArchiveName);
             for (size_t i = 60; i < 400 && i < bytes.size(); i += 7) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
             writeFile(t.disc_ / kArchiveName, bytes);
         }},
        {"name outside the folder",
         [](ProjectLoaderTest& t) {
             writeFile(t.disc_ / kArchiveName,
                       testing::buildZip({{"inside.txt", "fine"}, {"../outside.txt", "escaped"}}));
         }},
        // The file system acts on the name up to its NUL: on the folder above the target.
        {"folder named as the one above up to a NUL",
         [](ProjectLoaderTest& t) {
             writeFile(t.disc_ / kArchiveName,
                       testing::buildZip({{"inside.txt", "fine"}, {std::string("..\0/", 4), "", false,
                                                                   UINT32_MAX, 0x16}}));
         }},
        // The security component would judge only the part before the NUL.
        {"name with more after a NUL",
         [](ProjectLoaderTest& t) {
             writeFile(t.disc_ / kArchiveName, testing::buildZip({{std::string("ok.txt\0/../x", 12), "hidden"}}));
         }},
        // A refused entry is never extracted under its stored name instead.
        {"name the security component refuses",
         [](ProjectLoaderTest& t) {
             t.refusedNames_ = {"secret.txt"};
             writeFile(t.disc_ / kArchiveName,
                       testing::buildZip({{"inside.txt", "fine"}, {"secret.txt", "not for this user"}}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(target_);
        refusedNames_.clear();
        describe(twoItemPlan());
        c.make(*this);
        const auto rootTime = fs::last_write_time(root_);
        RecordingHost& host = load();
        EXPECT_EQ(host.lastCode(), kReportAbandoned);
        EXPECT_EQ(host.count(kReportFinished), 0);
        EXPECT_FALSE(fs::exists(root_ / "outside.txt"));
        EXPECT_GE(fs::last_write_time(root_), rootTime);
        // Only whole, checked files appear; nothing of a failed entry.
        const std::map<std::string, std::string> whole = {{"pages/index.html", "<p>index</p>"},
                                                          {"pages/two.html", std::string(3000, 'w')},
                                                          {"readme.txt", "read me"},
                                                          {"inside.txt", "fine"}};
        if (fs::exists(target_)) {
            for (const auto& entry : fs::recursive_directory_iterator(target_)) {
                if (!entry.is_regular_file()) continue;
                const auto known = whole.find(fs::relative(entry.path(), target_).generic_string());
                if (known == whole.end())
                    ADD_FAILURE() << "unexpected " << entry.path();
                else
                    EXPECT_EQ(readFile(entry.path()), known->second);
            }
        }
    }
}

TEST_F(ProjectLoaderTest, AnUnknownComponentKindAbandonsTheLoad) {
    ProjectPlan plan = twoItemPlan();
    plan.items[1].kind = 42;
    describe(plan);
    archive();
    RecordingHost& host = load();
    EXPECT_EQ(host.reports, (Reports{{0, 2}, {1, 0}, {7, 0}}));
    EXPECT_EQ(filesUnder(target_), 0u);
    EXPECT_EQ(host.components.size(), 3u);
}

TEST_F(ProjectLoaderTest, ADescriptionCutAtAnyByteIsGivenUp) {
    const std::string whole = orvanetool::describeProject(twoItemPlan());
    archive();
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        writeFile(disc_ / kDescriptionName, whole.substr(0, length));
        RecordingHost& host = load();
        EXPECT_EQ(host.lastCode(), kReportAbandoned);
        EXPECT_EQ(filesUnder(target_), 0u);
    }
    writeFile(disc_ / kDescriptionName, whole);
    EXPECT_EQ(load().lastCode(), kReportFinished);
}

TEST_F(ProjectLoaderTest, AWorkingPathMustFitItsBlock) {
    ProjectPlan plan = twoItemPlan();
    plan.workingPath = std::string(kMaxPathText - 1, 'p');
    describe(plan);
    EXPECT_EQ(load().lastCode(), kReportFinished);
    EXPECT_EQ(block_.workingPath.size(), kMaxPathText - 1);
    plan.workingPath += 'p';
    describe(plan);
    EXPECT_EQ(load().lastCode(), kReportAbandoned);
    EXPECT_EQ(host_->components.size(), 0u);
}

TEST_F(ProjectLoaderTest, AComponentCountBeyondTheDescriptionIsRefusedBeforeAnyIsMade) {
    ProjectPlan plan = twoItemPlan();
    std::string bytes = orvanetool::describeProject(plan);
    // The count record follows the security records.
    const std::string countRecord("\x01\x04\x00\x02\x00\x00\x00", 7);
    const size_t at = bytes.find(countRecord);
    ASSERT_NE(at, std::string::npos);
    for (int32_t count : {1000000, -1}) {
        SCOPED_TRACE(count);
        std::string damaged = bytes;
        std::memcpy(&damaged[at + 3], &count, 4);
        writeFile(disc_ / kDescriptionName, damaged);
        RecordingHost& host = load();
        EXPECT_EQ(host.reports, (Reports{{7, 0}}));
        EXPECT_EQ(host.components.size(), 2u);
    }
}

TEST_F(ProjectLoaderTest, AtMostTheBoundOfComponentsIsLoaded) {
    ProjectPlan plan = twoItemPlan();
    plan.items.assign(kMaxComponents, ContentItem{0, "", "a"});
    describe(plan);
    EXPECT_EQ(load().lastCode(), kReportFinished);
    EXPECT_EQ(host_->components.size(), 2u + kMaxComponents);

    plan.items.push_back(ContentItem{0, "", "a"});
    describe(plan);
    EXPECT_EQ(load().reports, (Reports{{7, 0}}));
    EXPECT_EQ(host_->components.size(), 2u);
    EXPECT_TRUE(host_->told.empty());
}

TEST_F(ProjectLoaderTest, AComponentWithoutItsWindowIsReportedToTheUser) {
    ProjectPlan plan = twoItemPlan();
    plan.items.assign(10, ContentItem{0, "", "a"});
    describe(plan);
    windowsLeft_ = 6;  // settings, security and four content components
    RecordingHost& host = load();
    EXPECT_EQ(host.reports, (Reports{{0, 10}, {1, 0}, {1, 0}, {1, 0}, {1, 0}, {7, 0}}));
    EXPECT_EQ(host.told, std::vector<std::string>{kShortageText});
}

TEST_F(ProjectLoaderTest, AWorkingPathWithAControlCharacterIsRefused) {
    // The components see the path cut at its NUL: "..", while the loader holds more.
    for (const std::string& path : {std::string("..\0\\Orvane", 10), std::string("Orvane\\a\tb")}) {
        ProjectPlan plan = twoItemPlan();
        plan.workingPath = path;
        describe(plan);
        EXPECT_EQ(load().reports, (Reports{{7, 0}}));
        EXPECT_EQ(host_->components.size(), 0u);
    }
}

TEST_F(ProjectLoaderTest, ARefusalOfTheSecurityComponentEndsTheLoad) {
    ProjectPlan plan = twoItemPlan();
    plan.expiryDate = 20000101;
    describe(plan);
    archive();
    RecordingHost& host = load();
    EXPECT_EQ(host.lastCode(), kReportAbandoned);
    EXPECT_EQ(host.count(kReportExtractionBegins), 0);
    EXPECT_EQ(filesUnder(target_), 0u);
}

TEST_F(ProjectLoaderTest, AComponentThatThrowsAbandonsTheLoad) {
    ProjectPlan plan = twoItemPlan();
    plan.items[0].caption = "throws";
    describe(plan);
    RecordingHost& host = load();
    EXPECT_EQ(host.reports, (Reports{{0, 2}, {7, 0}}));
}

TEST_F(ProjectLoaderTest, WithoutADescriptionOrAWindowNothingHappens) {
    RecordingHost& host = load();
    EXPECT_TRUE(host.reports.empty());
    EXPECT_TRUE(host.components.empty());

    describe(twoItemPlan());
    RecordingHost windowless(target_.string());
    LoadingBlock block;
    block.launcherFolder = disc_.string();
    CThreadLoadProject(windowless).load(block);
    EXPECT_TRUE(windowless.reports.empty());
}

}  // namespace
}  // namespace quillet::project
