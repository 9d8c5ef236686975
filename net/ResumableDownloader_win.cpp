#include "net/ResumableDownloader.h"

#include <vector>

#include "net/DownloadText.h"
#include "runtime/Convert.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"
#include "runtime/HttpStatus.h"
#include "runtime/Program.h"
#include "runtime/Win32.h"

namespace net {
namespace {

constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

int Finish(Text& message, int code, const char* text) {
    message = text;
    return code;
}

}  // namespace

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

int ResumableDownloader::Download(const Text& url, const Text& localPath, const ProgressCallback& progress,
                                  bool resume, std::int64_t offset, Text& message) {
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
    const int status = rt::QueryHttpStatus(request.get());
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
        if (progress) progress({total, downloaded, ElapsedMs(rt::TickCount(), start), downloaded - base});
    }
    rt::CloseFile(file);
    if (running == 0) return Finish(message, DownloadPaused, "下载已暂停");
    // WinINet may end a cut transfer like a complete one: a body short of
    // its announced size is a failed read.
    if (total > 0 && downloaded < total) return Finish(message, ReadFailed, "读文件出错");
    return Finish(message, DownloadCompleted, "下载成功");
}

}  // namespace net
