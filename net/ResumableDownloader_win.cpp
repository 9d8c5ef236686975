#include "net/ResumableDownloader.h"

#include <cstring>

#include "net/DownloadText.h"
#include "runtime/Convert.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"
#include "runtime/Program.h"

namespace net {
namespace {

constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
constexpr size_t kTextSize = 32;

// The three texts handed to the callback. A window procedure's second
// argument is 32 bits wide on x64, so they live in a block below 4 GiB,
// where every address fits it.
class LowTexts {
public:
    LowTexts() {
        for (std::uintptr_t at = 0x10000000; at < 0xF0000000u && !block_; at += 0x01000000) {
            block_ = static_cast<char*>(::VirtualAlloc(reinterpret_cast<void*>(at), 4096, MEM_RESERVE | MEM_COMMIT,
                                                       PAGE_READWRITE));
        }
    }
    ~LowTexts() {
        if (block_) ::VirtualFree(block_, 0, MEM_RELEASE);
    }
    LowTexts(const LowTexts&) = delete;
    LowTexts& operator=(const LowTexts&) = delete;
    bool ok() const { return block_ != nullptr; }
    char* text(int i) { return block_ + i * kTextSize; }
    void Set(int i, std::int64_t value) {
        const Text t = rt::ToText(value);
        std::memcpy(text(i), t.c_str(), t.size() + 1);
    }

private:
    char* block_ = nullptr;
};

int Finish(Text& message, int code, const char* text) {
    message = text;
    return code;
}

int StatusOf(HINTERNET request) {
    DWORD status = 0, size = sizeof(status);
    if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
    return static_cast<int>(status);
}

}  // namespace

ProgressArgs ReadProgressArgs(HWND a, UINT b, WPARAM c, LPARAM d) {
    return {reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(static_cast<std::uintptr_t>(b)),
            static_cast<std::int32_t>(c), reinterpret_cast<const char*>(d)};
}

std::int64_t QueryContentLength(const Text& url) {
    rt::UniqueInternet internet(::InternetOpenA("", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) return 0;
    Text buffer;
    {
        rt::UniqueInternet request(
            ::InternetOpenUrlA(internet.get(), url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0));
        if (request) {
            DWORD length = 0;
            ::HttpQueryInfoA(request.get(), HTTP_QUERY_CONTENT_LENGTH, nullptr, &length, nullptr);
            buffer = rt::SpaceText(static_cast<int>(length));
            if (length > 0) ::HttpQueryInfoA(request.get(), HTTP_QUERY_CONTENT_LENGTH, &buffer[0], &length, nullptr);
        }
    }
    return rt::ToInt64(Text(buffer.c_str()));
}

int ResumableDownloader::Download(const Text& url, const Text& localPath, ProgressCallback progress, bool resume,
                                  std::int64_t offset, Text& message) {
    DWORD flags = 0;
    ::InternetGetConnectedState(&flags, 0);
    const Text agent = AgentText(rt::TickCount());
    const DWORD access = (flags & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                             : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
    rt::UniqueInternet internet(::InternetOpenA(agent.c_str(), access, nullptr, nullptr, 0));
    if (!internet) return Finish(message, InternetOpenFailed, "网络连接错误");

    const bool resuming = resume && offset > 0;
    const Text headers = RangeHeader(resume, offset);
    std::vector<std::uint8_t> buffer(kPieceSize, 0);
    LowTexts texts;
    if (!texts.ok()) return Finish(message, InternetOpenFailed, "网络连接错误");

    rt::UniqueInternet request(::InternetOpenUrlA(internet.get(), url.c_str(), resuming ? headers.c_str() : nullptr,
                                                  resuming ? static_cast<DWORD>(headers.size()) : 0, kOpenFlags, 0));
    if (!request) return Finish(message, UrlOpenFailed, "不能打开该URL");

    rt::File file;
    std::int64_t downloaded = 0;
    if (!resuming) {
        file = rt::OpenFile(localPath, rt::kOpenCreateTruncateWrite);
    } else {
        file = rt::OpenFile(localPath, rt::FileExists(localPath) ? rt::kOpenOrCreateWrite : rt::kOpenCreateTruncateWrite);
        rt::SeekToEnd(file);
        downloaded = offset;
    }
    if (!file) return Finish(message, LocalFileOpenFailed, "不能打开本地文件");

    const std::int64_t total = QueryContentLength(url);

    // An error page is not the resource.
    const int status = StatusOf(request.get());
    if (status < 200 || status > 299) return Finish(message, HttpStatusFailed, "服务器返回错误");
    // A server that ignored the range sends the whole body: write it from
    // the start instead of after the bytes already there.
    std::int64_t base = offset;
    if (resuming && status != 206) {
        LARGE_INTEGER zero{};
        ::SetFilePointerEx(file.get(), zero, nullptr, FILE_BEGIN);
        ::SetEndOfFile(file.get());
        downloaded = 0;
        base = 0;
    }
    if (!resuming) base = 0;

    const std::uint32_t start = rt::TickCount();
    running = 1;
    while (running != 0) {
        DWORD n = 0;
        if (!::InternetReadFile(request.get(), buffer.data(), kPieceSize, &n)) {
            rt::CloseFile(file);
            return Finish(message, ReadFailed, "读文件出错");
        }
        if (n == 0) break;
        rt::WriteBytes(file, buffer.data(), n);
        downloaded += n;
        const std::int32_t elapsed = ElapsedMs(rt::TickCount(), start);
        texts.Set(0, total);
        texts.Set(1, downloaded);
        texts.Set(2, downloaded - base);
        ::CallWindowProcA(progress, reinterpret_cast<HWND>(texts.text(0)),
                          static_cast<UINT>(reinterpret_cast<std::uintptr_t>(texts.text(1))),
                          static_cast<WPARAM>(static_cast<std::uint32_t>(elapsed)),
                          reinterpret_cast<LPARAM>(texts.text(2)));
    }
    rt::CloseFile(file);
    if (running == 0) return Finish(message, DownloadPaused, "下载已暂停");
    // WinINet may end a cut transfer like a complete one: a body short of
    // its announced size is a failed read.
    if (total > 0 && downloaded < total) return Finish(message, ReadFailed, "读文件出错");
    return Finish(message, DownloadCompleted, "下载成功");
}

}  // namespace net
