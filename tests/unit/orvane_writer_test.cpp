// The project builder's pieces: kinds of items, folder names, versions and dates,
// and an archive the launcher's reader opens with the launcher's password.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <zlib.h>

#include <cstdlib>

#include "launcher/archive/zip_crypto.h"
#include "launcher/archive/zip_reader.h"
#include "launcher/project/project_secrets.h"
#include "tools/orvanetool/project_archive.h"
#include "tools/orvanetool/project_plan.h"
#include "tools/orvanetool/traditional_encryptor.h"

namespace quillet::orvanetool {
namespace {

namespace fs = std::filesystem;

TEST(OrvaneWriter, ChoosesAComponentKindPerItem) {
    struct Case {
        const char* name;
        bool folder, onlyPictures;
        int32_t kind;
    };
    const Case cases[] = {
        {"pages", true, false, 1},   {"photos", true, true, 6},   {"index.HTML", false, false, 2},
        {"more.zip", false, false, 3}, {"Demo.exe", false, false, 4}, {"intro.swf", false, false, 5},
        {"song.mp3", false, false, 8}, {"logo.png", false, false, 9}, {"readme.txt", false, false, 0},
        {"noextension", false, false, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(kindForItem(c.name, c.folder, c.onlyPictures), c.kind) << c.name;
}

TEST(OrvaneWriter, NamesTheProjectFolderSafely) {
    EXPECT_EQ(projectFolderName("My Disc 2"), "My Disc 2");
    EXPECT_EQ(projectFolderName("a/b\\c:d*e"), "a_b_c_d_e");
    EXPECT_EQ(projectFolderName(".."), "Project");
    EXPECT_EQ(projectFolderName(" . "), "Project");
    EXPECT_EQ(projectFolderName(""), "Project");
    EXPECT_EQ(projectFolderName("Caf\xC3\xA9"), "Caf__");
    EXPECT_EQ(projectFolderName(std::string(100, 'n')).size(), 64u);
}

TEST(OrvaneWriter, ReadsVersionsAndDates) {
    project::ProjectVersion version;
    EXPECT_TRUE(parseVersion("3.1.0", version));
    EXPECT_EQ(version.minor, 1);
    for (const char* bad : {"3.0", "3.0.4.1", "a.b.c", "3.0.-1", ""}) EXPECT_FALSE(parseVersion(bad, version)) << bad;
    int32_t date = 0;
    EXPECT_TRUE(parseDate("2027-12-31", date));
    EXPECT_EQ(date, 20271231);
    for (const char* bad : {"2027-13-01", "27-12-31", "2027-12-31x", "tomorrow"}) EXPECT_FALSE(parseDate(bad, date)) << bad;
}

TEST(OrvaneWriter, RefusesPlansTheLauncherCannotUse) {
    struct Case {
        const char* name;
        std::string title, company, required;
        const char* problem;
        std::string working = "Orvane\\Disc";
    };
    const Case cases[] = {
        {"plain", "Disc", "Maker, Inc.", "keys/key.txt", ""},
        {"accented", "Caf\xC3\xA9", "M\xC3\xBCller", "", ""},
        {"a line in the company", "Disc", "Maker\"\r\nopen=evil.exe", "", "the company may hold no control character"},
        {"a tab in the title", "a\tb", "", "", "the title may hold no control character"},
        {"a NUL in the required file", "Disc", "", std::string("key\0x", 5), "the required file may hold no control character"},
        {"a comma in the title", "a,b", "", "", "the title may hold no comma or quote, the company no quote"},
        {"a quote in the company", "", "\"", "", "the title may hold no comma or quote, the company no quote"},
        {"a required file above the disc", "Disc", "", "../x",
         "the required file ../x is not a name on the disc that the launcher accepts"},
        {"a required device", "Disc", "", "nul", "the required file nul is not a name on the disc that the launcher accepts"},
        {"a project named after a device", "Aux", "", "", "the working folder Orvane\\Aux is not one the launcher accepts",
         "Orvane\\" + projectFolderName("Aux")},
    };
    for (const Case& c : cases) {
        ProjectPlan plan;
        plan.title = c.title;
        plan.company = c.company;
        plan.requiredFile = c.required;
        plan.workingPath = c.working;
        EXPECT_EQ(planProblem(plan), c.problem) << c.name;
    }
}

TEST(OrvaneWriter, ContentTheLauncherWouldRefuseIsNotPacked) {
    const fs::path root = fs::path(::testing::TempDir()) / "orvane_writer_refused";
    for (const char* name : {"nul.txt", "sub/CON", "sub/x.txt:stream", "sub/...", "tab\there"}) {
        fs::remove_all(root);
        fs::create_directories(root / "content" / "sub");
        std::ofstream(root / "content" / "fine.txt") << "fine";
        std::ofstream(root / "content" / name) << "refused";
        EXPECT_EQ(refusedContentName((root / "content").string()), name);
        const std::string archive = (root / "project.sdf").string();
        EXPECT_THROW(writeProjectArchive((root / "content").string(), archive, "pw"), std::runtime_error) << name;
        EXPECT_FALSE(fs::exists(archive)) << name;
    }
    fs::remove(root / "content" / "tab\there");
    EXPECT_EQ(refusedContentName((root / "content").string()), "");
    fs::remove_all(root);
}

TEST(OrvaneWriter, TheArchiveOpensWithTheLaunchersPasswordOnly) {
    const fs::path root = fs::path(::testing::TempDir()) / "orvane_writer_archive";
    fs::remove_all(root);
    fs::create_directories(root / "content" / "sub");
    std::ofstream(root / "content" / "sub" / "a.txt") << std::string(10000, 'a');
    std::ofstream(root / "content" / "b.txt") << "bee";
    const std::string archive = (root / "project.sdf").string();
    const ArchiveSummary summary = writeProjectArchive((root / "content").string(), archive, project::kArchivePassword);
    EXPECT_EQ(summary.files, 2);
    EXPECT_EQ(summary.folders, 1);

    ZipReader reader;
    reader.open(archive);
    ASSERT_EQ(reader.count(), 3u);
    EXPECT_EQ(reader.entryInfo(0).name, "b.txt");
    EXPECT_TRUE(reader.entryInfo(1).isFolder());
    EXPECT_TRUE(reader.entryInfo(2).encrypted());
    reader.setPassword("wrong");
    EXPECT_THROW(reader.extractFile(2, (root / "out").string()), CZipException);
    reader.setPassword(project::kArchivePassword);
    for (size_t i = 0; i < reader.count(); ++i) EXPECT_TRUE(reader.extractFile(i, (root / "out").string()));
    std::ifstream in(root / "out" / "sub" / "a.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string(10000, 'a'));
    // A reader of another make agrees.
    const std::string unzip = "unzip -qq -P '" + std::string(project::kArchivePassword) + "' " + archive + " -d " +
                              (root / "other").string() + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(unzip.c_str()), 0);
    std::ifstream other(root / "other" / "sub" / "a.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(other), {}), std::string(10000, 'a'));
    fs::remove_all(root);
}

TEST(OrvaneWriter, EncryptsWithTheReadersCipher) {
    std::string data;
    for (int i = 0; i < 3 * 256; ++i) data += static_cast<char>(i * 37 + i / 256);
    const uint32_t crc =
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    const std::string stored = encryptEntry("pw", data, crc);
    ASSERT_EQ(stored.size(), zip::kEncryptionHeaderSize + data.size());
    auto decrypted = [&](const char* password) {
        std::string plain = stored;
        zip::TraditionalCipher(password).decrypt(reinterpret_cast<uint8_t*>(&plain[0]), plain.size());
        return plain;
    };
    const std::string plain = decrypted("pw");
    EXPECT_EQ(plain.substr(zip::kEncryptionHeaderSize), data);
    EXPECT_EQ(static_cast<uint8_t>(plain[zip::kEncryptionHeaderSize - 1]), static_cast<uint8_t>(crc >> 24));
    EXPECT_NE(decrypted("pW").substr(zip::kEncryptionHeaderSize), data);
}

}  // namespace
}  // namespace quillet::orvanetool
