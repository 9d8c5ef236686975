#include <gtest/gtest.h>

#include "app/Brands.h"
#include "runtime/Bytes.h"
#include "runtime/Utf8.h"

using namespace app;

TEST(ManifestValueTable, CutsValuesAsTheServerWritesThem) {
    const Text manifest =
        "安装器版本号=（V11）\r\n更新提示=（有新版本）\r\nQuenra自销更新跳转=（http://a/q）"
        "Tavoli自销更新跳转=（http://a/t）Quenra分销更新跳转=（http://a/qf）";
    struct Case {
        Text text;
        Text key;
        Text expected;
    } cases[] = {
        {manifest, kVersionKey, "V11"},
        {manifest, kUpdatePromptKey, "有新版本"},
        {manifest, "Quenra自销更新跳转=（", "http://a/q"},
        {manifest, "Quenra分销更新跳转=（", "http://a/qf"},
        {manifest, "Zelkan自销更新跳转=（", ""},                         // another brand's key only
        {manifest, "自销更新跳转=（", "http://a/q"},                     // bare marker: the first self-sale key
        {"安装器版本号=（V12）安装器版本号=（V11）", kVersionKey, "V12"},  // first occurrence wins
        {"更新提示=（a）b）", kUpdatePromptKey, "a"},
        {"更新提示=（a)b）", kUpdatePromptKey, "a)b"},                     // ")" does not close a value
        {"更新提示=（a)b", kUpdatePromptKey, ""},                          // never closed
        {"安装器版本号=（）", kVersionKey, ""},                            // adjacent markers
        {"安装器版本号=(V11)", kVersionKey, ""},                           // ASCII brackets are no key
        {"", kVersionKey, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ManifestValue(c.text, c.key), c.expected) << c.key;
}

TEST(ManifestValueTable, ByteOrderMarkDoesNoHarm) {
    // UTF-8 with a byte-order mark, converted the way the installer does.
    const char utf8[] = "\xEF\xBB\xBF\xE5\xAE\x89\xE8\xA3\x85\xE5\x99\xA8\xE7\x89\x88\xE6\x9C\xAC"
                        "\xE5\x8F\xB7=\xEF\xBC\x88V11\xEF\xBC\x89";
    const Text text = rt::Utf8ToText(rt::Bytes(utf8, utf8 + sizeof(utf8) - 1));
    EXPECT_EQ(ManifestValue(text, kVersionKey), "V11");
}

TEST(BrandRows, EveryDisplayNameSelectsItsRow) {
    struct Row {
        const char* name;
        const char* code;
        const char* shortName;
    } rows[] = {
        {"LOL Tavoli助手", "tv", "Tavoli"}, {"LOL Quenra助手", "qn", "Quenra"}, {"Vispo换肤盒子", "VS", "VS"},
        {"LOL Morvik助手", "mv", "Morvik"}, {"LOL Zelkan助手", "zk", "Zelkan"}, {"Irdel换肤助手", "ID", "ID"},
    };
    ASSERT_EQ(BrandTable().size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_STREQ(BrandTable()[i].displayName, rows[i].name);
        auto brand = SelectBrand(rows[i].name);
        ASSERT_TRUE(brand) << rows[i].name;
        EXPECT_STREQ(brand->code, rows[i].code);
        EXPECT_STREQ(brand->shortName, rows[i].shortName);
    }
    EXPECT_FALSE(SelectBrand("lol quenra助手"));  // byte for byte
    EXPECT_FALSE(SelectBrand("LOL Quenra助手 "));
    EXPECT_FALSE(SelectBrand(""));
}

TEST(BrandRows, AddressesForEachChannel) {
    EXPECT_EQ(ManifestUrl("127.0.0.1"), "http://127.0.0.1:5001/qrn/azq.txt");
    EXPECT_EQ(ProductExeUrl("127.0.0.1", "qn", false), "http://127.0.0.1:5001/qrn/exe/zcx/qn_z.exe");
    EXPECT_EQ(ProductExeUrl("h", "qn", true), "http://h:5001/qrn/exe/zcx/qn_f.exe");
    EXPECT_EQ(ProductExeUrl("h", "", false), "http://h:5001/qrn/exe/zcx/_z.exe");  // no brand matched
    EXPECT_EQ(UpdatePageKey("Quenra", false), "Quenra自销更新跳转=（");
    EXPECT_EQ(UpdatePageKey("Quenra", true), "Quenra分销更新跳转=（");
    EXPECT_EQ(UpdatePageKey("", false), "自销更新跳转=（");
    EXPECT_EQ(DataFileUrl("h", "yxtx.zip"), "http://h:5001/qrn/shuju/yxtx.zip");
}

#include "app/UpdateDecision.h"

TEST(UpdateDecision, ReadThenDecide) {
    const Text text = "安装器版本号=（V11）\r\n更新提示=（请更新）\r\nQuenra自销更新跳转=（http://u/q）\r\n"
                      "Quenra分销更新跳转=（http://u/qf）\r\n";
    const Manifest self = ParseManifest(text, "Quenra", false);
    EXPECT_EQ(self.version, "V11");
    EXPECT_EQ(self.prompt, "请更新");
    EXPECT_EQ(self.updatePage, "http://u/q");
    EXPECT_EQ(ParseManifest(text, "Quenra", true).updatePage, "http://u/qf");
    EXPECT_EQ(ParseManifest(text, "Tavoli", false).updatePage, "");

    struct Case {
        Text manifest, installer;
        UpdateAction action;
    } cases[] = {
        {text, "V11", UpdateAction::Proceed},
        {text, "V10", UpdateAction::ShowUpdate},
        {"安装器版本号=（v11）", "V11", UpdateAction::ShowUpdate},  // byte for byte, case included
        {"", "V11", UpdateAction::ServerUnreachable},
        {"<html>404 Not Found</html>", "V11", UpdateAction::ServerUnreachable},
        {"安装器版本号=（）", "V11", UpdateAction::ServerUnreachable},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideUpdate(ParseManifest(c.manifest, "Quenra", false), c.installer), c.action) << c.manifest;
}

TEST(UpdateDecision, ASignatureThatFailsRejectsTheManifest) {
    const Manifest m = ParseManifest("安装器版本号=（V11）", "Quenra", false);
    using T = app::ManifestTrust;
    EXPECT_EQ(DecideUpdate(m, "V11", T::Verified), UpdateAction::Proceed);
    EXPECT_EQ(DecideUpdate(m, "V11", T::Failed), UpdateAction::Rejected);
    EXPECT_EQ(DecideUpdate(m, "V10", T::Failed), UpdateAction::Rejected);  // no update page for a forged notice
    EXPECT_EQ(DecideUpdate(Manifest(), "V11", T::Failed, true), UpdateAction::ServerUnreachable);
}

TEST(UpdateDecision, OnlyWebAddressesAreOpened) {
    for (const char* yes : {"http://u/q", "HTTPS://example.net/x", "Http://a"}) EXPECT_TRUE(app::IsWebAddress(yes)) << yes;
    for (const char* no : {"", "http://", "file:///C:/Windows/notepad.exe", "\\\\host\\share\\x.exe",
                           "C:\\Windows\\System32\\cmd.exe", " http://u", "ftp://u", "httpx://u", "javascript:alert(1)"})
        EXPECT_FALSE(app::IsWebAddress(no)) << no;
}
