#include "runtime/Files.h"

#include "runtime/CodePage.h"

namespace rt {

// Empty when the path is not valid GBK: no file operation accepts that, so
// a damaged path fails instead of naming some other file.
std::wstring WidePath(const Text& path) {
    std::u16string w;
    if (!PathToWide(path, w)) return std::wstring();
    return std::wstring(w.begin(), w.end());
}

bool WindowsPathToText(const wchar_t* path, Text& text) {
    if (WideToPathText(std::u16string(reinterpret_cast<const char16_t*>(path)), text)) return true;
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameW(path, shortPath, MAX_PATH);
    Text shortText;
    if (n == 0 || n >= MAX_PATH || !WideToPathText(std::u16string(reinterpret_cast<const char16_t*>(shortPath)), shortText))
        return false;
    text = shortText;
    return true;
}

bool CreateFolder(const Text& path) {
    return !path.empty() && ::CreateDirectoryW(WidePath(path).c_str(), nullptr) != FALSE;
}

bool DeleteFile(const Text& path) {
    return !path.empty() && ::DeleteFileW(WidePath(path).c_str()) != FALSE;
}

bool FileExists(const Text& pathOrWildcard) {
    if (pathOrWildcard.empty()) return false;
    WIN32_FIND_DATAW record;
    UniqueFind find(::FindFirstFileW(WidePath(pathOrWildcard).c_str(), &record));
    return static_cast<bool>(find);
}

namespace {

bool WriteAll(HANDLE h, const std::uint8_t* data, size_t size) {
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

bool WriteBytesToFile(const Text& path, std::initializer_list<const Bytes*> parts) {
    if (path.empty()) return false;
    File file(::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    for (const Bytes* part : parts) {
        if (part && !WriteAll(file.get(), part->data(), part->size())) return false;
    }
    return true;
}

File OpenFile(const Text& path, int mode, int share) {
    DWORD access = 0, disposition = 0;
    switch (mode) {
        case kOpenRead: access = GENERIC_READ; disposition = OPEN_EXISTING; break;
        case kOpenWrite: access = GENERIC_WRITE; disposition = OPEN_EXISTING; break;
        case kOpenReadWrite: access = GENERIC_READ | GENERIC_WRITE; disposition = OPEN_EXISTING; break;
        case kOpenCreateTruncateWrite: access = GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
        case kOpenOrCreateWrite: access = GENERIC_WRITE; disposition = OPEN_ALWAYS; break;
        case kOpenOrCreateReadWrite: access = GENERIC_READ | GENERIC_WRITE; disposition = OPEN_ALWAYS; break;
        default: return File();
    }
    DWORD shareMode = 0;
    switch (share) {
        case kShareDenyNone: shareMode = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE; break;
        case kShareDenyRead: shareMode = FILE_SHARE_WRITE; break;
        case kShareDenyWrite: shareMode = FILE_SHARE_READ; break;
        case kShareExclusive: shareMode = 0; break;
        default: return File();
    }
    if (path.empty()) return File();
    return File(::CreateFileW(WidePath(path).c_str(), access, shareMode, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool SeekToEnd(const File& file) {
    LARGE_INTEGER zero{};
    return file && ::SetFilePointerEx(file.get(), zero, nullptr, FILE_END) != FALSE;
}

bool WriteBytes(const File& file, const std::uint8_t* data, size_t size) {
    if (!file) return false;
    LARGE_INTEGER zero{}, before{};
    if (!::SetFilePointerEx(file.get(), zero, &before, FILE_CURRENT)) return false;
    if (WriteAll(file.get(), data, size)) return true;
    ::SetFilePointerEx(file.get(), before, nullptr, FILE_BEGIN);
    return false;
}

void CloseFile(File& file) { file.reset(); }

bool WriteIniValue(const Text& file, const Text& section, const std::optional<Text>& key,
                   const std::optional<Text>& value) {
    // The ANSI function on purpose: the file's bytes are GBK, as its
    // readers expect.
    return ::WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr,
                                        (key && value) ? value->c_str() : nullptr,
                                        file.c_str()) != FALSE;
}

}  // namespace rt
