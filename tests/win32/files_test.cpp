#include <gtest/gtest.h>

#include "runtime/Convert.h"
#include "runtime/Files.h"
#include "tests/win32/test_support.h"

using namespace testing_support;
using rt::File;

TEST(Files, WriteBytesToFileCreatesTruncatesAndConcatenates) {
    ScratchFolder dir("write");
    const Text path = dir / "libcurl.dll";
    const Bytes a{1, 2, 3}, b{4, 5};
    EXPECT_TRUE(rt::WriteBytesToFile(path, {&a, &b}));
    EXPECT_EQ(ReadWholeFile(path), (Bytes{1, 2, 3, 4, 5}));

    // Empty bytes still truncate: a failed fetch leaves an empty file.
    EXPECT_TRUE(rt::WriteBytesToFile(path, Bytes()));
    EXPECT_TRUE(PathExists(path));
    EXPECT_TRUE(ReadWholeFile(path).empty());

    EXPECT_FALSE(rt::WriteBytesToFile("", a));
    EXPECT_FALSE(rt::WriteBytesToFile(dir / "missing\\x.bin", a));
}

TEST(Files, ChineseFileNamesComeOutRight) {
    ScratchFolder dir("gbk");
    const Text path = dir / "头像.zip";
    EXPECT_TRUE(rt::WriteBytesToFile(path, Bytes{7}));
    WIN32_FIND_DATAW record;
    HANDLE find = ::FindFirstFileW(Wide(dir / "*.zip").c_str(), &record);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    ::FindClose(find);
    EXPECT_EQ(std::wstring(record.cFileName), L"\u5934\u50CF.zip");
    EXPECT_TRUE(rt::FileExists(path));
    EXPECT_TRUE(rt::FileExists(dir / "*.zip"));
    EXPECT_FALSE(rt::FileExists(dir / "*.exe"));
    EXPECT_TRUE(rt::DeleteFile(path));
    EXPECT_FALSE(rt::DeleteFile(path));
    EXPECT_FALSE(rt::FileExists(path));
}

TEST(Files, CreateFolderMakesOneLevelOnly) {
    ScratchFolder dir("mkdir");
    EXPECT_FALSE(rt::CreateFolder(dir / "a\\b"));
    EXPECT_TRUE(rt::CreateFolder(dir / "a"));
    EXPECT_FALSE(rt::CreateFolder(dir / "a"));  // exists already
    EXPECT_TRUE(rt::CreateFolder(dir / "a\\b"));
}

TEST(Files, OpenModesTruncateOrKeep) {
    ScratchFolder dir("modes");
    const Text path = dir / "f.bin";
    ASSERT_TRUE(WriteWholeFile(path, Bytes{1, 2, 3}));

    {   // mode 5 keeps the content; SeekToEnd + WriteBytes appends
        File f = rt::OpenFile(path, rt::kOpenOrCreateWrite);
        ASSERT_TRUE(f);
        EXPECT_TRUE(rt::SeekToEnd(f));
        EXPECT_TRUE(rt::WriteBytes(f, Bytes{4}));
        rt::CloseFile(f);
        EXPECT_FALSE(f);
    }
    EXPECT_EQ(ReadWholeFile(path), (Bytes{1, 2, 3, 4}));

    {   // mode 4 truncates
        File f = rt::OpenFile(path, rt::kOpenCreateTruncateWrite);
        ASSERT_TRUE(f);
        EXPECT_TRUE(rt::WriteBytes(f, Bytes{9}));
    }
    EXPECT_EQ(ReadWholeFile(path), (Bytes{9}));

    // Modes 1 to 3 need an existing file; 5 and 6 create one.
    EXPECT_FALSE(rt::OpenFile(dir / "none.bin", rt::kOpenRead));
    EXPECT_FALSE(rt::OpenFile(dir / "none.bin", rt::kOpenReadWrite));
    EXPECT_TRUE(rt::OpenFile(dir / "new6.bin", rt::kOpenOrCreateReadWrite));
    EXPECT_TRUE(PathExists(dir / "new6.bin"));

    // Out-of-range modes and shares give no handle.
    EXPECT_FALSE(rt::OpenFile(path, 0));
    EXPECT_FALSE(rt::OpenFile(path, 7));
    EXPECT_FALSE(rt::OpenFile(path, rt::kOpenRead, 0));
    EXPECT_FALSE(rt::OpenFile(path, rt::kOpenRead, -1));
}

TEST(Files, ShareModesAreHonoured) {
    ScratchFolder dir("share");
    const Text path = dir / "f.bin";
    ASSERT_TRUE(WriteWholeFile(path, Bytes{1}));
    {
        File exclusive = rt::OpenFile(path, rt::kOpenRead, rt::kShareExclusive);
        ASSERT_TRUE(exclusive);
        EXPECT_FALSE(rt::OpenFile(path, rt::kOpenRead));
    }
    {
        File denyWrite = rt::OpenFile(path, rt::kOpenRead, rt::kShareDenyWrite);
        ASSERT_TRUE(denyWrite);
        EXPECT_TRUE(rt::OpenFile(path, rt::kOpenRead, rt::kShareDenyNone));
        EXPECT_FALSE(rt::OpenFile(path, rt::kOpenWrite, rt::kShareDenyNone));
    }
    {
        File denyNone = rt::OpenFile(path, rt::kOpenReadWrite);
        EXPECT_TRUE(rt::OpenFile(path, rt::kOpenReadWrite));
    }
}

TEST(ProfileFile, WrittenInGbkWithKeysOverwrittenAndOtherLinesKept) {
    ScratchFolder dir("ini");
    const Text ini = dir / "Tavoli.ini";
    ASSERT_TRUE(WriteWholeFile(ini, rt::ToBytes(Text("; keep me\r\n[other]\r\nx=1\r\n"))));

    const Text prompt = "这是Quenra助手生成的一个配置文件，请勿删除";
    EXPECT_TRUE(rt::WriteIniValue(ini, "prompt", Text("prompt"), Text("old")));
    EXPECT_TRUE(rt::WriteIniValue(ini, "prompt", Text("prompt"), prompt));
    EXPECT_TRUE(rt::WriteIniValue(ini, "BASE", Text("path"), Text("D:\\游戏\\TaVoli")));

    const Text content = rt::ToText(ReadWholeFile(ini));
    EXPECT_NE(content.find("; keep me"), Text::npos);
    EXPECT_NE(content.find("x=1"), Text::npos);
    EXPECT_NE(content.find("[prompt]\r\nprompt=" + prompt + "\r\n"), Text::npos);  // GBK bytes
    EXPECT_EQ(content.find("old"), Text::npos);
    EXPECT_NE(content.find("[BASE]\r\npath=D:\\游戏\\TaVoli"), Text::npos);

    // An absent value deletes the key, an absent key the section.
    EXPECT_TRUE(rt::WriteIniValue(ini, "BASE", Text("path"), std::nullopt));
    EXPECT_EQ(rt::ToText(ReadWholeFile(ini)).find("path="), Text::npos);
    EXPECT_TRUE(rt::WriteIniValue(ini, "prompt", std::nullopt, std::nullopt));
    EXPECT_EQ(rt::ToText(ReadWholeFile(ini)).find("[prompt]"), Text::npos);
}
