// The archive component's file system on Linux, for the native tests, the
// fuzzer and the benchmark: UTF-16 paths become UTF-8 with "/" separators,
// read-only is a missing owner-write bit, times go through futimens.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <string>

#include "runtime/Utf8.h"
#include "runtime/zip/ExtractZip.h"

namespace rt {
namespace {

std::string Native(const std::u16string& path) {
    std::string p = Utf16ToUtf8(path);
    std::replace(p.begin(), p.end(), '\\', '/');
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

class FileSource : public ByteSource {
public:
    FileSource(int fd, std::int64_t size) : fd_(fd), size_(size) {}
    ~FileSource() override { ::close(fd_); }
    std::int64_t size() const override { return size_; }
    bool ReadAt(std::int64_t offset, void* buffer, size_t n) override {
        if (offset < 0 || offset > size_ || static_cast<std::int64_t>(n) > size_ - offset) return false;
        auto* out = static_cast<std::uint8_t*>(buffer);
        while (n > 0) {
            const ssize_t got = ::pread(fd_, out, n, offset);
            if (got <= 0) {
                if (got < 0 && errno == EINTR) continue;
                return false;
            }
            out += got;
            offset += got;
            n -= static_cast<size_t>(got);
        }
        return true;
    }

private:
    int fd_;
    std::int64_t size_;
};

// Days since 1970-01-01 of a civil date.
std::int64_t DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::int64_t DosToUnix(std::uint16_t date, std::uint16_t time) {
    const int year = 1980 + (date >> 9);
    const unsigned month = std::max(1u, std::min(12u, static_cast<unsigned>((date >> 5) & 15)));
    const unsigned day = std::max(1u, static_cast<unsigned>(date & 31));
    return DaysFromCivil(year, month, day) * 86400 + (time >> 11) * 3600 + ((time >> 5) & 63) * 60 + (time & 31) * 2;
}

class PosixOutput : public OutputFile {
public:
    explicit PosixOutput(int fd) : fd_(fd) {}
    ~PosixOutput() override { Close(); }
    bool Write(const std::uint8_t* data, size_t n) override {
        while (n > 0) {
            const ssize_t w = ::write(fd_, data, n);
            if (w <= 0) {
                if (w < 0 && errno == EINTR) continue;
                return false;
            }
            data += w;
            n -= static_cast<size_t>(w);
        }
        return true;
    }
    bool SetTimes(const ZipTimes& times) override {
        const std::int64_t dos = DosToUnix(times.dosDate, times.dosTime);
        struct timespec t[2] = {};
        t[0].tv_sec = static_cast<time_t>(times.hasAccessed ? times.accessed : dos);
        t[1].tv_sec = static_cast<time_t>(times.hasModified ? times.modified : dos);
        return ::futimens(fd_, t) == 0;
    }
    bool Close() override {
        if (fd_ < 0) return true;
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

class PosixFileSystem : public ExtractFileSystem {
public:
    bool IsFile(const std::u16string& path) override {
        struct stat s;
        return ::stat(Native(path).c_str(), &s) == 0 && S_ISREG(s.st_mode);
    }
    bool IsFolder(const std::u16string& path) override {
        struct stat s;
        return ::stat(Native(path).c_str(), &s) == 0 && S_ISDIR(s.st_mode);
    }
    bool CreateFolders(const std::u16string& path) override {
        const std::string p = Native(path);
        for (size_t i = 1; i <= p.size(); ++i) {
            if (i < p.size() && p[i] != '/') continue;
            const std::string level = p.substr(0, i);
            if (::mkdir(level.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
        return IsFolder(path);
    }
    std::unique_ptr<ByteSource> OpenArchive(const std::u16string& path) override {
        const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat s;
        if (::fstat(fd, &s) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<FileSource>(fd, static_cast<std::int64_t>(s.st_size));
    }
    std::unique_ptr<OutputFile> CreateOutput(const std::u16string& path) override {
        const int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) return nullptr;
        return std::make_unique<PosixOutput>(fd);
    }
    bool Replace(const std::u16string& from, const std::u16string& to) override {
        const std::string target = Native(to);
        // Like Windows: a read-only file or a folder is not replaced (the
        // mode bit is read, since root may write anything).
        struct stat s;
        if (::lstat(target.c_str(), &s) == 0 && (S_ISDIR(s.st_mode) || !(s.st_mode & S_IWUSR))) return false;
        return ::rename(Native(from).c_str(), target.c_str()) == 0;
    }
    void Remove(const std::u16string& path) override { ::unlink(Native(path).c_str()); }
    void SetNormalAttributes(const std::u16string& path) override { ::chmod(Native(path).c_str(), 0644); }
    bool FullPath(const std::u16string& path, std::u16string& full) override {
        const std::string p = Native(path);
        if (p.empty()) return false;
        std::error_code ec;
        std::string normal = std::filesystem::absolute(p, ec).lexically_normal().string();
        if (ec) return false;
        std::replace(normal.begin(), normal.end(), '/', '\\');
        return Utf8ToUtf16Strict(normal, full);
    }
    bool FreeBytes(const std::u16string& folder, std::uint64_t& bytes) override {
        struct statvfs v;
        if (::statvfs(Native(folder).c_str(), &v) != 0) return false;
        bytes = static_cast<std::uint64_t>(v.f_bavail) * v.f_frsize;
        return true;
    }
};

}  // namespace

ExtractFileSystem& PlatformFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace rt
