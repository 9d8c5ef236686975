#include "app/InstallPaths.h"


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

namespace {

constexpr char kProductFolder[] = "TaVoli";

// Byte positions of the real "\" separators: a GBK trail byte of 0x5C is
// part of its character, not a separator.
std::vector<size_t> SeparatorPositions(const Text& path) {
    std::vector<size_t> positions;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\') positions.push_back(i);
        else if (rt::IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
    }
    return positions;
}

}  // namespace

FolderChoice ChooseCustomFolder(const Text& chosen, const Text& defaultFolder) {
    if (chosen.empty()) return {defaultFolder, defaultFolder};  // cancelled
    // Cut before the first folder named TaVoli (in any case), so that
    // choosing the product folder itself, or one inside it, does not nest
    // another one; a name that merely contains the word is kept.
    std::vector<size_t> separators = SeparatorPositions(chosen);
    Text base = chosen;
    size_t start = 0;
    for (size_t k = 0; k <= separators.size(); ++k) {
        const size_t end = k < separators.size() ? separators[k] : chosen.size();
        if (rt::CompareText(chosen.substr(start, end - start), kProductFolder, false) == 0) {
            base = chosen.substr(0, start);
            break;
        }
        start = end + 1;
    }
    // The folder shown is the one the product folder goes into: without a
    // trailing separator, except for a drive root ("D:\").
    separators = SeparatorPositions(base);
    const bool endsInSeparator = !separators.empty() && separators.back() + 1 == base.size();
    const bool driveRoot = base.size() == 3 && base[1] == ':' && endsInSeparator;
    if (endsInSeparator && !driveRoot) base.pop_back();
    if (base.empty()) return {defaultFolder, defaultFolder};
    return {base + (driveRoot ? "" : "\\") + kProductFolder, base};
}

}  // namespace app
