#include "app/InstallPaths.h"

#include "app/PathText.h"

namespace app {

std::vector<Text> InstallFolders(const Text& d) {
    return {d,
            d + "\\Data",
            d + "\\Config",
            d + "\\resource",
            d + "\\resource\\Mountcache",
            d + "\\Data\\image",
            d + "\\Data\\image\\head",
            d + "\\Data\\image\\uncentered"};
}

Text AvatarPackPath(const Text& d) { return d + "\\Data\\image\\head\\头像.zip"; }
Text BeautifyPackPath(const Text& d) { return d + "\\Data\\image\\美化.zip"; }
Text AvatarFolder(const Text& d) { return d + "\\Data\\image\\head\\"; }
Text ImageFolder(const Text& d) { return d + "\\Data\\image\\"; }
Text ResourceFolder(const Text& d) { return d + "\\Data\\image\\resource"; }
Text ProgramPath(const Text& d, const Text& productName) { return d + "\\" + productName + ".exe"; }

Text ProfilePrompt(const Text& brandShortName) { return "这是" + brandShortName + "助手生成的一个配置文件，请勿删除"; }

FolderChoice ChooseCustomFolder(const Text& chosen, const Text& defaultFolder) {
    Text custom = chosen + "TaVoli";
    Text shown = TextBefore(custom, "TaVoli");
    if (custom == "TaVoli") return {defaultFolder, defaultFolder};
    custom = TextBefore(custom, "TaVoli") + "\\TaVoli";
    const Text between = TextBetween(custom, ":", "TaVoli");
    if (between == "\\\\") custom = rt::ReplaceText(custom, between, "\\", 1, rt::kAllMatches, false);
    return {custom, shown};
}

}  // namespace app
