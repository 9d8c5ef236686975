// Entry names decoded as each entry says and judged as Windows reads them.
#include <gtest/gtest.h>

#include "runtime/zip/EntryName.h"

using namespace rt;

namespace {

std::u16string Decoded(const std::string& stored, bool utf8) {
    std::u16string name;
    EXPECT_TRUE(DecodeEntryName(stored, utf8, name)) << stored;
    return name;
}

}  // namespace

TEST(EntryName, DecodedAsUtf8WhenFlaggedAndAsGbkOtherwise) {
    EXPECT_EQ(Decoded("\xE7\x9A\xAE\xE8\x82\xA4/a.png", true), u"皮肤/a.png");
    EXPECT_EQ(Decoded("\xC6\xA4\xB7\xF4/a.png", false), u"皮肤/a.png");
    // The same bytes read the other way are another name: this is the
    // mojibake that a missing flag check gives.
    EXPECT_EQ(Decoded("\xE7\x9A", false), u"鐨");
    // "誠" is D5 5C in GBK: its trail byte is a backslash, which must not split it.
    EXPECT_EQ(Decoded("\xD5\x5C\xC6\xB7/x", false), u"誠品/x");

    std::u16string name;
    for (const char* bad : {"\xC0\xAF", "\xE7\x9A", "\xED\xA0\x80", "\xF8\x88\x80\x80\x80", "\xFF"})
        EXPECT_FALSE(DecodeEntryName(bad, true, name)) << "UTF-8 " << bad;
    for (const char* bad : {"\xC6", "a\xFF"}) EXPECT_FALSE(DecodeEntryName(bad, false, name)) << "GBK " << bad;
}

TEST(EntryName, RelativePathsWithBackslashes) {
    std::u16string relative;
    ASSERT_TRUE(SafeRelativePath(u"a/b\\c.txt", relative));
    EXPECT_EQ(relative, u"a\\b\\c.txt");
    ASSERT_TRUE(SafeRelativePath(u"皮肤/", relative));  // a folder entry
    EXPECT_EQ(relative, u"皮肤");
    for (const char16_t* name : {u"a.txt", u"..x", u"x..y", u"con2", u"COM10", u"lpt", u"nullity.txt",
                                 u"CONOUT", u" lead", u"誠品/默认.png", u"a~1.txt"})
        EXPECT_TRUE(IsSafeEntryName(name)) << std::string(name, name + std::char_traits<char16_t>::length(name));
}

TEST(EntryName, WhatWindowsWouldNotStoreAsNamedIsUnsafe) {
    const std::u16string zero(u"a\0b", 3);
    const std::u16string cases[] = {
        u"", u"/", u"a//b", u"a/./b", u".", u"..", u"../evil", u"a/../../evil", u"a\\..\\evil", u"/etc/x", u"\\x",
        u"\\\\server\\share\\x",
        // devices, in any case, with or without an extension
        u"CON", u"con", u"nul.txt", u"NUL.tar.gz", u"Aux", u"prn.", u"COM1", u"com9.log", u"LPT1.dat", u"lpt0",
        u"COM\u00B9", u"CONIN$", u"conout$", u"CON .txt", u"dir/nul/x",
        // Windows drops a trailing dot or space and writes another name
        u"a.", u"a ", u"...", u"a/.../b", u"dir./x", u"dir /x",
        // streams, drives, wildcards and controls
        u"C:evil", u"C:\\evil", u"file.txt:stream", u"a\u8bf4:b", u"a*b", u"a?b", u"a<b", u"a>b", u"a|b", u"a\"b",
        u"tab\there", u"line\nbreak", zero,
    };
    for (const auto& name : cases) {
        std::u16string relative = u"unchanged";
        EXPECT_FALSE(SafeRelativePath(name, relative)) << std::string(name.begin(), name.end());
    }
}

TEST(EntryName, HostileBytesBehindALeadByteStayHostileOnceDecoded) {
    // 0x81 '.' '.' is not "..": GBK has no character 81 2E, so the name is
    // refused at decoding rather than slipping through as bytes.
    std::u16string name;
    EXPECT_FALSE(DecodeEntryName("\x81../evil", false, name));
    // A ':' after a two-byte character is still a ':' (stream name).
    ASSERT_TRUE(DecodeEntryName("\xC6\xA4:stream", false, name));
    EXPECT_FALSE(IsSafeEntryName(name));
    // A high byte before "/" keeps its folder level.
    std::u16string relative;
    ASSERT_TRUE(DecodeEntryName("\xC6\xA4\xB7\xF4/x", false, name));
    ASSERT_TRUE(SafeRelativePath(name, relative));
    EXPECT_EQ(relative, u"皮肤\\x");
}
