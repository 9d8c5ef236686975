#include "runtime/Dialogs.h"

#include "runtime/Win32Text.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"

namespace rt {

int MessageBox(const Text& text, unsigned style, const Text& caption, HWND owner) {
    if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
    int id = ::MessageBoxW(owner, ToWin32(text).c_str(), ToWin32(caption).c_str(), style);
    switch (id) {
        case IDOK: return kResultOk;
        case IDCANCEL: return kResultCancel;
        case IDABORT: return kResultAbort;
        case IDRETRY: return kResultRetry;
        case IDIGNORE: return kResultIgnore;
        case IDYES: return kResultYes;
        case IDNO: return kResultNo;
        default: return -1;
    }
}

Text BrowseForFolder(const Text& title, bool includeFiles) {
    const std::wstring wideTitle = ToWin32(title);
    BROWSEINFOW info{};
    info.hwndOwner = ::GetActiveWindow();
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_EDITBOX | (includeFiles ? BIF_BROWSEINCLUDEFILES : 0);
    UniqueIdList chosen(::SHBrowseForFolderW(&info));
    if (!chosen) return Text();
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(chosen.get(), path)) return Text();
    // A folder GBK cannot name is taken by its short (ASCII) name, or not
    // at all (as if cancelled): never as a look-alike of another folder.
    Text text;
    return WindowsPathToText(path, text) ? text : Text();
}

}  // namespace rt
