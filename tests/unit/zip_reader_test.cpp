#include "launcher/archive/zip_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "launcher/archive/zip_paths.h"
#include "tests/support/zip_builder.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::BuiltEntry;
using testing::buildZip;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeAll(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

class ZipReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("zip_reader_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(root_, ignored);
    }

    // A source tree of mixed files: compressible text, noise, an empty file, nesting.
    fs::path makeSource() {
        fs::path source = root_ / "source";
        std::mt19937 random(7);
        std::string noise(150000, '\0');
        for (char& c : noise) c = static_cast<char>(random());
        std::string text;
        for (int i = 0; i < 30000; ++i) text += "line " + std::to_string(i) + "\n";
        writeAll(source / "noise.bin", noise);
        writeAll(source / "docs" / "text.txt", text);
        writeAll(source / "docs" / "deep" / "empty.dat", "");
        writeAll(source / "small.txt", "hello");
        return source;
    }

    fs::path archivePath(const std::string& name) { return root_ / name; }

    int extractAll(const fs::path& archive, const fs::path& target, const std::string& password) {
        ZipReader reader;
        reader.open(archive.string());
        reader.setPassword(password);
        for (size_t i = 0; i < reader.count(); ++i) reader.extractFile(i, target.string());
        return static_cast<int>(reader.count());
    }

    void expectSameTree(const fs::path& expected, const fs::path& actual) {
        size_t files = 0;
        for (const auto& item : fs::recursive_directory_iterator(expected)) {
            fs::path relative = fs::relative(item.path(), expected);
            ASSERT_TRUE(fs::exists(actual / relative)) << relative;
            if (item.is_regular_file()) {
                EXPECT_EQ(readAll(item.path()), readAll(actual / relative)) << relative;
                ++files;
            }
        }
        EXPECT_EQ(files, 4u);
    }

    int codeOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const CZipException& error) {
            return error.code();
        }
        return 0;
    }

    fs::path root_;
};

TEST_F(ZipReaderTest, ArchivesOfRealToolsExtractByteIdentical) {
    fs::path source = makeSource();
    struct Case {
        const char* name;
        std::string command;
    } cases[] = {
        {"deflated.zip", "zip -q -r -P pw ../deflated.zip ."},
        {"stored.zip", "zip -q -r -0 -P pw ../stored.zip ."},
        {"7zip.zip", "7z a -tzip -mem=ZipCrypto -ppw ../7zip.zip ."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(run("cd " + source.string() + " && " + c.command), 0);
        fs::path target = root_ / (std::string("out_") + c.name);
        EXPECT_GE(extractAll(archivePath(c.name), target, "pw"), 4);
        expectSameTree(source, target);
    }
}

TEST_F(ZipReaderTest, StreamedEntriesCarryDataDescriptors) {
    fs::path source = makeSource();
    fs::path archive = archivePath("streamed.zip");
    ASSERT_EQ(run("cat " + (source / "docs" / "text.txt").string() + " | zip -q -P pw " +
                  archive.string() + " -"),
              0);
    ZipReader reader;
    reader.open(archive.string());
    ASSERT_EQ(reader.count(), 1u);
    EXPECT_TRUE(reader.entryInfo(0).hasDataDescriptor());
    EXPECT_TRUE(reader.entryInfo(0).encrypted());
    reader.setPassword("pw");
    reader.extractFile(0, (root_ / "out").string(), true, "text.txt");
    EXPECT_EQ(readAll(root_ / "out" / "text.txt"), readAll(source / "docs" / "text.txt"));
}

TEST_F(ZipReaderTest, WrongOrMissingPasswordFailsBeforeTheTargetExists) {
    fs::path source = makeSource();
    ASSERT_EQ(run("cd " + source.string() + " && zip -q -P pw ../a.zip small.txt"), 0);
    for (const char* password : {"wrong", ""}) {
        ZipReader reader;
        reader.open(archivePath("a.zip").string());
        reader.setPassword(password);
        fs::path target = root_ / "out";
        EXPECT_EQ(codeOf([&] { reader.extractFile(0, target.string()); }), 110) << password;
        EXPECT_FALSE(fs::exists(target)) << password;
    }
}

TEST_F(ZipReaderTest, ListsEntriesWithTheirFields) {
    std::string archive = buildZip({{"folder/", "", false, UINT32_MAX, 0x10},
                                    {"folder/a.txt", std::string(5000, 'a'), true}});
    writeAll(archivePath("b.zip"), archive);
    ZipReader reader;
    reader.open(archivePath("b.zip").string());
    ASSERT_EQ(reader.count(), 2u);
    EXPECT_TRUE(reader.entryInfo(0).isFolder());
    const zip::ZipEntry& file = reader.entryInfo(1);
    EXPECT_FALSE(file.isFolder());
    EXPECT_EQ(file.name, "folder/a.txt");
    EXPECT_EQ(file.uncompressedSize, 5000u);
    EXPECT_LT(file.compressedSize, 100u);
    std::tm local = zip::dosToLocalTime(file.modificationDate, file.modificationTime);
    EXPECT_EQ(local.tm_year, 125);
    EXPECT_EQ(local.tm_mon, 0);
    EXPECT_EQ(local.tm_mday, 1);
    EXPECT_EQ(local.tm_hour, 12);
    EXPECT_EQ(codeOf([&] { reader.entryInfo(2); }), 112);
}

TEST_F(ZipReaderTest, EndRecordIsFoundAcrossBlockBordersAndNotBeyondItsSpan) {
    // The search reads 4096-byte blocks from the end; comments of these lengths put
    // the signature across the first border.
    for (size_t commentLength : {4070u, 4074u, 4075u, 4076u, 4077u, 4078u, 65535u}) {
        writeAll(archivePath("c.zip"), buildZip({{"x.txt", "x"}}, std::string(commentLength, 'c')));
        ZipReader reader;
        EXPECT_EQ(codeOf([&] { reader.open(archivePath("c.zip").string()); }), 0) << commentLength;
        EXPECT_EQ(reader.count(), 1u);
    }
    std::string archive = buildZip({{"x.txt", "x"}}) + std::string(70000, 'c');
    writeAll(archivePath("d.zip"), archive);
    ZipReader reader;
    EXPECT_EQ(codeOf([&] { reader.open(archivePath("d.zip").string()); }), 116);
    writeAll(archivePath("e.zip"), "PK");
    EXPECT_EQ(codeOf([&] { reader.open(archivePath("e.zip").string()); }), 116);
    EXPECT_EQ(codeOf([&] { reader.open(archivePath("missing.zip").string()); }), 502);
}

TEST_F(ZipReaderTest, DamagedDataFailsAndLeavesNoFile) {
    std::string text(20000, 'q');
    for (size_t i = 0; i < text.size(); i += 3) text[i] = static_cast<char>('a' + i % 23);
    struct Case {
        const char* what;
        BuiltEntry entry;
        size_t flipAt;  // in the entry's data, or npos
        int expected;
    } cases[] = {
        {"stored byte flipped", {"f.txt", text, false}, 100, 102},
        {"deflated byte flipped", {"f.txt", text, true}, 40, 0},  // 102 or a zlib code
        {"inflates past its size", {"f.txt", std::string(1 << 20, '\0'), true, 1000}, std::string::npos, 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string archive = buildZip({c.entry});
        size_t dataStart = 30 + c.entry.name.size();
        if (c.flipAt != std::string::npos) archive[dataStart + c.flipAt] ^= 0x5A;
        writeAll(archivePath("f.zip"), archive);
        fs::path target = root_ / "out";
        writeAll(target / "f.txt", "the old file");

        ZipReader reader;
        reader.open(archivePath("f.zip").string());
        int code = codeOf([&] { reader.extractFile(0, target.string()); });
        if (c.expected)
            EXPECT_EQ(code, c.expected);
        else
            EXPECT_TRUE(code == 102 || (code >= 500 && code <= 507)) << code;
        EXPECT_EQ(readAll(target / "f.txt"), "the old file");
        EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 1);
    }
}

TEST_F(ZipReaderTest, CorruptingAnyHeaderByteNeverCrashes) {
    std::string good = buildZip({{"d/", "", false, UINT32_MAX, 0x10},
                                 {"d/a.txt", std::string(3000, 'z'), true},
                                 {"b.txt", "plain"}});
    for (size_t at = 0; at < good.size(); ++at) {
        if (at >= 30 + 7 && at < 30 + 7 + 20) continue;  // skip the compressed bytes
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0xFF);
        writeAll(archivePath("g.zip"), damaged);
        fs::path target = root_ / "out";
        codeOf([&] {
            ZipReader reader;
            reader.open(archivePath("g.zip").string());
            for (size_t i = 0; i < reader.count(); ++i) reader.extractFile(i, target.string());
        });
        for (const auto& item : fs::recursive_directory_iterator(root_))
            ASSERT_TRUE(fs::path(item.path()).string().rfind(root_.string(), 0) == 0);
    }
}

TEST_F(ZipReaderTest, NamesThatLeaveTheTargetAreRefused) {
    const char* names[] = {"../evil.txt", "..\\evil.txt", "a/../../evil.txt", "/tmp/evil.txt",
                           "\\evil.txt", "C:evil.txt", "c:\\evil.txt", "\\\\server\\share\\evil.txt",
                           "//server/share/evil.txt", "..", "./"};
    fs::path target = root_ / "inside" / "target";
    fs::create_directories(target);
    for (const char* name : names) {
        writeAll(archivePath("h.zip"), buildZip({{name, "evil"}}));
        ZipReader reader;
        reader.open(archivePath("h.zip").string());
        EXPECT_EQ(codeOf([&] { reader.extractFile(0, target.string()); }), 101) << name;
    }
    size_t items = std::distance(fs::recursive_directory_iterator(root_), fs::recursive_directory_iterator());
    EXPECT_EQ(items, 3u);  // inside, target, h.zip
    EXPECT_FALSE(fs::exists("/tmp/evil.txt"));

    // Names that stay inside are fine, with or without their folders.
    writeAll(archivePath("i.zip"), buildZip({{"a/./b/../c.txt", "ok"}}));
    ZipReader reader;
    reader.open(archivePath("i.zip").string());
    reader.extractFile(0, target.string());
    EXPECT_EQ(readAll(target / "a" / "c.txt"), "ok");
    reader.extractFile(0, target.string(), false);
    EXPECT_EQ(readAll(target / "c.txt"), "ok");
    reader.extractFile(0, target.string(), true, "renamed.txt");
    EXPECT_EQ(readAll(target / "renamed.txt"), "ok");
}

TEST(ZipPaths, SplitsAtEitherSlash) {
    std::vector<std::string> parts;
    ASSERT_TRUE(zip::safeNameParts("a\\b/c//d/.", parts));
    EXPECT_EQ(parts, (std::vector<std::string>{"a", "b", "c", "d"}));
    ASSERT_TRUE(zip::safeNameParts("a/../b", parts));
    EXPECT_EQ(parts, std::vector<std::string>{"b"});
    EXPECT_FALSE(zip::safeNameParts("", parts));
    EXPECT_FALSE(zip::safeNameParts("a:b", parts));  // drive-relative
    EXPECT_TRUE(zip::safeNameParts("ab:c", parts));
}

TEST(CZipException, Descriptions) {
    EXPECT_STREQ(CZipException(101).what(), "Damaged or not a zip file");
    EXPECT_STREQ(CZipException(110).what(), "Incorrect password set for the file being decrypted");
    EXPECT_STREQ(CZipException(113, "x.txt").what(), "Error while removing a file (x.txt)");
    EXPECT_STREQ(CZipException(114, "y").what(), "Error while renaming a file (y)");
    EXPECT_STREQ(CZipException(116).what(),
                 "The central directory was not found in the archive (or you were trying to open "
                 "not the last disk of a multi-disk archive)");
    EXPECT_STREQ(CZipException::fromZlib(Z_DATA_ERROR).what(), "Zlib library error (data error)");
    EXPECT_EQ(CZipException::fromZlib(Z_STREAM_END).code(), 500);
    EXPECT_EQ(CZipException::fromZlib(Z_VERSION_ERROR).code(), 507);
    EXPECT_STREQ(CZipException(2).what(), "No such file or directory");
    EXPECT_STREQ(CZipException(13).what(), "Permission denied");
    EXPECT_STREQ(CZipException(28).what(), "No space left on device");
    EXPECT_STREQ(CZipException(502, "", 2).what(), "No such file or directory");
    EXPECT_STREQ(CZipException(999).what(), "Unknown error");
}

}  // namespace
}  // namespace quillet
