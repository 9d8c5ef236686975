#include "runtime/DllSearch.h"

#include "runtime/Win32.h"

#include <delayimp.h>  // after windows.h, whose types it uses

#include <string>

namespace rt {
namespace {

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH);
    return (n > 0 && n < MAX_PATH) ? std::wstring(buffer, n) : std::wstring();
}

// Called by the delay-load helper before it loads a DLL by name: the DLL is
// loaded from System32 by its full path instead. Should that fail, the
// program ends rather than let the helper search by name.
FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
    const std::wstring folder = SystemFolder();
    std::wstring path = folder + L"\\";
    for (const char* c = info->szDll; *c; ++c) path += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    HMODULE module = folder.empty() ? nullptr : ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) ::ExitProcess(0);
    return reinterpret_cast<FARPROC>(module);
}

}  // namespace

void RestrictDllSearchToSystem() {
    // SetDefaultDllDirectories exists from Windows 8 on, and on Windows 7
    // with KB2533623; looked up so that the exe still starts without it.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                   reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                             : nullptr;
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");  // and never the current folder
    __pfnDliNotifyHook2 = LoadFromSystemFolder;
}

}  // namespace rt
