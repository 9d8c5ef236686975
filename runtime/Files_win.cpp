#include "runtime/Files.h"

#include <vector>

#include "runtime/Win32Text.h"

namespace rt {

std::optional<std::int64_t> FileSize(const Text& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExW(ToWin32(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool MoveFileOver(const Text& from, const Text& to) {
    const std::wstring source = ToWin32(from), target = ToWin32(to);
    if (source.empty() || target.empty()) return false;
    return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool ReadFileInPieces(const Text& path, const std::function<void(const std::uint8_t*, size_t)>& sink) {
    File file(::CreateFileW(ToWin32(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    std::vector<std::uint8_t> buffer(1 << 16);
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) return false;
        if (n == 0) return true;
        sink(buffer.data(), n);
    }
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
    return !path.empty() && ::CreateDirectoryW(ToWin32(path).c_str(), nullptr) != FALSE;
}

bool DeleteFile(const Text& path) {
    return !path.empty() && ::DeleteFileW(ToWin32(path).c_str()) != FALSE;
}

bool FileExists(const Text& pathOrWildcard) {
    if (pathOrWildcard.empty()) return false;
    WIN32_FIND_DATAW record;
    UniqueFind find(::FindFirstFileW(ToWin32(pathOrWildcard).c_str(), &record));
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
    File file(::CreateFileW(ToWin32(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
    return File(::CreateFileW(ToWin32(path).c_str(), access, shareMode, nullptr, disposition,
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
