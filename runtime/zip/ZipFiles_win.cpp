// The archive component's file system on Windows: wide functions on the
// decoded UTF-16 paths.
#include <algorithm>
#include <string>

#include "runtime/Handles.h"
#include "runtime/Win32Text.h"
#include "runtime/zip/ExtractZip.h"

namespace rt {
namespace {


class FileSource : public ByteSource {
public:
    explicit FileSource(UniqueFile file) : file_(std::move(file)) {
        LARGE_INTEGER size{};
        ::GetFileSizeEx(file_.get(), &size);
        size_ = size.QuadPart;
    }
    std::int64_t size() const override { return size_; }
    bool ReadAt(std::int64_t offset, void* buffer, size_t n) override {
        if (offset < 0 || offset > size_ || static_cast<std::int64_t>(n) > size_ - offset) return false;
        auto* out = static_cast<std::uint8_t*>(buffer);
        while (n > 0) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
            if (!::ReadFile(file_.get(), out, want, &got, &at) || got == 0) return false;
            out += got;
            offset += got;
            n -= got;
        }
        return true;
    }

private:
    UniqueFile file_;
    std::int64_t size_ = 0;
};

FILETIME FromUnix(std::int64_t seconds) {
    const std::uint64_t ticks = static_cast<std::uint64_t>(seconds + 11644473600LL) * 10000000ULL;
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(ticks);
    t.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return t;
}

class WinOutput : public OutputFile {
public:
    explicit WinOutput(UniqueFile file) : file_(std::move(file)) {}
    bool Write(const std::uint8_t* data, size_t n) override {
        DWORD written = 0;
        return ::WriteFile(file_.get(), data, static_cast<DWORD>(n), &written, nullptr) && written == n;
    }
    bool SetTimes(const ZipTimes& times) override {
        FILETIME dos{};
        // The MS-DOS time is taken as it stands, without a time-zone shift.
        if (!::DosDateTimeToFileTime(times.dosDate, times.dosTime, &dos)) dos = FromUnix(315532800);
        const FILETIME written = times.hasModified ? FromUnix(times.modified) : dos;
        const FILETIME accessed = times.hasAccessed ? FromUnix(times.accessed) : dos;
        const FILETIME created = times.hasCreated ? FromUnix(times.created) : dos;
        return ::SetFileTime(file_.get(), &created, &accessed, &written) != FALSE;
    }
    bool Close() override {
        if (!file_) return true;
        return ::CloseHandle(file_.release()) != FALSE;
    }

private:
    UniqueFile file_;
};

class WinFileSystem : public ExtractFileSystem {
public:
    bool IsFile(const std::u16string& path) override {
        const DWORD a = ::GetFileAttributesW(ToWin32(path).c_str());
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool IsFolder(const std::u16string& path) override {
        std::wstring w = ToWin32(path);
        if (w.size() == 2 && w[1] == L':') return true;  // "X:" counts as existing
        while (w.size() > 3 && w.back() == L'\\') w.pop_back();
        const DWORD a = ::GetFileAttributesW(w.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool CreateFolders(const std::u16string& path) override {
        const std::wstring w = ToWin32(path);
        // Each level after its parent.
        for (size_t i = 1; i <= w.size(); ++i) {
            if (i < w.size() && w[i] != L'\\') continue;
            const std::wstring level = w.substr(0, i);
            if (level.size() == 2 && level[1] == L':') continue;
            if (level.empty() || level.back() == L'\\') continue;
            const DWORD a = ::GetFileAttributesW(level.c_str());
            if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) continue;
            if (!::CreateDirectoryW(level.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
        }
        return IsFolder(path);
    }
    std::unique_ptr<ByteSource> OpenArchive(const std::u16string& path) override {
        UniqueFile file(::CreateFileW(ToWin32(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) return nullptr;
        return std::make_unique<FileSource>(std::move(file));
    }
    std::unique_ptr<OutputFile> CreateOutput(const std::u16string& path) override {
        UniqueFile file(::CreateFileW(ToWin32(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return nullptr;
        return std::make_unique<WinOutput>(std::move(file));
    }
    bool Replace(const std::u16string& from, const std::u16string& to) override {
        return ::MoveFileExW(ToWin32(from).c_str(), ToWin32(to).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    void Remove(const std::u16string& path) override { ::DeleteFileW(ToWin32(path).c_str()); }
    void SetNormalAttributes(const std::u16string& path) override {
        ::SetFileAttributesW(ToWin32(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    bool FullPath(const std::u16string& path, std::u16string& full) override {
        const std::wstring w = ToWin32(path);
        const DWORD n = ::GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
        if (n == 0) return false;
        std::wstring buffer(n, L'\0');
        const DWORD got = ::GetFullPathNameW(w.c_str(), n, &buffer[0], nullptr);
        if (got == 0 || got >= n) return false;
        buffer.resize(got);
        full.assign(buffer.begin(), buffer.end());
        return true;
    }
    bool FreeBytes(const std::u16string& folder, std::uint64_t& bytes) override {
        ULARGE_INTEGER available{};
        if (!::GetDiskFreeSpaceExW(ToWin32(folder).c_str(), &available, nullptr, nullptr)) return false;
        bytes = available.QuadPart;
        return true;
    }
};

}  // namespace

ExtractFileSystem& PlatformFileSystem() {
    static WinFileSystem fs;
    return fs;
}

}  // namespace rt
