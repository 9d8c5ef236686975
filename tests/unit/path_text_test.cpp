#include <gtest/gtest.h>

#include "app/PathText.h"

using namespace app;

TEST(TextBeforeTable, MarkersAndStarts) {
    struct Case {
        const char* text;
        const char* marker;
        int start;
        const char* expected;
    } cases[] = {
        {"D:\\GamesTaVoli", "TaVoli", 0, "D:\\Games"},
        {"D:\\Games", "TaVoli", 0, ""},
        {"D:\\TaVoliTaVoli", "TaVoli", 0, "D:\\"},
        {"D:\\TaVoliTaVoli", "TaVoli", -1, "D:\\TaVoli"},  // last occurrence
        {"D:\\TaVoliTaVoli", "TaVoli", 5, "D:\\TaVoli"},   // first at or after 5
        {"aXbXc", "X", -1, "aXb"},
        {"aXbXc", "X", -2, "aXb"},   // at or before position 5 - 2 + 1 = 4
        {"aXbXc", "X", -3, "a"},     // at or before position 3
        {"aXbXc", "X", -4, "a"},     // at or before position 2
        {"aXbXc", "X", -5, ""},      // at or before position 1: none
        {"TaVoli", "TaVoli", 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextBefore(c.text, c.marker, c.start), c.expected)
            << c.text << " / " << c.marker << " / " << c.start;
    }
}

TEST(TextBetweenTable, MarkersQuotesAndMisses) {
    struct Case {
        const char* text;
        const char* left;
        const char* right;
        const char* expected;
    } cases[] = {
        {"<<cd>>", "<<", ">>", "cd"},
        {"<<>>", "<<", ">>", ""},
        {"cd>>", "<<", ">>", ""},
        {"<<cd", "<<", ">>", ""},
        {"x=\"v\" y", "x=#引号", "#引号", "v"},
        {"更新提示=（a）b）", "更新提示=（", "）", "a"},
        {"更新提示=（a)b）", "更新提示=（", "）", "a)b"},
        {"D:\\\\TaVoli", ":", "TaVoli", "\\\\"},
        {"k=（1）k=（2）", "k=（", "）", "1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextBetween(c.text, c.left, c.right), c.expected) << c.text;
    }
    EXPECT_EQ(TextBetween("k=（1）k=（2）", "k=（", "）", 4), "2");
}

TEST(IsValidDrivePathTable, CollapsingAndRoots) {
    struct Case {
        const char* path;
        bool rejectRoot;
        bool expected;
    } cases[] = {
        {"C:\\\\Games\\\\x", true, true},
        {"C:\\\\", true, false},
        {"C:\\\\", false, true},
        {"C:\\", true, false},
        {"c:\\", false, true},
        {"C://x//y", true, true},
        {"C:/", true, false},
        {"1:\\x", false, false},
        {"中:\\x", false, false},
        {"C:x", false, false},
        {"C:", false, false},
        {"", false, false},
        {"\\\\server\\share", false, false},
        {"Cx\\y:\\z", true, true},  // the pair may stand anywhere after a letter
        {"D:\\Games\\TaVoli\\", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidDrivePath(c.path, c.rejectRoot), c.expected) << c.path << " " << c.rejectRoot;
    }
}

TEST(TrimAtNullTable, CutsAtTheFirstZeroCharacter) {
    const Bytes ab{'a', 0, 'b', 0, 0, 0, 'c', 0};
    EXPECT_EQ(TrimAtNull(ab, false), (Bytes{'a', 0, 'b', 0}));
    EXPECT_EQ(TrimAtNull(ab, true), (Bytes{'a', 0, 'b', 0, 0, 0}));
    EXPECT_EQ(TrimAtNull(Bytes{'a', 0, 'b', 0}, false), (Bytes{'a', 0, 'b', 0}));
    EXPECT_EQ(TrimAtNull(Bytes{'a', 0, 'b'}, false), (Bytes{'a', 0}));  // odd tail dropped
    EXPECT_TRUE(TrimAtNull(Bytes{0, 0, 'a', 0}, true).empty());
    EXPECT_TRUE(TrimAtNull(Bytes{'a'}, true).empty());
    EXPECT_TRUE(TrimAtNull(Bytes{}, false).empty());
    EXPECT_EQ(TrimAtNull(Bytes{0, 'x', 0, 0}, false), (Bytes{0, 'x'}));  // 0x7800 is not zero
}
