#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "runtime/Bytes.h"
#include "runtime/CodePage.h"
#include "runtime/Convert.h"
#include "runtime/Decrypt.h"
#include "runtime/Utf8.h"

using namespace rt;

TEST(ToTextTable, ValuesOfEachKind) {
    EXPECT_EQ(ToText(0), "0");
    EXPECT_EQ(ToText(-42), "-42");
    EXPECT_EQ(ToText(std::int64_t{9007199254740993}), "9007199254740993");
    EXPECT_EQ(ToText(true), "真");
    EXPECT_EQ(ToText(false), "假");
    EXPECT_EQ(ToText(Text("abc")), "abc");
    EXPECT_EQ(ToText(Bytes{'h', 'i', 0, 'x'}), "hi");
    EXPECT_EQ(ToText(Bytes{}), "");
}

TEST(ToIntegerTable, AtoiRulesWithFullWidthFolding) {
    struct Case {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"123", 123},
        {"  -45xyz", -45},
        {"+7", 7},
        {"\t\n 8", 8},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"１２３", 123},       // full-width digits
        {"－１２", -12},       // full-width minus
        {"＋３", 3},
        {"　４２", 42},        // ideographic space counts as a blank
        {"1２3", 123},
        {"12。3", 12},
        {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases) EXPECT_EQ(ToInteger(c.text), c.expected) << c.text;
}

TEST(ToIntegerTable, FloatsTruncateTowardZero) {
    EXPECT_EQ(ToInteger(50.9), 50);
    EXPECT_EQ(ToInteger(-50.9), -50);
    EXPECT_EQ(ToInteger(151.0 / 3), 50);
    EXPECT_EQ(ToInteger(1e12), std::numeric_limits<std::int32_t>::max());
}

TEST(ToInt64Table, LargeValuesAndFullWidth) {
    EXPECT_EQ(ToInt64("268435456"), 268435456);
    EXPECT_EQ(ToInt64("  9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ToInt64("9223372036854775808"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ToInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(ToInt64("５０００００００００００"), 500000000000LL);
    EXPECT_EQ(ToInt64("   "), 0);
    EXPECT_EQ(ToInt64("x1"), 0);
}

TEST(Utf8Decoding, SequencesOfEveryLength) {
    // "A", "é" (2 bytes), "中" (3 bytes), U+1F600 (4 bytes).
    const Bytes input{'A', 0xC3, 0xA9, 0xE4, 0xB8, 0xAD, 0xF0, 0x9F, 0x98, 0x80};
    EXPECT_EQ(Utf8ToUtf16(input), std::u16string(u"A\u00E9\u4E2D\U0001F600"));
    EXPECT_EQ(Utf8ToUtf16(input).size(), 5u);  // the 4-byte sequence is a surrogate pair
}

TEST(Utf8Decoding, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16(Bytes{0xE4, 0xB8}), std::u16string(u"\uFFFD\uFFFD"));  // truncated
    EXPECT_EQ(Utf8ToUtf16(Bytes{0x80, 'a'}), std::u16string(u"\uFFFDa"));        // stray continuation
    EXPECT_EQ(Utf8ToUtf16(Bytes{0xC0, 0xAF}), std::u16string(u"\uFFFD\uFFFD"));  // overlong "/"
    EXPECT_EQ(Utf8ToUtf16(Bytes{0xF8, 0x88, 0x80, 0x80, 0x80}), std::u16string(u"\uFFFD"));  // 5 bytes, > U+10FFFF
    EXPECT_EQ(Utf8ToUtf16(Bytes{}), std::u16string());
}

TEST(Utf8ToText, ManifestTextBecomesGbk) {
    // UTF-8 of "安装器版本号=（V11）" with a byte-order mark in front.
    const char utf8[] = "\xEF\xBB\xBF\xE5\xAE\x89\xE8\xA3\x85\xE5\x99\xA8\xE7\x89\x88\xE6\x9C\xAC"
                        "\xE5\x8F\xB7=\xEF\xBC\x88V11\xEF\xBC\x89";
    const Bytes bytes(utf8, utf8 + sizeof(utf8) - 1);
    const Text text = Utf8ToText(bytes);
    EXPECT_NE(text.find("安装器版本号=（V11）"), Text::npos);
    EXPECT_EQ(Utf8ToText(Bytes{}), "");
    // A character outside the BMP has no GBK form: each of its two UTF-16
    // units becomes "?", the rest survives.
    EXPECT_EQ(Utf8ToText(Bytes{'a', 0xF0, 0x9F, 0x98, 0x80, 'b'}), "a??b");
}

TEST(PathConversion, InvalidGbkNamesNoPath) {
    std::u16string wide;
    ASSERT_TRUE(rt::PathToWide("D:\\游戏\\誠品", wide));
    EXPECT_EQ(wide, u"D:\\游戏\\誠品");
    // A lead byte without its trail, or a byte that begins nothing: no path,
    // rather than one with a replacement character that names another file.
    for (const char* bad : {"D:\\\xC6", "D:\\a\xFF.txt", "\x81\x30"}) EXPECT_FALSE(rt::PathToWide(bad, wide)) << bad;
}

TEST(PathConversion, CharactersGbkCannotHoldAreReportedNotBestFitted) {
    bool lossy = true;
    EXPECT_EQ(rt::WideToText(u"C:\\游戏", &lossy), "C:\\游戏");
    EXPECT_FALSE(lossy);
    for (const char16_t* name : {u"C:\\\u00C0b", u"C:\\\U0001F3AE", u"C:\\\uAC00"}) {
        const rt::Text text = rt::WideToText(name, &lossy);
        EXPECT_TRUE(lossy);
        EXPECT_EQ(text.substr(0, 3), "C:\\");
        EXPECT_EQ(text.find('A'), rt::Text::npos) << "a best-fit look-alike";
        rt::Text path;
        EXPECT_FALSE(rt::WideToPathText(name, path));
    }
}

TEST(Rc4, TwiceWithTheSamePassPhraseGivesTheInput) {
    const Bytes plain = ToBytes(Text("127.0.0.1"));
    for (const Text& key : {Text("thirteenchars"), Text(""), Text("k")}) {
        const Bytes once = DecryptBytes(plain, key, kRc4);
        EXPECT_EQ(once.size(), plain.size());
        if (!key.empty()) {
            EXPECT_NE(once, plain);
        }
        EXPECT_EQ(DecryptBytes(once, key, kRc4), plain) << key;
    }
}

TEST(Rc4, KnownKeystream) {
    // The classic RC4 test vector: key "Key", plaintext "Plaintext".
    const Bytes cipher = DecryptBytes(ToBytes(Text("Plaintext")), "Key", kRc4);
    const Bytes expected{0xBB, 0xF3, 0x16, 0xE8, 0xD9, 0x40, 0xAF, 0x0A, 0xD3};
    EXPECT_EQ(cipher, expected);
}

TEST(Rc4, EmptyPassPhraseStillAppliesTheIdentityKeystream) {
    const Bytes zeros(4, 0);
    const Bytes stream = DecryptBytes(zeros, "", kRc4);
    // With the identity permutation the first keystream byte is S[S[1]+S[1]] = 2.
    EXPECT_EQ(stream[0], 2);
}

TEST(DecryptBytes, BlockCipherIsNotProvided) {
    EXPECT_TRUE(DecryptBytes(Bytes{1, 2, 3, 4, 5, 6, 7, 8}, "key").empty());
}

TEST(BytesOps, SlicesSearchAndBits) {
    const Bytes b{1, 2, 3, 2, 3};
    EXPECT_EQ(LeftBytes(b, 2), (Bytes{1, 2}));
    EXPECT_EQ(RightBytes(b, 9), b);
    EXPECT_EQ(FindBytes(b, Bytes{2, 3}), 2);
    EXPECT_EQ(FindBytes(b, Bytes{2, 3}, 3), 4);
    EXPECT_EQ(FindBytes(b, Bytes{4}), -1);
    EXPECT_EQ(ZeroBytes(3), (Bytes{0, 0, 0}));
    EXPECT_TRUE(ZeroBytes(0).empty());
    EXPECT_EQ(ToBytes(std::int32_t{0x01020304}), (Bytes{4, 3, 2, 1}));
    EXPECT_EQ(ToBytes(Text("ab")), (Bytes{'a', 'b'}));
    EXPECT_EQ(BitAnd(0xF0, 0x3C, 0x30), 0x30);
    EXPECT_EQ(BitOr(1, 2, 4), 7);
    EXPECT_EQ(ShiftRight(256, 33), 128);  // count masked to 0..31
    EXPECT_EQ(ShiftRight(-8, 1), -4);
}
