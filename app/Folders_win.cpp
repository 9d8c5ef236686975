#include "app/Folders.h"

#include <shlwapi.h>

#include <string>

#include "app/PathText.h"
#include "runtime/CodePage.h"
#include "runtime/Handles.h"
#include "runtime/Win32.h"

namespace app {
namespace {

std::wstring WideOf(const Bytes& utf16) {
    std::wstring w(utf16.size() / 2, L'\0');
    for (size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<wchar_t>(utf16[2 * i] | (utf16[2 * i + 1] << 8));
    return w;
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// Removes a junction or folder link itself, never what it points to.
// (Wine cannot remove a Unix symbolic link this way; it then stays, and
// its target is still left alone.)
bool RemoveFolderLink(const std::wstring& link) { return ::RemoveDirectoryW(link.c_str()) != FALSE; }

// P ends in a backslash.
bool DeleteTree(const std::wstring& P) {
    if (P.empty() || P[0] == L'\\') return false;
    WIN32_FIND_DATAW record;
    rt::UniqueFind find(::FindFirstFileW((P + L"*").c_str(), &record));
    if (!find) return false;
    do {
        const std::wstring name(record.cFileName, ::lstrlenW(record.cFileName));
        if (name.empty() || name == L"." || name == L"..") continue;
        const std::wstring child = P + name;
        const DWORD attributes = record.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (IsLink(attributes)) {
                RemoveFolderLink(child);  // the link only, not its target
            } else {
                DeleteTree(child + L"\\");
            }
        } else {
            if (attributes & FILE_ATTRIBUTE_READONLY)
                ::SetFileAttributesW(child.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
            ::DeleteFileW(child.c_str());
        }
    } while (::FindNextFileW(find.get(), &record));
    find.reset();
    return ::RemoveDirectoryW(P.c_str()) != FALSE;
}

}  // namespace

Bytes ToWide(const Text& text) {
    const char* s = text.c_str();
    if (*s == '\0') return Bytes();
    const UINT codePage = rt::textCodePage;
    // Invalid GBK gives no path at all rather than one with a replacement
    // character in it.
    int n = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, s, -1, nullptr, 0);
    if (n <= 0) return Bytes();
    Bytes out(static_cast<size_t>(n) * 2, 0);
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, s, -1, reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

bool IsDirectory(const Text& path) {
    if (path.empty()) return false;
    const Bytes wide = ToWide(path);
    return ::PathIsDirectoryW(reinterpret_cast<const wchar_t*>(wide.data())) == FILE_ATTRIBUTE_DIRECTORY;
}

void ClearFolder(const Text& path) {
    Text w = path;
    if (rt::RightText(w, 1) != "\\") w += "\\";
    if (!IsValidDrivePath(w, true)) return;
    if (!IsDirectory(w)) return;
    DeleteFolderTree(w);
    CreateFolderTree(w);
}

bool DeleteFolderTree(const Text& path) {
    std::wstring P = WideOf(TrimAtNull(ToWide(path), false));
    if (P.empty() || P.back() != L'\\') P += L'\\';
    if (P[0] == L'\\') return false;
    // A folder that is itself a link: remove the link, keep its target.
    const DWORD attributes = ::GetFileAttributesW(P.substr(0, P.size() - 1).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) && IsLink(attributes))
        return RemoveFolderLink(P.substr(0, P.size() - 1));
    return DeleteTree(P);
}

bool CreateFolderTree(const Text& path) {
    const Bytes W = ToWide(path);
    const size_t L = W.size();
    if (L == 0) return false;
    rt::UniqueLocal block(L < 8 ? nullptr : ::LocalAlloc(LMEM_ZEROINIT, L + 2));
    if (!block) return ::PathIsDirectoryW(reinterpret_cast<const wchar_t*>(W.data())) == FILE_ATTRIBUTE_DIRECTORY;
    auto* B = static_cast<std::uint8_t*>(block.get());
    int k = 0;
    for (size_t i = 0; i + 1 < L; i += 2) {
        const unsigned c = W[i] | (W[i + 1] << 8);
        if (c == 0) {
            ::CreateDirectoryW(reinterpret_cast<const wchar_t*>(B), nullptr);
            break;
        }
        if (c == L'\\') {
            if (k > 0) ::CreateDirectoryW(reinterpret_cast<const wchar_t*>(B), nullptr);
            ++k;
        }
        B[i] = W[i];
        B[i + 1] = W[i + 1];
    }
    block.reset();
    return ::PathIsDirectoryW(reinterpret_cast<const wchar_t*>(W.data())) == FILE_ATTRIBUTE_DIRECTORY;
}

}  // namespace app
