#include <gtest/gtest.h>

#include "app/InstallPaths.h"

using namespace app;

TEST(BrowseInstallFolderTable, ChosenFoldersEndInTaVoli) {
    const Text fallback = "C:\\users\\me\\AppData\\Roaming\\TaVoli";
    struct Case {
        Text chosen, custom, shown;
    } cases[] = {
        {"D:\\Games", "D:\\Games\\TaVoli", "D:\\Games"},
        {"D:\\", "D:\\TaVoli", "D:\\"},          // a drive root
        {"E:\\", "E:\\TaVoli", "E:\\"},
        {"E:\\Apps", "E:\\Apps\\TaVoli", "E:\\Apps"},
        {"D:\\TaVoli", "D:\\TaVoli", "D:\\"},    // cut at the first TaVoli before the suffix
        {"D:\\游戏\\新建", "D:\\游戏\\新建\\TaVoli", "D:\\游戏\\新建"},
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
