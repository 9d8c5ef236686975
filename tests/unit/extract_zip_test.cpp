// The archive component on the real file system of the build: Linux in
// the native build, Windows (under Wine) in the other.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "runtime/zip/ExtractZip.h"
#include "tests/unit/zip_builder.h"

using namespace rt;
using testzip::Build;
using testzip::Entry;
namespace fs = std::filesystem;

namespace {

class ExtractZipTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        root_ = fs::temp_directory_path() / ("extract_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                             "_" + std::to_string(++counter));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ec;
        for (auto& p : fs::recursive_directory_iterator(root_, ec))
            fs::permissions(p.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
    }

    // Paths as the installer gives them: "\" on Windows, "/" here.
    Text Path(const std::string& relative) const { return (root_ / relative).make_preferred().string(); }
    Text Destination() const { return Path("dest") + Separator(); }
    static Text Separator() { return std::string(1, static_cast<char>(fs::path::preferred_separator)); }

    Text WriteArchive(const testzip::Bytes& zip, const std::string& name = "pack.zip") {
        std::ofstream(root_ / name, std::ios::binary).write(reinterpret_cast<const char*>(zip.data()),
                                                           static_cast<std::streamsize>(zip.size()));
        return Path(name);
    }

    int Run(const Text& archive, const Text& destination) {
        percents_.clear();
        return ExtractZip(archive, destination, [this](int percent, ExtractState&) { percents_.push_back(percent); });
    }

    std::string Read(const std::string& relative) const {
        std::ifstream in(root_ / "dest" / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& relative) const { return fs::exists(root_ / relative); }
    // Everything under the destination, as generic relative paths.
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto& item : fs::recursive_directory_iterator(root_ / "dest", ec))
            names.insert(fs::relative(item.path(), root_ / "dest").generic_string());
        return names;
    }

    fs::path root_;
    std::vector<int> percents_;
};

Entry File(const std::string& name, const std::string& text) { return Entry{name, testzip::Text(text)}; }

}  // namespace

TEST_F(ExtractZipTest, FourEntriesReportAQuarterEach) {
    const Text archive = WriteArchive(Build({File("a.txt", "A"), File("b.txt", "BB"), File("c/d.txt", "D"), File("e", "")}));
    EXPECT_EQ(Run(archive, Destination()), kExtractDone);
    EXPECT_EQ(percents_, (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(Read("a.txt"), "A");
    EXPECT_EQ(Read("b.txt"), "BB");
    EXPECT_EQ(Read("c/d.txt"), "D");
    EXPECT_TRUE(Exists("dest/e"));
}

TEST_F(ExtractZipTest, FoldersSeparatorsStoredAndDeflatedEntries) {
    Entry emptyFolder{"empty/", {}};
    emptyFolder.external = 0x10;
    Entry stored = File("x\\stored.txt", std::string(5000, 's'));
    stored.deflate = false;
    const Text archive = WriteArchive(Build({emptyFolder, File("x/deflated.txt", std::string(90000, 'd')), stored}));
    // The destination is created, every missing level of it.
    const Text destination = Path("dest/new/levels");
    EXPECT_EQ(Run(archive, destination), kExtractDone);
    EXPECT_TRUE(fs::is_directory(root_ / "dest/new/levels/empty"));
    EXPECT_EQ(fs::file_size(root_ / "dest/new/levels/x/deflated.txt"), 90000u);
    EXPECT_EQ(fs::file_size(root_ / "dest/new/levels/x/stored.txt"), 5000u);  // "\" lands like "/"
}

TEST_F(ExtractZipTest, ReadOnlyEntriesAreWritableAfterEachRun) {
    Entry locked = File("theme/locked.cfg", "locked=1");
    locked.external = 0x21;
    const Text archive = WriteArchive(Build({locked}));
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Run(archive, Destination()), kExtractDone) << run;
        const auto perms = fs::status(root_ / "dest/theme/locked.cfg").permissions();
        EXPECT_NE(perms & fs::perms::owner_write, fs::perms::none) << run;
    }
}

TEST_F(ExtractZipTest, MissingArchiveOrDestination) {
    EXPECT_EQ(Run(Path("none.zip"), Destination()), kExtractMissing);
    EXPECT_EQ(percents_, std::vector<int>{0});
    const Text archive = WriteArchive(Build({File("a", "a")}));
    EXPECT_EQ(Run(archive, ""), kExtractMissing);
    EXPECT_EQ(Run("", Destination()), kExtractMissing);
}

TEST_F(ExtractZipTest, RefusedArchivesReportZeroOnce) {
    struct Case {
        const char* what;
        testzip::Bytes bytes;
    } cases[] = {
        {"not a zip", testzip::Text("<html><body>404 Not Found</body></html> padding padding")},
        {"empty zip", Build({})},
        {"shorter than 32 bytes", testzip::Text("PK\x03\x04")},
        {"multi-disk", [] {
             testzip::Options o;
             o.disk = 1;
             return Build({File("a", "a")}, o);
         }()},
        {"truncated", [] {
             auto z = Build({File("a", std::string(3000, 'a')), File("b", "b")});
             z.resize(z.size() - 40);
             return z;
         }()},
    };
    for (const auto& c : cases) {
        const Text archive = WriteArchive(c.bytes, "bad.zip");
        EXPECT_EQ(Run(archive, Destination()), kExtractFailed) << c.what;
        EXPECT_EQ(percents_, std::vector<int>{0}) << c.what;
    }
}

TEST_F(ExtractZipTest, AFailingEntryKeepsTheOnesBeforeAndReportsOneHundred) {
    Entry badCrc = File("2.txt", "two");
    badCrc.crcDelta = 1;
    Entry corrupt = File("2.txt", std::string(20000, 'z'));
    corrupt.corruptDeflate = true;
    Entry mismatch = File("2.txt", "two");
    mismatch.localMethodDiffers = true;
    Entry bomb = File("2.txt", std::string(100000, 'b'));
    bomb.declaredSizeDelta = -99000;
    for (const Entry& bad : {badCrc, corrupt, mismatch, bomb}) {
        const Text archive = WriteArchive(Build({File("1.txt", "one"), bad, File("3.txt", "three")}));
        EXPECT_EQ(Run(archive, Destination()), kExtractFailed);
        EXPECT_EQ(percents_, (std::vector<int>{0, 100}));
        EXPECT_EQ(Read("1.txt"), "one");
        EXPECT_FALSE(Exists("dest/3.txt"));
        EXPECT_EQ(Listing(), (std::set<std::string>{"1.txt"}));  // the failed entry leaves nothing
        fs::remove_all(root_ / "dest");
    }
}

TEST_F(ExtractZipTest, DataDescriptorEntriesUnpack) {
    Entry described = File("d.bin", std::string(40000, 'q'));
    described.dataDescriptor = true;
    const Text archive = WriteArchive(Build({described}));
    EXPECT_EQ(Run(archive, Destination()), kExtractDone);
    EXPECT_EQ(Read("d.bin").size(), 40000u);
}

TEST_F(ExtractZipTest, NamesThatWouldLeaveTheDestinationWriteNothingOutside) {
    for (const char* name : {"../evil.txt", "sub/../../evil.txt", "..\\evil.txt", "/evil.txt", "\\evil.txt", "C:evil.txt"}) {
        const Text archive = WriteArchive(Build({File("ok.txt", "ok"), File(name, "evil")}));
        EXPECT_EQ(Run(archive, Path("dest/inner") + Separator()), kExtractFailed) << name;
        EXPECT_EQ(percents_, (std::vector<int>{0, 100})) << name;
        EXPECT_TRUE(Exists("dest/inner/ok.txt")) << name;
        EXPECT_FALSE(Exists("dest/evil.txt")) << name;
        EXPECT_FALSE(Exists("evil.txt")) << name;
        EXPECT_FALSE(fs::exists(fs::path("/evil.txt"))) << name;
    }
}

TEST_F(ExtractZipTest, TheProgressHandlerCanStopTheExtraction) {
    const Text archive = WriteArchive(Build({File("a", "a"), File("b", "b"), File("c", "c")}));
    std::vector<int> seen;
    const int result = ExtractZip(archive, Destination(), [&](int percent, ExtractState& state) {
        seen.push_back(percent);
        state.stop = true;
    });
    EXPECT_EQ(result, kExtractDone);
    EXPECT_EQ(seen, std::vector<int>{0});
    EXPECT_TRUE(Exists("dest/a"));
    EXPECT_FALSE(Exists("dest/b"));
}

namespace {

// An entry whose stored name is given as bytes, flagged UTF-8 or not.
Entry Named(const std::string& stored, bool utf8, const std::string& text = "x") {
    Entry e{stored, testzip::Text(text)};
    if (utf8) e.moreFlags = 0x0800;
    return e;
}

}  // namespace

TEST_F(ExtractZipTest, NamesWindowsWouldNotStoreAsNamedCreateNothing) {
    struct Case {
        const char* what;
        std::string stored;
        bool utf8;
    } cases[] = {
        {"device", "CON", false},
        {"device with extension", "nul.txt", false},
        {"numbered device", "COM1", false},
        {"printer with extension", "LPT1.dat", false},
        {"console output", "CONOUT$", false},
        {"device as a folder", "dir/aux/x.txt", false},
        {"trailing dot", "a.", false},
        {"trailing space", "dir /a.txt", false},
        {"embedded zero", std::string("a\0b.txt", 7), false},
        {"control character", "a\x01.txt", false},
        {"colon after a high byte", "\xC6\xA4:stream", false},
        {"dot-dot behind a lead byte", "\x81../evil.txt", false},
        {"UTF-8 dot-dot", "\xE7\x9A\xAE/../../evil.txt", true},
        {"malformed UTF-8", "\xC0\xAF" "evil.txt", true},
    };
    for (const auto& c : cases) {
        const Text archive = WriteArchive(Build({File("ok.txt", "ok"), Named(c.stored, c.utf8)}));
        EXPECT_EQ(Run(archive, Destination()), kExtractFailed) << c.what;
        EXPECT_EQ(percents_, (std::vector<int>{0, 100})) << c.what;
        EXPECT_EQ(Listing(), (std::set<std::string>{"ok.txt"})) << c.what;
        for (const auto& item : fs::directory_iterator(root_))
            EXPECT_TRUE(item.path().filename() == "dest" || item.path().filename() == "pack.zip") << c.what;
        fs::remove_all(root_ / "dest");
    }
}

TEST_F(ExtractZipTest, EntriesSharingBytesAreRefusedBeforeAnythingIsWritten) {
    const auto one = Build({Entry{"big.bin", testzip::Bytes(1 << 20, 0)}});
    const Text archive = WriteArchive(testzip::RepeatDirectory(one, 200));
    EXPECT_LT(fs::file_size(root_ / "pack.zip"), 20000u);
    EXPECT_EQ(Run(archive, Destination()), kExtractFailed);
    EXPECT_EQ(percents_, std::vector<int>{0});
    EXPECT_TRUE(Listing().empty());
}

TEST_F(ExtractZipTest, AFailedEntryKeepsTheFileThatWasThereAndBlocksNoRetry) {
    fs::create_directories(root_ / "dest/theme");
    std::ofstream(root_ / "dest/theme/old.cfg") << "kept";
    Entry damaged = File("theme/old.cfg", "new");
    damaged.crcDelta = 1;
    Entry lockedDamaged = File("theme/locked.cfg", "locked=1");
    lockedDamaged.external = 0x21;  // read-only
    lockedDamaged.crcDelta = 1;
    for (const Entry& bad : {damaged, lockedDamaged}) {
        EXPECT_EQ(Run(WriteArchive(Build({bad})), Destination()), kExtractFailed);
        EXPECT_EQ(Read("theme/old.cfg"), "kept");
        EXPECT_EQ(Listing(), (std::set<std::string>{"theme", "theme/old.cfg"}));
    }
    // The next attempt, with the good pack, writes both.
    Entry locked = File("theme/locked.cfg", "locked=1");
    locked.external = 0x21;
    EXPECT_EQ(Run(WriteArchive(Build({File("theme/old.cfg", "new"), locked})), Destination()), kExtractDone);
    EXPECT_EQ(Read("theme/old.cfg"), "new");
    EXPECT_EQ(Read("theme/locked.cfg"), "locked=1");
}

namespace {

// The platform's file system, with a volume that has little room left.
class SmallVolume : public ExtractFileSystem {
public:
    explicit SmallVolume(std::uint64_t free, std::u16string escaping = u"") : free_(free), escaping_(escaping) {}
    bool IsFile(const std::u16string& p) override { return real_.IsFile(p); }
    bool IsFolder(const std::u16string& p) override { return real_.IsFolder(p); }
    bool CreateFolders(const std::u16string& p) override { return real_.CreateFolders(p); }
    std::unique_ptr<ByteSource> OpenArchive(const std::u16string& p) override { return real_.OpenArchive(p); }
    std::unique_ptr<OutputFile> CreateOutput(const std::u16string& p) override { return real_.CreateOutput(p); }
    bool Replace(const std::u16string& a, const std::u16string& b) override { return real_.Replace(a, b); }
    void Remove(const std::u16string& p) override { real_.Remove(p); }
    void SetNormalAttributes(const std::u16string& p) override { real_.SetNormalAttributes(p); }
    bool FullPath(const std::u16string& p, std::u16string& f) override {
        // A name that the system resolves somewhere else than it reads.
        if (!escaping_.empty() && p.size() >= escaping_.size() &&
            p.compare(p.size() - escaping_.size(), escaping_.size(), escaping_) == 0) {
            f = u"\\elsewhere\\" + escaping_;
            return true;
        }
        return real_.FullPath(p, f);
    }
    bool FreeBytes(const std::u16string&, std::uint64_t& bytes) override {
        bytes = free_;
        return true;
    }

private:
    ExtractFileSystem& real_ = PlatformFileSystem();
    std::uint64_t free_;
    std::u16string escaping_;
};

}  // namespace

TEST_F(ExtractZipTest, StopsBeforeTheDeclaredSizesPassTheFreeSpace) {
    const Text archive = WriteArchive(Build({File("a.bin", std::string(600, 'a')), File("b.bin", std::string(600, 'b'))}));
    SmallVolume volume(1000);
    std::vector<int> percents;
    EXPECT_EQ(ExtractZip(archive, Destination(), [&](int p, ExtractState&) { percents.push_back(p); }, volume),
              kExtractFailed);
    EXPECT_EQ(percents, (std::vector<int>{0, 100}));
    EXPECT_EQ(Listing(), (std::set<std::string>{"a.bin"}));
}

TEST_F(ExtractZipTest, ATargetTheSystemResolvesOutsideTheDestinationIsRefused) {
    const Text archive = WriteArchive(Build({File("a.txt", "a"), File("odd.txt", "o")}));
    SmallVolume volume(1u << 30, u"odd.txt");
    std::vector<int> percents;
    EXPECT_EQ(ExtractZip(archive, Destination(), [&](int p, ExtractState&) { percents.push_back(p); }, volume),
              kExtractFailed);
    EXPECT_EQ(percents, (std::vector<int>{0, 100}));
    EXPECT_EQ(Listing(), (std::set<std::string>{"a.txt"}));
}

#ifdef TOOL_ZIPS_DIR
// Archives made at test time by Info-ZIP, python's zipfile, 7-Zip and
// bsdtar (tests/fixtures/make_tool_zips.py).
TEST_F(ExtractZipTest, ArchivesMadeByCommonToolsUnpackByteForByte) {
    const fs::path tools(TOOL_ZIPS_DIR);
    std::string zeroTail = "first line\n";
    zeroTail.append(295000, '\0');
    const std::vector<std::pair<std::u16string, std::string>> named = {
        {u"皮肤/默认.png", std::string("png-1\0\x01\x02", 8)},
        {u"头像/誠品.txt", "\xE8\xAA\xA0 holds a trail byte 0x5C in GBK"},
        {u"表/十/深.cfg", "deep=1\r\n"},
    };
    for (const char* zip : {"zerotail-infozip.zip", "zerotail-python.zip", "zerotail-7zip.zip", "zerotail-bsdtar.zip",
                            "utf8-python.zip", "utf8-7zip.zip", "utf8-bsdtar.zip", "gbk-infozip.zip", "gbk-bsdtar.zip"}) {
        ASSERT_TRUE(fs::is_regular_file(tools / zip)) << zip << " was not made";
        std::ifstream in(tools / zip, std::ios::binary);
        const testzip::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(Run(WriteArchive(bytes), Destination()), kExtractDone) << zip;
        if (std::string(zip).rfind("zerotail", 0) == 0) {
            EXPECT_EQ(Read("zero.bin"), zeroTail) << zip;
        } else {
            for (const auto& file : named) {
                const fs::path path = root_ / "dest" / fs::path(file.first);
                std::ifstream f(path, std::ios::binary);
                EXPECT_TRUE(f.good()) << zip << ": " << fs::path(file.first).generic_string();
                EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()), file.second)
                    << zip;
            }
        }
        fs::remove_all(root_ / "dest");
    }
}
#endif
