// The zip reader over memory: finding the directory, entry headers, the
// local-header rules and the data checks.
#include <gtest/gtest.h>

#include "runtime/zip/ZipReader.h"
#include "tests/unit/zip_builder.h"

using namespace rt;
using testzip::Build;
using testzip::Entry;

namespace {

struct Collect : ByteSink {
    testzip::Bytes data;
    size_t largestPiece = 0;
    bool Write(const std::uint8_t* p, size_t n) override {
        data.insert(data.end(), p, p + n);
        largestPiece = std::max(largestPiece, n);
        return true;
    }
};

testzip::Bytes Pattern(size_t n) {
    testzip::Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 7 + i / 3) & 0xFF);
    return b;
}

}  // namespace

TEST(ZipReader, EntriesByIndexWithKindAttributesAndTimes) {
    Entry folder{"assets/", {}};
    folder.external = 0x10;
    Entry unixFolder{"bin", {}};
    unixFolder.madeBy = 0x031E;
    unixFolder.external = 0x41ED0000;  // drwxr-xr-x
    Entry readOnly{"ro.txt", testzip::Text("x")};
    readOnly.external = 0x21 | 0x02 | 0x04;
    Entry unixReadOnly{"unix-ro.txt", testzip::Text("y")};
    unixReadOnly.madeBy = 0x031E;
    unixReadOnly.external = 0x81240000;  // -r--r--r--
    Entry stamped{"stamped.txt", testzip::Text("z")};
    stamped.centralExtra = testzip::Timestamps(1700000000, 1700000100, 1600000000);
    const auto zip = Build({folder, unixFolder, readOnly, unixReadOnly, stamped});

    MemorySource source(zip);
    ZipReader reader;
    ASSERT_TRUE(reader.Open(source));
    ASSERT_EQ(reader.count(), 5u);
    ZipEntry e;
    ASSERT_TRUE(reader.ReadEntry(0, e));
    EXPECT_EQ(e.name, "assets/");
    EXPECT_TRUE(e.isFolder);
    ASSERT_TRUE(reader.ReadEntry(1, e));
    EXPECT_TRUE(e.isFolder);  // the Unix directory bit
    ASSERT_TRUE(reader.ReadEntry(2, e));
    EXPECT_FALSE(e.isFolder);
    EXPECT_EQ(e.attributes, kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    ASSERT_TRUE(reader.ReadEntry(3, e));
    EXPECT_EQ(e.attributes & kAttrReadOnly, kAttrReadOnly);  // owner-write bit clear
    ASSERT_TRUE(reader.ReadEntry(4, e));
    EXPECT_EQ(e.attributes, kAttrArchive);
    EXPECT_TRUE(e.times.hasModified && e.times.hasAccessed && e.times.hasCreated);
    EXPECT_EQ(e.times.modified, 1700000000);
    EXPECT_EQ(e.times.accessed, 1700000100);
    EXPECT_EQ(e.times.created, 1600000000);
    EXPECT_EQ(e.times.dosDate, 0x5B74);
    EXPECT_FALSE(reader.ReadEntry(5, e));
}

TEST(ZipReader, EndRecordScanFromTheBack) {
    const Entry file{"a.txt", testzip::Text("hello")};
    // Comments put the record at different distances from the end; 1007
    // puts its signature across the first 1024-byte step, which only the
    // 4-byte overlap catches.
    for (size_t comment : {0u, 5u, 1007u, 1020u, 3000u, 65000u}) {
        testzip::Options o;
        o.comment = std::string(comment, 'c');
        const auto zip = Build({file}, o);
        MemorySource source(zip);
        ZipReader reader;
        EXPECT_TRUE(reader.Open(source)) << comment;
        EXPECT_EQ(reader.count(), 1u);
    }
    // Beyond 65535 bytes from the end the record is not looked for.
    testzip::Options far;
    far.comment = std::string(65530, 'c');
    const auto zip = Build({file}, far);
    MemorySource source(zip);
    ZipReader reader;
    EXPECT_FALSE(reader.Open(source));
    EXPECT_EQ(reader.error(), ZipError::NoEndRecord);
}

TEST(ZipReader, RefusedDirectories) {
    const Entry file{"a.txt", testzip::Text("hello")};
    struct Case {
        const char* what;
        testzip::Options options;
        ZipError error;
    };
    std::vector<Case> cases(4);
    cases[0] = {"second disk", {}, ZipError::MultiDisk};
    cases[0].options.disk = 1;
    cases[1] = {"directory on another disk", {}, ZipError::MultiDisk};
    cases[1].options.directoryDisk = 2;
    cases[2] = {"entry counts disagree", {}, ZipError::MultiDisk};
    cases[2].options.entriesHereDelta = -1;
    cases[3] = {"ZIP64 entry count", {}, ZipError::Zip64};
    cases[3].options.zip64Count = true;
    for (const auto& c : cases) {
        const auto zip = Build({file}, c.options);
        MemorySource source(zip);
        ZipReader reader;
        EXPECT_FALSE(reader.Open(source)) << c.what;
        EXPECT_EQ(reader.error(), c.error) << c.what;
    }

    // A directory that runs into the end record, and a truncated archive.
    auto zip = Build({file, file});
    const size_t end = zip.size() - 22;
    zip[end + 12] += 4;  // directory size
    MemorySource overlong(zip);
    ZipReader reader;
    EXPECT_FALSE(reader.Open(overlong));
    EXPECT_EQ(reader.error(), ZipError::BadDirectory);

    auto whole = Build({file, file});
    const testzip::Bytes half(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    MemorySource truncated(half);
    EXPECT_FALSE(reader.Open(truncated));
}

TEST(ZipReader, DataStoredDeflatedAndInPieces) {
    Entry stored{"stored.bin", Pattern(50000)};
    stored.deflate = false;
    Entry deflated{"deflated.bin", Pattern(200000)};
    Entry described{"descriptor.bin", Pattern(30000)};
    described.dataDescriptor = true;
    Entry empty{"empty.txt", {}};
    const auto zip = Build({stored, deflated, described, empty});
    MemorySource source(zip);
    ZipReader reader;
    ASSERT_TRUE(reader.Open(source));
    for (size_t i = 0; i < reader.count(); ++i) {
        ZipEntry e;
        ASSERT_TRUE(reader.ReadEntry(i, e));
        Collect sink;
        ASSERT_TRUE(reader.Extract(e, sink)) << e.name << " " << static_cast<int>(reader.error());
        EXPECT_EQ(sink.data.size(), e.uncompressedSize);
        EXPECT_LE(sink.largestPiece, kInflatePiece);
    }
}

TEST(ZipReader, DamagedOrHostileDataFailsTheEntry) {
    struct Case {
        const char* what;
        Entry entry;
        ZipError error;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, ZipError error, auto change) {
        Entry e{"e.bin", Pattern(40000)};
        change(e);
        cases.push_back({what, e, error});
    };
    add("wrong CRC", ZipError::CrcMismatch, [](Entry& e) { e.crcDelta = 1; });
    add("stored with wrong CRC", ZipError::CrcMismatch, [](Entry& e) {
        e.deflate = false;
        e.crcDelta = 3;
    });
    add("corrupt deflate stream", ZipError::BadData, [](Entry& e) { e.corruptDeflate = true; });
    add("more data than declared", ZipError::TooLarge, [](Entry& e) { e.declaredSizeDelta = -1000; });
    add("less data than declared", ZipError::SizeMismatch, [](Entry& e) { e.declaredSizeDelta = 1000; });
    add("local method differs", ZipError::LocalHeaderMismatch, [](Entry& e) { e.localMethodDiffers = true; });
    add("encrypted", ZipError::Encrypted, [](Entry& e) { e.encrypted = true; });
    for (const auto& c : cases) {
        const auto zip = Build({c.entry});
        MemorySource source(zip);
        ZipReader reader;
        ASSERT_TRUE(reader.Open(source)) << c.what;
        ZipEntry e;
        ASSERT_TRUE(reader.ReadEntry(0, e));
        Collect sink;
        EXPECT_FALSE(reader.Extract(e, sink)) << c.what;
        EXPECT_EQ(reader.error(), c.error) << c.what;
        EXPECT_LE(sink.data.size(), e.uncompressedSize) << c.what;  // never past the declared size
    }
}

TEST(ZipReader, LocalHeaderMustAgreeUnlessADescriptorFollows) {
    Entry e{"e.bin", Pattern(1000)};
    auto zip = Build({e});
    zip[14] ^= 0xFF;  // the local header's CRC
    MemorySource source(zip);
    ZipReader reader;
    ASSERT_TRUE(reader.Open(source));
    ZipEntry entry;
    ASSERT_TRUE(reader.ReadEntry(0, entry));
    Collect sink;
    EXPECT_FALSE(reader.Extract(entry, sink));
    EXPECT_EQ(reader.error(), ZipError::LocalHeaderMismatch);

    e.dataDescriptor = true;  // local CRC and sizes are zero then
    const auto described = Build({e});
    MemorySource source2(described);
    ASSERT_TRUE(reader.Open(source2));
    ASSERT_TRUE(reader.ReadEntry(0, entry));
    EXPECT_TRUE(reader.Extract(entry, sink));
}

TEST(EntryNames, ThoseThatWouldLeaveTheDestinationAreUnsafe) {
    for (const char* name : {"a.txt", "dir/sub/x", "dir\\sub\\x", "..x", "x..", "a/.../b", "头像/默认.png"})
        EXPECT_TRUE(IsSafeEntryName(name)) << name;
    for (const char* name : {"", "../evil", "a/../../evil", "a\\..\\..\\evil", "..", "/etc/x", "\\x", "\\\\server\\s\\x",
                             "C:evil", "C:\\evil", "x:/y", "file.txt:stream", "a/.."})
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
}

#ifdef FUZZ_REGRESSIONS_DIR
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fuzz/zip_fuzz_harness.h"

// Every input the fuzzer ever found, replayed through its harness.
TEST(FuzzRegressions, EveryKeptInputRunsCleanly) {
    int replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(FUZZ_REGRESSIONS_DIR)) {
        if (!file.is_regular_file() || file.path().filename().string()[0] == '.') continue;
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        zipfuzz::FuzzOneArchive(data.data(), data.size());
        ++replayed;
    }
    SUCCEED() << replayed << " inputs";
}
#endif
