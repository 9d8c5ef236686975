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
    // A stored entry in front makes the archive longer than a few scan
    // steps, so every 1024-byte window is a real read of its own.
    Entry padding{"padding.bin", Pattern(5000)};
    padding.deflate = false;
    const Entry file{"a.txt", testzip::Text("hello")};
    // The comment puts the record at different distances from the end;
    // 1007 to 1009 put its signature across the edge between the first two
    // windows, which only the 4-byte overlap catches.
    for (size_t comment : {0u, 5u, 1002u, 1006u, 1007u, 1008u, 1009u, 1010u, 2031u, 3000u, 65000u}) {
        testzip::Options o;
        o.comment = std::string(comment, 'c');
        const auto zip = Build({padding, file}, o);
        MemorySource source(zip);
        ZipReader reader;
        EXPECT_TRUE(reader.Open(source)) << comment;
        EXPECT_EQ(reader.count(), 2u) << comment;
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

TEST(ZipReader, TheEndRecordNearestTheEndWins) {
    // A comment that holds an end record of an empty archive: that one is
    // nearer the end, so it is the one read.
    testzip::Bytes fake;
    testzip::Put32(fake, 0x06054B50);
    for (int i = 0; i < 8; ++i) testzip::Put16(fake, 0);
    testzip::Put16(fake, 0);
    testzip::Options o;
    o.comment = std::string(100, 'c') + std::string(fake.begin(), fake.end());
    const auto zip = Build({Entry{"a.txt", testzip::Text("hello")}}, o);
    MemorySource source(zip);
    ZipReader reader;
    ASSERT_TRUE(reader.Open(source));
    EXPECT_EQ(reader.count(), 0u);
}

TEST(ZipReader, Zip64IsRefusedOnlyWhereItIsReallyUsed) {
    const Entry file{"a.txt", testzip::Text("hello")};
    // Stray locator bytes that point at no ZIP64 end record: an ordinary archive.
    testzip::Options stray;
    testzip::Put32(stray.beforeEnd, 0x07064B50);
    for (int i = 0; i < 4; ++i) testzip::Put32(stray.beforeEnd, 0x11111111);
    {
        const auto zip = Build({file}, stray);
        MemorySource source(zip);
        ZipReader reader;
        EXPECT_TRUE(reader.Open(source));
        EXPECT_EQ(reader.count(), 1u);
    }
    // A locator that points at a ZIP64 end record: refused.
    {
        const auto plain = Build({file});
        const std::uint32_t zip64End = static_cast<std::uint32_t>(plain.size() - 22);
        testzip::Options real;
        testzip::Put32(real.beforeEnd, 0x06064B50);
        for (int i = 0; i < 13; ++i) testzip::Put32(real.beforeEnd, 0);
        testzip::Put32(real.beforeEnd, 0x07064B50);
        testzip::Put32(real.beforeEnd, 0);
        testzip::Put32(real.beforeEnd, zip64End);
        testzip::Put32(real.beforeEnd, 0);
        testzip::Put32(real.beforeEnd, 1);
        const auto zip = Build({file}, real);
        MemorySource source(zip);
        ZipReader reader;
        EXPECT_FALSE(reader.Open(source));
        EXPECT_EQ(reader.error(), ZipError::Zip64);
    }
    // The 0xFFFF / 0xFFFFFFFF markers of the end record and of an entry.
    struct Field {
        const char* what;
        bool inEndRecord;
        size_t offset, width;
    } fields[] = {
        {"directory size", true, 12, 4}, {"directory offset", true, 16, 4},   {"entries here", true, 8, 2},
        {"compressed size", false, 20, 4}, {"uncompressed size", false, 24, 4}, {"local header offset", false, 42, 4},
    };
    for (const auto& f : fields) {
        auto zip = Build({file});
        const size_t directory = zip[zip.size() - 6] | (zip[zip.size() - 5] << 8);
        const size_t at = (f.inEndRecord ? zip.size() - 22 : directory) + f.offset;
        for (size_t k = 0; k < f.width; ++k) zip[at + k] = 0xFF;
        MemorySource source(zip);
        ZipReader reader;
        ZipEntry entry;
        const bool opened = reader.Open(source);
        EXPECT_FALSE(opened && reader.ReadEntry(0, entry)) << f.what;
        EXPECT_EQ(reader.error(), ZipError::Zip64) << f.what;
    }
}

TEST(ZipReader, NamesUpTo259Bytes) {
    const auto zip = Build({Entry{std::string(259, 'n'), testzip::Text("a")}, Entry{std::string(260, 'n'), {}}});
    MemorySource source(zip);
    ZipReader reader;
    ASSERT_TRUE(reader.Open(source));
    ZipEntry entry;
    EXPECT_TRUE(reader.ReadEntry(0, entry));
    EXPECT_FALSE(reader.ReadEntry(1, entry));
    EXPECT_EQ(reader.error(), ZipError::NameTooLong);
}

TEST(ZipReader, EntriesThatShareBytesAreRefused) {
    // 200 central records that all point at one 1 MiB entry: 11 KB that
    // would unpack to 200 MiB.
    const auto one = Build({Entry{"big.bin", testzip::Bytes(1 << 20, 0)}});
    const auto repeated = testzip::RepeatDirectory(one, 200);
    MemorySource source(repeated);
    ZipReader reader;
    ASSERT_TRUE(reader.Open(source));
    EXPECT_EQ(reader.count(), 200u);
    EXPECT_FALSE(reader.CheckLayout());
    EXPECT_EQ(reader.error(), ZipError::Overlap);

    // An entry whose data would run into the central directory.
    auto intoDirectory = Build({Entry{"a.bin", Pattern(3000)}});
    const size_t directory = intoDirectory[intoDirectory.size() - 6] | (intoDirectory[intoDirectory.size() - 5] << 8);
    intoDirectory[directory + 20] += 8;   // central compressed size
    MemorySource source2(intoDirectory);
    ASSERT_TRUE(reader.Open(source2));
    EXPECT_FALSE(reader.CheckLayout());

    const auto normal = Build({Entry{"a", Pattern(100)}, Entry{"b", {}}, Entry{"c", Pattern(70000)}});
    MemorySource source3(normal);
    ASSERT_TRUE(reader.Open(source3));
    EXPECT_TRUE(reader.CheckLayout());
}

TEST(ZipReader, AZeroTailThatFillsTheOutputBufferExactlyInflates) {
    // zlib consumes all input while it still holds output: the reader must
    // ask again instead of calling the stream short.
    std::string text = "first line\n";
    text.append(295000, '\0');
    const Entry tail{"zero.bin", testzip::Text(text)};
    const auto zip = Build({tail});
    MemorySource source(zip);
    ZipReader reader;
    ASSERT_TRUE(reader.Open(source));
    ZipEntry e;
    ASSERT_TRUE(reader.ReadEntry(0, e));
    Collect sink;
    ASSERT_TRUE(reader.Extract(e, sink)) << static_cast<int>(reader.error());
    EXPECT_EQ(sink.data, testzip::Text(text));
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
    Entry renamed{"a.txt", testzip::Text("hello")};
    renamed.localName = "b.txt";  // the same length, other bytes
    auto badCrc = Build({e});
    badCrc[14] ^= 0xFF;  // the local header's CRC
    ZipReader reader;
    ZipEntry entry;
    Collect sink;
    for (const auto& zip : {badCrc, Build({renamed})}) {
        MemorySource source(zip);
        ASSERT_TRUE(reader.Open(source));
        ASSERT_TRUE(reader.ReadEntry(0, entry));
        EXPECT_FALSE(reader.Extract(entry, sink));
        EXPECT_EQ(reader.error(), ZipError::LocalHeaderMismatch);
    }

    e.dataDescriptor = true;  // local CRC and sizes are zero then
    const auto described = Build({e});
    MemorySource source2(described);
    ASSERT_TRUE(reader.Open(source2));
    ASSERT_TRUE(reader.ReadEntry(0, entry));
    EXPECT_TRUE(reader.Extract(entry, sink));
}

#ifdef FUZZ_REGRESSIONS_DIR
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fuzz/zip_fuzz_harness.h"

// Every input the fuzzer kept (its minimised corpus and any crash found),
// replayed through its harness: unpacked for real, nothing outside.
TEST(FuzzRegressions, EveryKeptInputRunsCleanly) {
    int replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(FUZZ_REGRESSIONS_DIR)) {
        if (!file.is_regular_file() || file.path().filename().string()[0] == '.') continue;
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        zipfuzz::FuzzOneArchive(data.data(), data.size());
        ++replayed;
    }
    EXPECT_GT(replayed, 0) << "the kept inputs are missing: nothing was replayed";
}
#endif

// The window in front of the archive: every read gives the bytes a direct
// read would, small reads mostly come from memory, and reads past the end
// fail as they would.
TEST(BufferedSource, GivesTheSameBytesWithFewerReadsOfTheFile) {
    std::vector<std::uint8_t> bytes(300000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    struct Counting : MemorySource {
        using MemorySource::MemorySource;
        bool ReadAt(std::int64_t offset, void* buffer, size_t n) override {
            ++reads;
            return MemorySource::ReadAt(offset, buffer, n);
        }
        int reads = 0;
    } inner(bytes);
    BufferedSource buffered(inner);
    MemorySource direct(bytes);
    struct Read {
        std::int64_t offset;
        size_t n;
    } reads[] = {{0, 30},      {30, 46},     {76, 200},   {65530, 20} /* crosses the window */,
                 {1000, 40},   {100000, 65536} /* large: straight through */, {299990, 10},
                 {299995, 5},  {0, 0}};
    for (const Read& r : reads) {
        std::vector<std::uint8_t> a(r.n), b(r.n);
        ASSERT_TRUE(buffered.ReadAt(r.offset, a.data(), r.n)) << r.offset;
        ASSERT_TRUE(direct.ReadAt(r.offset, b.data(), r.n));
        EXPECT_EQ(a, b) << r.offset;
    }
    EXPECT_LT(inner.reads, 7);
    std::uint8_t piece[16];
    EXPECT_FALSE(buffered.ReadAt(299995, piece, 6));  // past the end
    EXPECT_FALSE(buffered.ReadAt(-1, piece, 1));
    EXPECT_FALSE(buffered.ReadAt(300001, piece, 0));
}
