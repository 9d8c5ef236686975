// The manifest's per-file checks and the paths they are keyed by.
#include <gtest/gtest.h>

#include "app/FileChecks.h"
#include "app/InstallPlan.h"

using app::FileCheckFor;
using app::ServedPath;

namespace {

const char kDigest[] = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

}  // namespace

TEST(FileChecks, ServedPathIsWhatFollowsTheHost) {
    EXPECT_EQ(ServedPath("http://10.0.0.1:5001/qrn/shuju/yxtx.zip"), "/qrn/shuju/yxtx.zip");
    EXPECT_EQ(ServedPath("http://example.net/"), "/");
    EXPECT_EQ(ServedPath("http://example.net"), "/");
    EXPECT_EQ(ServedPath("http:///x"), "");
    EXPECT_EQ(ServedPath("/qrn/x"), "");
}

TEST(FileChecks, ALineGivesSizeAndDigest) {
    const rt::Text manifest = rt::Text("安装器版本号=（V11）\r\nsha256:/qrn/shuju/yxtx.zip=（295012 ") + kDigest +
                              "）\r\nsha256:/qrn/shuju/mhtp.zip=（7 " + kDigest + "）";
    const auto check = FileCheckFor(manifest, "/qrn/shuju/yxtx.zip");
    ASSERT_TRUE(check.has_value());
    EXPECT_EQ(check->size, 295012);
    EXPECT_EQ(rt::HexOf(check->digest), kDigest);
    EXPECT_EQ(FileCheckFor(manifest, "/qrn/shuju/mhtp.zip")->size, 7);
    EXPECT_FALSE(FileCheckFor(manifest, "/qrn/shuju/libcurl.dll").has_value());
    EXPECT_FALSE(FileCheckFor(manifest, "").has_value());
}

TEST(FileChecks, MalformedValuesCountAsNoLine) {
    for (const rt::Text& value : {rt::Text("295012"), rt::Text("295012 ") + kDigest + "0", rt::Text(" ") + kDigest,
                                 rt::Text("-1 ") + kDigest, rt::Text("2950x2 ") + kDigest,
                                 rt::Text("99999999999999999999 ") + kDigest, rt::Text("295012  ") + kDigest}) {
        const rt::Text manifest = "sha256:/f=（" + value + "）";
        EXPECT_FALSE(FileCheckFor(manifest, "/f").has_value()) << value;
    }
    // The largest size a 64-bit count holds still reads.
    EXPECT_EQ(FileCheckFor(rt::Text("sha256:/f=（9223372036854775807 ") + kDigest + "）", "/f")->size,
              9223372036854775807LL);
}

TEST(FileChecks, EveryFetchTaskCarriesTheCheckOfItsServedPath) {
    app::JobInputs in;
    in.folder = "D:\\TaVoli";
    in.serverHost = "10.0.0.1";
    in.productExeUrl = "http://10.0.0.1:5001/qrn/Quenra_z.exe";
    in.productName = "P";
    in.manifestText = rt::Text("sha256:/qrn/shuju/mhtp.zip=（12 ") + kDigest + "）sha256:/qrn/Quenra_z.exe=（34 " +
                      kDigest + "）";
    in.checksRequired = true;
    const std::vector<app::FetchTask> tasks = app::FetchTasks(in);
    ASSERT_EQ(tasks.size(), 5u);
    EXPECT_FALSE(tasks[0].check.has_value());  // the avatar pack has no line
    EXPECT_EQ(tasks[3].check->size, 12);       // the beautify pack
    EXPECT_EQ(tasks[4].check->size, 34);       // the main program
    for (const app::FetchTask& task : tasks) EXPECT_TRUE(task.checkRequired);
}
