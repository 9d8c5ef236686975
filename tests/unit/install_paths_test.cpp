#include <gtest/gtest.h>

#include "app/InstallPaths.h"

using namespace app;

TEST(BrowseInstallFolderTable, ChosenFoldersEndInOneFolderNamedTaVoli) {
    const Text fallback = "C:\\users\\me\\AppData\\Roaming\\TaVoli";
    struct Case {
        Text chosen, custom, shown;
    } cases[] = {
        {"D:\\Games", "D:\\Games\\TaVoli", "D:\\Games"},
        {"D:\\", "D:\\TaVoli", "D:\\"},          // a drive root
        {"E:\\Apps", "E:\\Apps\\TaVoli", "E:\\Apps"},
        {"D:\\TaVoli", "D:\\TaVoli", "D:\\"},    // the product folder itself
        {"D:\\tavoli", "D:\\TaVoli", "D:\\"},    // in another case
        {"D:\\Games\\TaVoli\\x", "D:\\Games\\TaVoli", "D:\\Games"},  // a folder inside it
        {"D:\\TaVoliGames\\Sub", "D:\\TaVoliGames\\Sub\\TaVoli", "D:\\TaVoliGames\\Sub"},  // the word inside a name
        {"C:\\MyTaVoliData", "C:\\MyTaVoliData\\TaVoli", "C:\\MyTaVoliData"},
        {"D:\\Games\\TaVoli2", "D:\\Games\\TaVoli2\\TaVoli", "D:\\Games\\TaVoli2"},
        {"D:\\游戏\\新建", "D:\\游戏\\新建\\TaVoli", "D:\\游戏\\新建"},
        // "誠" ends in the byte 0x5C, which is no separator
        {"D:\\誠", "D:\\誠\\TaVoli", "D:\\誠"},
        {"\\\\server\\share\\TaVoli", "\\\\server\\share\\TaVoli", "\\\\server\\share"},
        {"", fallback, fallback},               // cancelled
    };
    for (const auto& c : cases) {
        const FolderChoice choice = ChooseCustomFolder(c.chosen, fallback);
        EXPECT_EQ(choice.customInstallFolder, c.custom) << c.chosen;
        EXPECT_EQ(choice.editBoxText, c.shown) << c.chosen;
    }
}

TEST(ProductTree, FoldersFilesAndProfileText) {
    const std::vector<Text> folders = InstallFolders("D:\\T");
    EXPECT_EQ(folders, (std::vector<Text>{"D:\\T", "D:\\T\\Data", "D:\\T\\Config", "D:\\T\\resource",
                                          "D:\\T\\resource\\Mountcache", "D:\\T\\Data\\image",
                                          "D:\\T\\Data\\image\\head", "D:\\T\\Data\\image\\uncentered"}));
    EXPECT_EQ(AvatarPackPath("D:\\T"), "D:\\T\\Data\\image\\head\\头像.zip");
    EXPECT_EQ(BeautifyPackPath("D:\\T"), "D:\\T\\Data\\image\\美化.zip");
    EXPECT_EQ(ProgramPath("D:\\T", "LOL Quenra助手"), "D:\\T\\LOL Quenra助手.exe");
    EXPECT_EQ(ProfilePrompt("Tavoli"), "这是Tavoli助手生成的一个配置文件，请勿删除");
    EXPECT_EQ(ProfilePrompt(""), "这是助手生成的一个配置文件，请勿删除");
}

#include "app/InstallPlan.h"

TEST(InstallPlan, FetchesThenUnpacksInTheJobsOrder) {
    const JobInputs in{"D:\\T", "dl.example", "http://dl.example:5001/qrn/exe/zcx/qn_z.exe", "LOL Quenra助手",
                       "Quenra", "", false};
    const std::vector<FetchTask> fetches = FetchTasks(in);
    struct Row {
        FetchKind kind;
        Text url, target;
        int band;
    } rows[] = {
        {FetchKind::Download, "http://dl.example:5001/qrn/shuju/yxtx.zip", "D:\\T\\Data\\image\\head\\头像.zip", 0},
        {FetchKind::Library, "http://dl.example:5001/qrn/shuju/libcurl.dll", "D:\\T\\libcurl.dll", 0},
        {FetchKind::Library, "http://dl.example:5001/qrn/shuju/HPSocket4C.dll", "D:\\T\\HPSocket4C.dll", 0},
        {FetchKind::Download, "http://dl.example:5001/qrn/shuju/mhtp.zip", "D:\\T\\Data\\image\\美化.zip", 100},
        {FetchKind::Download, in.productExeUrl, "D:\\T\\LOL Quenra助手.exe", 200},
    };
    ASSERT_EQ(fetches.size(), std::size(rows));
    for (size_t i = 0; i < fetches.size(); ++i) {
        EXPECT_EQ(fetches[i].kind, rows[i].kind) << i;
        EXPECT_EQ(fetches[i].url, rows[i].url) << i;
        EXPECT_EQ(fetches[i].target, rows[i].target) << i;
        if (rows[i].kind == FetchKind::Download) {
            EXPECT_EQ(fetches[i].band, rows[i].band) << i;
        }
    }
    const std::vector<UnpackTask> unpacks = UnpackTasks(in);
    ASSERT_EQ(unpacks.size(), 2u);
    EXPECT_EQ(unpacks[0].archive, "D:\\T\\Data\\image\\head\\头像.zip");
    EXPECT_EQ(unpacks[0].destination, "D:\\T\\Data\\image\\head\\");
    EXPECT_EQ(unpacks[1].archive, "D:\\T\\Data\\image\\美化.zip");
    EXPECT_EQ(unpacks[1].destination, "D:\\T\\Data\\image\\");
}
