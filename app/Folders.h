// Folder utilities over the wide Win32 functions.
#pragma once

#include "runtime/Bytes.h"
#include "runtime/Text.h"

namespace app {

using rt::Bytes;
using rt::Text;

// UTF-16LE bytes of the text in rt::textCodePage, one zero character included;
// empty for an empty text.
Bytes ToWide(const Text& text);

bool IsDirectory(const Text& path);

// Empties the folder (deletes it and creates it again). Refuses drive
// roots and paths that are not drive paths; leaves what it cannot delete.
void ClearFolder(const Text& path);

// Deletes the folder and everything in it; true when the folder itself
// was removed. Never enters a junction or folder link: the link is
// removed and its target left alone. Refuses paths beginning with "\".
bool DeleteFolderTree(const Text& path);

// Creates every missing level of the path; true when it is a folder then.
bool CreateFolderTree(const Text& path);

}  // namespace app
