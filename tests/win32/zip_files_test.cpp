// The archive component's Windows side: Chinese names (including a GBK
// trail byte that equals "\"), attributes and the entry's times.
#include <gtest/gtest.h>

#include "runtime/zip/ExtractZip.h"
#include "tests/unit/zip_builder.h"
#include "tests/win32/test_support.h"

using namespace testing_support;

namespace {

std::uint64_t Ticks(const FILETIME& t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }
std::int64_t UnixOf(const FILETIME& t) { return static_cast<std::int64_t>(Ticks(t) / 10000000ULL) - 11644473600LL; }

}  // namespace

TEST(ZipFiles, ChineseNamesTimesAndAttributes) {
    ScratchFolder dir("zipwin");
    // "誠" is D5 5C in GBK: its second byte is a backslash.
    testzip::Entry gbk("头像/誠品/默认.png", testzip::Text("png"));
    testzip::Entry stamped("stamped.txt", testzip::Text("t"));
    stamped.centralExtra = testzip::Timestamps(1700000000, 1700000100, 1600000000);
    testzip::Entry dos("dos.txt", testzip::Text("d"));
    dos.dosDate = static_cast<std::uint16_t>(((2024 - 1980) << 9) | (3 << 5) | 15);  // 2024-03-15
    dos.dosTime = static_cast<std::uint16_t>((10 << 11) | (30 << 5) | 0);           // 10:30:00
    testzip::Entry hidden("hidden.txt", testzip::Text("h"));
    hidden.external = 0x23;  // read-only, hidden, archive
    const auto zip = testzip::Build({gbk, stamped, dos, hidden});
    ASSERT_TRUE(WriteWholeFile(dir / "美化.zip", zip));

    std::vector<int> percents;
    const Text destination = dir / "图片\\";
    EXPECT_EQ(rt::ExtractZip(dir / "美化.zip", destination, [&](int p, rt::ExtractState&) { percents.push_back(p); }),
              rt::kExtractDone);
    EXPECT_EQ(percents, (std::vector<int>{0, 25, 50, 75, 100}));

    // The folders come out as named: 头像 \ 誠品, not split at the trail byte.
    EXPECT_TRUE(PathExists(dir / "图片\\头像\\誠品\\默认.png"));

    auto times = [&](const Text& name, FILETIME& created, FILETIME& accessed, FILETIME& written) {
        HANDLE h = ::CreateFileW(Wide(destination + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        ::GetFileTime(h, &created, &accessed, &written);
        ::CloseHandle(h);
    };
    FILETIME c, a, w;
    times("stamped.txt", c, a, w);
    EXPECT_EQ(UnixOf(w), 1700000000);
    EXPECT_EQ(UnixOf(a), 1700000100);
    (void)c;  // Wine on Linux cannot set a creation time; Windows takes 1600000000
    times("dos.txt", c, a, w);
    SYSTEMTIME s;
    ::FileTimeToSystemTime(&w, &s);  // no time-zone shift of the MS-DOS time
    EXPECT_EQ(s.wYear, 2024);
    EXPECT_EQ(s.wMonth, 3);
    EXPECT_EQ(s.wDay, 15);
    EXPECT_EQ(s.wHour, 10);
    EXPECT_EQ(s.wMinute, 30);

    // Attributes given while writing are cleared afterwards.
    const DWORD attributes = ::GetFileAttributesW(Wide(destination + "hidden.txt").c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
}
