#include "runtime/Shell.h"

#include "runtime/Win32Text.h"
#include "runtime/ComInit.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"

namespace rt {
namespace {

// A folder whose name GBK cannot hold keeps its "?"s when it has no short
// name either: no file operation accepts those, so nothing is written to a
// look-alike folder.
Text WithOneTrailingBackslash(const wchar_t* path) {
    Text text;
    WindowsPathToText(path, text);
    if (text.empty()) return text;
    while (!text.empty() && (text.back() == '\\' || text.back() == '/')) text.pop_back();
    return text + "\\";
}

int CsidlOf(int code) {
    switch (code) {
        case kFolderDocuments: return CSIDL_PERSONAL;
        case kFolderFavorites: return CSIDL_FAVORITES;
        case kFolderDesktop: return CSIDL_DESKTOPDIRECTORY;
        case kFolderFonts: return CSIDL_FONTS;
        case kFolderStartMenu: return CSIDL_STARTMENU;
        case kFolderPrograms: return CSIDL_PROGRAMS;
        case kFolderStartup: return CSIDL_STARTUP;
        case kFolderAppData: return CSIDL_APPDATA;
        default: return -1;
    }
}

// True when the last component of the path has an extension.
bool HasExtension(const Text& path) {
    size_t slash = path.find_last_of("\\/");
    size_t dot = path.find_last_of('.');
    return dot != Text::npos && (slash == Text::npos || dot > slash);
}

// A window of a running browser, to own what the shell opens.
HWND FindBrowserWindow() {
    static const wchar_t* const kClasses[] = {L"IEFrame", L"Chrome_WidgetWin_1", L"MozillaWindowClass"};
    for (const wchar_t* cls : kClasses) {
        if (HWND w = ::FindWindowW(cls, nullptr)) return w;
    }
    return nullptr;
}

}  // namespace

Text SpecialFolderPath(int code) {
    wchar_t path[MAX_PATH + 1] = {};
    if (code >= kFolderDocuments && code <= kFolderAppData) {
        if (!::SHGetSpecialFolderPathW(nullptr, path, CsidlOf(code), FALSE)) return Text();
    } else if (code == kFolderWindows) {
        if (::GetWindowsDirectoryW(path, MAX_PATH) == 0) return Text();
    } else if (code == kFolderSystem) {
        if (::GetSystemDirectoryW(path, MAX_PATH) == 0) return Text();
    } else if (code == kFolderTemp) {
        if (::GetTempPathW(MAX_PATH, path) == 0) return Text();
    } else {
        return Text();
    }
    return WithOneTrailingBackslash(path);
}

bool CreateShortcut(const Text& linkFile, const Text& target, const std::optional<Text>& description,
                    const std::optional<Text>& arguments, const std::optional<Text>& workingFolder) {
    if (linkFile.empty()) return false;
    ComInit com;
    if (!com.ok()) return false;
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void())))
        return false;
    if (FAILED(link->SetPath(ToWin32(target).c_str()))) return false;
    if (FAILED(link->SetShowCmd(SW_SHOW))) return false;
    if (description && FAILED(link->SetDescription(ToWin32(*description).c_str()))) return false;
    if (arguments && FAILED(link->SetArguments(ToWin32(*arguments).c_str()))) return false;
    if (workingFolder && FAILED(link->SetWorkingDirectory(ToWin32(*workingFolder).c_str()))) return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
    const Text path = HasExtension(linkFile) ? linkFile : linkFile + ".lnk";
    return SUCCEEDED(file->Save(ToWin32(path).c_str(), TRUE));
}

void OpenUrl(const Text& address) {
    ::ShellExecuteW(FindBrowserWindow(), L"open", ToWin32(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace rt
