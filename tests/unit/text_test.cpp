// Text operations: 1-based positions, -1 for "not found", and no match
// ever starting in the second byte of a two-byte GBK character.
#include <gtest/gtest.h>

#include "runtime/Text.h"

using namespace rt;

TEST(TextSlices, LeftRightMidBounds) {
    EXPECT_EQ(LeftText("abc", 2), "ab");
    EXPECT_EQ(LeftText("abc", 9), "abc");
    EXPECT_EQ(LeftText("abc", 0), "");
    EXPECT_EQ(LeftText("abc", -1), "");
    EXPECT_EQ(RightText("abc", 2), "bc");
    EXPECT_EQ(RightText("abc", 9), "abc");
    EXPECT_EQ(RightText("abc", 0), "");
    EXPECT_EQ(MidText("abc", 3, 5), "c");
    EXPECT_EQ(MidText("abc", 4, 1), "");
    EXPECT_EQ(MidText("abc", 0, 2), "");
    EXPECT_EQ(MidText("abc", 2, 0), "");
    EXPECT_EQ(MidText("abc", 1, 3), "abc");
}

TEST(TextSlices, CodesAndSpaces) {
    EXPECT_EQ(CodeAt("AB"), 'A');
    EXPECT_EQ(CodeAt("AB", 2), 'B');
    EXPECT_EQ(CodeAt("AB", 3), 0);  // the terminator
    EXPECT_EQ(CodeAt("", 1), 0);
    EXPECT_EQ(CodeAt("啊", 1), 0xB0);
    EXPECT_EQ(CharFromCode(65), "A");
    EXPECT_EQ(CharFromCode(0), "");
    EXPECT_EQ(SpaceText(3), "   ");
    EXPECT_EQ(SpaceText(-2), "");
    EXPECT_EQ(TextLength("头像"), 4);
}

struct FindCase {
    const char* text;
    const char* sought;
    int start;
    bool ignoreCase;
    int expected;
};

TEST(FindTextTable, ForwardSearch) {
    const FindCase cases[] = {
        {"abcabc", "bc", 1, false, 2},
        {"abcabc", "bc", 3, false, 5},
        {"abcabc", "bc", 6, false, -1},
        {"abcabc", "BC", 1, false, -1},
        {"abcabc", "BC", 1, true, 2},
        {"abc", "", 1, false, 1},
        {"abc", "", 4, false, -1},
        {"", "", 1, false, -1},
        {"", "a", 1, false, -1},
        {"abc", "abcd", 1, false, -1},
        {"abc", "a", 0, false, 1},   // a start before the text means the beginning
        {"abc", "a", -5, false, 1},
        // "啊" is B0 A1 and "Ａ" is A3 C1; "。" is A1 A3 and must not be
        // found across the boundary of the two characters.
        {"啊Ａ", "。", 1, false, -1},
        {"啊。", "。", 1, false, 3},
        {"啊。", "。", 2, false, 3},  // a start inside a character still respects boundaries
        // "丂" is 81 40: its trail byte is "@"; "丄" is 81 41, trail "A".
        {"丄", "A", 1, false, -1},
        {"丄", "a", 1, true, -1},
        {"丄A", "a", 1, true, 3},
        {"安装器版本号=（V11）", "=（", 1, false, 13},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignoreCase), c.expected)
            << "text=" << c.text << " sought=" << c.sought << " start=" << c.start;
    }
}

TEST(FindTextTable, ReverseSearch) {
    const FindCase cases[] = {
        {"abcabc", "bc", kToEnd, false, 5},
        {"abcabc", "bc", 4, false, 2},   // last match beginning at or before 4
        {"abcabc", "bc", 5, false, 5},
        {"abcabc", "bc", 1, false, -1},
        {"abcabc", "BC", kToEnd, true, 5},
        {"abcabc", "x", kToEnd, false, -1},
        {"abc", "a", 0, false, -1},
        {"啊Ａ", "。", kToEnd, false, -1},
        {"。啊。", "。", kToEnd, false, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindTextReverse(c.text, c.sought, c.start, c.ignoreCase), c.expected)
            << "text=" << c.text << " sought=" << c.sought << " start=" << c.start;
    }
}

TEST(CaseFolding, OnlyAsciiLettersOfOneByteCharacters) {
    EXPECT_EQ(UpperCase("abC1z"), "ABC1Z");
    EXPECT_EQ(LowerCase("ABc1Z"), "abc1z");
    EXPECT_EQ(LowerCase("丄A"), "丄a");  // 81 41 keeps its trail byte
    EXPECT_EQ(UpperCase("丄a"), "丄A");
}

TEST(ReplaceTextTable, StartCountAndCase) {
    struct Case {
        const char* text;
        const char* sought;
        const char* replacement;
        int start;
        int count;
        bool caseSensitive;
        const char* expected;
    } cases[] = {
        {"a\\\\b\\\\c", "\\\\", "\\", 1, kAllMatches, true, "a\\b\\c"},
        {"xaxaxa", "a", "b", 1, kAllMatches, true, "xbxbxb"},
        {"xaxaxa", "a", "b", 3, kAllMatches, true, "xaxbxb"},  // bytes before start unchanged
        {"xaxaxa", "a", "b", 1, 2, true, "xbxbxa"},
        {"xaxaxa", "a", "b", 3, 1, true, "xaxbxa"},
        {"xaxaxa", "a", "b", 1, 0, true, "xaxaxa"},
        {"xAxa", "a", "", 1, kAllMatches, false, "xx"},
        {"xAxa", "a", "", 1, kAllMatches, true, "xAx"},
        {"aaa", "aa", "b", 1, kAllMatches, true, "ba"},
        {"abc", "", "z", 1, kAllMatches, true, "abc"},
        {"啊Ａ", "。", "!", 1, kAllMatches, true, "啊Ａ"},
        {"C:\\\\\\\\x", "\\\\", "\\", 1, kAllMatches, true, "C:\\\\x"},  // one pass only
        {"#引号a#引号", "#引号", "\"", 1, kAllMatches, true, "\"a\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplaceText(c.text, c.sought, c.replacement, c.start, c.count, c.caseSensitive),
                  c.expected)
            << "text=" << c.text << " sought=" << c.sought;
    }
}

TEST(CompareTextTable, OrderAndCase) {
    EXPECT_EQ(CompareText("abc", "abc", true), 0);
    EXPECT_LT(CompareText("abc", "abd", true), 0);
    EXPECT_GT(CompareText("abd", "abc", true), 0);
    EXPECT_LT(CompareText("ab", "abc", true), 0);
    EXPECT_NE(CompareText("Installer.EXE", "installer.exe", true), 0);
    EXPECT_EQ(CompareText("Installer.EXE", "installer.exe", false), 0);
    EXPECT_GT(CompareText("啊", "a", true), 0);  // bytes compare unsigned
    EXPECT_NE(CompareText("丄", "丄a", false), 0);
}
