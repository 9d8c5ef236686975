// Special folders, shell links and opening addresses in the browser.
#pragma once

#include <optional>

#include "runtime/Text.h"

namespace rt {

// Special folder codes.
constexpr int kFolderDocuments = 1;
constexpr int kFolderFavorites = 2;
constexpr int kFolderDesktop = 3;
constexpr int kFolderFonts = 4;
constexpr int kFolderStartMenu = 5;
constexpr int kFolderPrograms = 6;
constexpr int kFolderStartup = 7;
constexpr int kFolderAppData = 8;
constexpr int kFolderWindows = 9;
constexpr int kFolderSystem = 10;
constexpr int kFolderTemp = 11;

// The folder with exactly one trailing backslash, or empty.
Text SpecialFolderPath(int code);

// A shell link saved under linkFile (".lnk" appended when the file name
// has no extension), show command SW_SHOW; optional fields set only when
// given. True when every step succeeded.
bool CreateShortcut(const Text& linkFile, const Text& target,
                    const std::optional<Text>& description = std::nullopt,
                    const std::optional<Text>& arguments = std::nullopt,
                    const std::optional<Text>& workingFolder = std::nullopt);

// Opens the address with the shell's "open" verb.
void OpenUrl(const Text& address);

}  // namespace rt
