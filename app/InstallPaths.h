// The installation job's portable arithmetic: the product tree, the
// files' places, the profile text and the folder browser's result.
#pragma once

#include <vector>

#include "runtime/Text.h"

namespace app {

using rt::Text;

constexpr char kProfileFile[] = "C:\\Tavoli.ini";

// The eight folders of the product tree, in the order they are created.
std::vector<Text> InstallFolders(const Text& d);

Text AvatarPackPath(const Text& d);     // D\Data\image\head\头像.zip
Text BeautifyPackPath(const Text& d);   // D\Data\image\美化.zip
Text AvatarFolder(const Text& d);       // D\Data\image\head\ (unpacking target)
Text ImageFolder(const Text& d);        // D\Data\image\ (unpacking target)
Text ResourceFolder(const Text& d);     // D\Data\image\resource
Text ProgramPath(const Text& d, const Text& productName);  // D\<name>.exe

// "这是" + short name + "助手生成的一个配置文件，请勿删除".
Text ProfilePrompt(const Text& brandShortName);

// What the folder browser's answer S makes of the custom folder and the
// edit box; a cancelled dialog (S empty) falls back to the default.
struct FolderChoice {
    Text customInstallFolder;
    Text editBoxText;
};
FolderChoice ChooseCustomFolder(const Text& chosen, const Text& defaultFolder);

}  // namespace app
