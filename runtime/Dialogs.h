// Message boxes and the folder browser.
#pragma once

#include "runtime/Text.h"
#include "runtime/Win32.h"

namespace rt {

// MessageBox results.
constexpr int kResultOk = 0;
constexpr int kResultCancel = 1;
constexpr int kResultAbort = 2;
constexpr int kResultRetry = 3;
constexpr int kResultIgnore = 4;
constexpr int kResultYes = 5;
constexpr int kResultNo = 6;

// Task-modal unless the style asks for system-modal. Returns one of the
// results above (-1 when the box could not be shown).
int MessageBox(const Text& text, unsigned style = 0, const Text& caption = "信息：",
               HWND owner = nullptr);

// The chosen folder as the shell gives it ("X:\" for a drive root, other
// folders without a trailing backslash), or empty when cancelled.
Text BrowseForFolder(const Text& title, bool includeFiles = false);

}  // namespace rt
