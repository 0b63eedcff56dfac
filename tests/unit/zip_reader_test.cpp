#include "launcher/archive/zip_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "launcher/archive/zip_paths.h"
#include "tests/support/memory_file_system.h"
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
    // The encryption header checks one byte, which a wrong password matches once in
    // 256 (zip makes the header at random): the entry's CRC then refuses it. Either
    // way nothing is left, and among these passwords the header check must refuse.
    int refusedByHeader = 0;
    for (const char* password : {"", "wrong", "Pw", "pw ", "pass", "p", "word", "PW"}) {
        ZipReader reader;
        reader.open(archivePath("a.zip").string());
        reader.setPassword(password);
        fs::path target = root_ / "out";
        const int code = codeOf([&] { reader.extractFile(0, target.string()); });
        EXPECT_TRUE(code == 110 || code == 102) << password << ": " << code;
        refusedByHeader += code == 110;
        EXPECT_FALSE(fs::exists(target)) << password;
    }
    EXPECT_GT(refusedByHeader, 0);
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
    const std::string names[] = {"../evil.txt", "..\\evil.txt", "a/../../evil.txt", "/tmp/evil.txt",
                                 "\\evil.txt", "C:evil.txt", "c:\\evil.txt", "\\\\server\\share\\evil.txt",
                                 "//server/share/evil.txt", "..", "./",
                                 // What Windows resolves to the folder itself, a device or a stream.
                                 ".. /", ".../", ". /", "a/ . ", "CON", "sub/nul.txt", "x.txt:stream",
                                 // The file system acts on a name up to its NUL: on the folder above.
                                 std::string("..\0/evil.txt", 12), std::string("..\0/", 4)};
    fs::path target = root_ / "inside" / "target";
    fs::create_directories(target);
    const auto before = fs::last_write_time(root_ / "inside");
    for (const std::string& name : names) {
        writeAll(archivePath("h.zip"), buildZip({{name, "evil"}}));
        ZipReader reader;
        reader.open(archivePath("h.zip").string());
        EXPECT_EQ(codeOf([&] { reader.extractFile(0, target.string()); }), 101) << name;
    }
    size_t items = std::distance(fs::recursive_directory_iterator(root_), fs::recursive_directory_iterator());
    EXPECT_EQ(items, 3u);  // inside, target, h.zip
    EXPECT_EQ(fs::last_write_time(root_ / "inside"), before);
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

TEST_F(ZipReaderTest, UnixModesKeepOnlyPermissionBitsWithinTheUmask) {
    const mode_t umask = ::umask(022);
    ::umask(umask);
    constexpr uint16_t kMadeOnUnix = 0x0314, kMadeOnDos = 20;
    auto unixEntry = [&](const char* name, uint32_t mode) {
        return BuiltEntry{name, std::string("->") + name, false, UINT32_MAX, mode << 16, kMadeOnUnix};
    };
    struct Case {
        BuiltEntry entry;
        mode_t expected;
    } cases[] = {
        {unixEntry("set-uid", 0104777), 0777 & ~umask},
        {unixEntry("set-gid-sticky", 0103775), 0775 & ~umask},
        {unixEntry("private", 0100600), 0600 & ~umask},
        {unixEntry("folder/", 0040777), (0777 & ~umask) | 0700},
        {unixEntry("closed-folder/", 0040000), (0775 & ~umask) | 0700},
        // A link becomes a plain file holding its target, with a plain file's access.
        {unixEntry("link", 0120777), 0664 & ~umask},
        {{"dos", "d", false, UINT32_MAX, 0, kMadeOnDos}, 0664 & ~umask},
        {{"dos-read-only", "r", false, UINT32_MAX, 0x01, kMadeOnDos}, 0444 & ~umask},
    };
    std::vector<BuiltEntry> entries;
    for (const Case& c : cases) entries.push_back(c.entry);
    writeAll(archivePath("modes.zip"), buildZip(entries));
    fs::path target = root_ / "out";
    extractAll(archivePath("modes.zip"), target, "");

    for (const Case& c : cases) {
        fs::path path = target / c.entry.name;
        struct stat info {};
        ASSERT_EQ(::lstat(path.c_str(), &info), 0) << c.entry.name;
        EXPECT_EQ(info.st_mode & 07777, c.expected) << c.entry.name << std::oct << " mode " << info.st_mode;
        if (c.entry.name.back() != '/') {
            EXPECT_TRUE(S_ISREG(info.st_mode)) << c.entry.name;
            EXPECT_EQ(readAll(path), c.entry.data);
        }
    }
    // Folders made on the way give others no write access either.
    writeAll(archivePath("implicit.zip"), buildZip({unixEntry("made/on/the/way.txt", 0100644)}));
    ::umask(0);
    extractAll(archivePath("implicit.zip"), target, "");
    ::umask(umask);
    struct stat info {};
    ASSERT_EQ(::stat((target / "made" / "on").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0002, 0u);
}

TEST_F(ZipReaderTest, AnEmptyTargetFolderIsTheCurrentOne) {
    testing::MemoryFileSystem fileSystem;
    fileSystem.archive = buildZip({{"sub/a.txt", "a"}, {"b.txt", "b"}, {"folder/", "", false, UINT32_MAX, 0x10}});
    ZipReader reader(fileSystem);
    reader.open("memory");
    for (size_t i = 0; i < reader.count(); ++i) reader.extractFile(i, "");
    EXPECT_EQ(fileSystem.files, (std::map<std::string, std::string>{{"./sub/a.txt", "a"}, {"./b.txt", "b"}}));
    EXPECT_EQ(fileSystem.folders, (std::set<std::string>{".", "./sub", "./folder"}));
}

// A stored entry whose data holds the whole record of another entry, and central
// records that point at both: a small archive that writes one stored piece many times.
TEST_F(ZipReaderTest, EntriesThatShareStoredBytesAreRefusedBeforeAnythingIsWritten) {
    const std::string inner = testing::buildZipParts({{"inner.bin", std::string(4000, '\0'), true}}).local;
    testing::ZipParts nested = testing::buildZipParts({{"outer.bin", inner}});
    testing::ZipParts innerCentral = testing::buildZipParts({{"inner.bin", std::string(4000, '\0'), true}});
    testing::setLocalHeaderOffset(innerCentral.central[0], 30 + 9);
    nested.central.push_back(innerCentral.central[0]);

    testing::ZipParts oneHeader = testing::buildZipParts({{"same.bin", std::string(100000, '\0'), true}});
    oneHeader.central.resize(300, oneHeader.central[0]);

    // The outer entry's local header carries an extra field the central record does
    // not: its data then runs into the next entry's local header.
    const std::string next = testing::buildZipParts({{"next.txt", "next"}}).local;
    const std::string outerData = std::string(90, 'o') + next.substr(0, 10);
    testing::ZipParts extra = testing::buildZipParts({{"outer.txt", outerData}});
    extra.local.insert(30 + 9, std::string(10, 'x'));
    extra.local[28] = 10;  // local extra field length
    extra.local.resize(30 + 9 + 10 + 90);
    extra.local += next;
    testing::ZipParts nextCentral = testing::buildZipParts({{"next.txt", "next"}});
    testing::setLocalHeaderOffset(nextCentral.central[0], 30 + 9 + 10 + 90);
    extra.central.push_back(nextCentral.central[0]);

    struct Case {
        const char* what;
        std::string archive;
        bool failsToOpen;
    } cases[] = {
        {"a record inside another's data", testing::joinZip(nested), true},
        {"300 central records on one local header", testing::joinZip(oneHeader), true},
        {"data running into the next record", testing::joinZip(extra), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::MemoryFileSystem fileSystem;
        fileSystem.archive = c.archive;
        ZipReader reader(fileSystem);
        EXPECT_EQ(codeOf([&] { reader.open("memory"); }), c.failsToOpen ? 101 : 0);
        if (!c.failsToOpen) {
            EXPECT_EQ(codeOf([&] { reader.extractFile(0, "target"); }), 101);
        }
        EXPECT_EQ(fileSystem.bytesWritten, 0u);
        EXPECT_TRUE(fileSystem.folders.empty());
    }
}

TEST_F(ZipReaderTest, HighlyCompressibleDataStillExtracts) {
    constexpr uint32_t kSize = 64u << 20;
    testing::MemoryFileSystem fileSystem;
    fileSystem.keepContent = false;
    fileSystem.fileLimit = UINT64_MAX;
    fileSystem.archive = buildZip({{"zeros.bin", std::string(kSize, '\0'), true}, {"after.txt", "after"}});
    ASSERT_LT(fileSystem.archive.size(), kSize / 500);
    ZipReader reader(fileSystem);
    reader.open("memory");
    EXPECT_TRUE(reader.extractFile(0, "target"));
    EXPECT_TRUE(reader.extractFile(1, "target"));
    EXPECT_EQ(fileSystem.bytesWritten, kSize + 5u);
}

TEST_F(ZipReaderTest, AFailedEntryLeavesNothingItMade) {
    // Longer than the longest path the system takes (4096 here), with few folders.
    std::string deep;
    for (int i = 0; i < 450; ++i) deep += "folder-10/";
    std::string text(3000, 't');
    struct Case {
        const char* what;
        BuiltEntry entry;
        int expected;
    } cases[] = {
        {"450 nested folders", {deep + "f.txt", "deep"}, 502},
        {"a folder entry 450 deep", {deep, ""}, 502},
        {"a 65 000-character file name", {"sub/" + std::string(65000, 'n'), "long"}, 114},
        {"damaged data", {"a/b/c.txt", text}, 102},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string archive = buildZip({c.entry});
        if (c.expected == 102) archive[30 + c.entry.name.size() + 10] ^= 0x5A;
        writeAll(archivePath("deep.zip"), archive);
        fs::path target = root_ / "out";
        fs::create_directories(target);
        ZipReader reader;
        reader.open(archivePath("deep.zip").string());
        try {
            reader.extractFile(0, target.string());
            ADD_FAILURE() << "extracted";
        } catch (const CZipException& error) {
            EXPECT_EQ(error.code(), c.expected);
            EXPECT_LE(std::string(error.what()).size(), 300u);
        }
        EXPECT_TRUE(fs::is_empty(target));
    }
}

TEST(ZipPaths, SplitsAtEitherSlash) {
    std::vector<std::string> parts;
    ASSERT_TRUE(zip::safeNameParts("a\\b/c//d/.", parts));
    EXPECT_EQ(parts, (std::vector<std::string>{"a", "b", "c", "d"}));
    ASSERT_TRUE(zip::safeNameParts("a/../b", parts));
    EXPECT_EQ(parts, std::vector<std::string>{"b"});
    EXPECT_FALSE(zip::safeNameParts("", parts));
}

TEST(ZipPaths, PartsWindowsWouldNotCreateAsNamedAreRefused) {
    struct Case {
        std::string name;
        bool accepted;
    } cases[] = {
        // Windows strips trailing dots and spaces: nothing may be left of a part.
        {"x\\.. ", false}, {"...", false}, {"a/. /b", false}, {"a/ ", false}, {". .", false},
        {"a/.../b", false}, {"...a", true}, {"a.", true}, {"a /b", true}, {" a", true},
        // Devices, with any extension and any case.
        {"CON", false}, {"con.txt", false}, {"a/Nul", false}, {"PRN.", false}, {"aux .c", false},
        {"COM1", false}, {"lpt9.log", false}, {"COM\xC2\xB9", false}, {"lpt\xB3", false},
        {"CONIN$", false}, {"conout$.x", false},
        {"CONSOLE.txt", true}, {"COM10", true}, {"COM", true}, {"LPTX", true}, {"nul_x", true},
        // Drive letters and alternate streams.
        {"a:b", false}, {"ab:c", false}, {"x.txt::$DATA", false}, {"d/e:f/g", false},
        // A NUL cuts the name every file-system call sees; Windows takes no control character.
        {std::string("..\0", 3), false}, {std::string("a/..\0/b", 7), false}, {std::string("a\0b", 3), false},
        {"a\tb", false}, {"a\nb/c", false}, {"\x1f", false}, {"a\x7f", false}, {"\x80\xff", true},
    };
    std::vector<std::string> parts;
    for (const Case& c : cases) EXPECT_EQ(zip::safeNameParts(c.name, parts), c.accepted) << c.name;
}

TEST(CZipException, Descriptions) {
    EXPECT_STREQ(CZipException(101).what(), "Damaged or not a zip file");
    EXPECT_STREQ(CZipException(110).what(), "Incorrect password set for the file being decrypted");
    EXPECT_STREQ(CZipException(113, "x.txt").what(), "Error while removing a file (x.txt)");
    EXPECT_STREQ(CZipException(114, "y").what(), "Error while renaming a file (y)");
    // A long path is shown by its start and its end, cut between UTF-8 characters.
    std::string longPath = "/start" + std::string(70000, 'p') + "\xC3\xA9nd";
    std::string shown = CZipException(114, longPath).what();
    EXPECT_LE(shown.size(), 300u);
    EXPECT_EQ(shown.rfind("Error while renaming a file (/start", 0), 0u) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 5), "\xC3\xA9nd)");
    EXPECT_NE(shown.find("..."), std::string::npos);
    std::string accented;
    for (int i = 0; i < 200; ++i) accented += "\xC3\xA9";
    shown = CZipException(113, accented).what();
    size_t cut = shown.find("...");
    ASSERT_NE(cut, std::string::npos);
    EXPECT_EQ(static_cast<unsigned char>(shown[cut - 1]), 0xA9u);
    EXPECT_EQ(static_cast<unsigned char>(shown[cut + 3]), 0xC3u);
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
