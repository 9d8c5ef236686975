#include "net/ResumableDownloader.h"

#include <vector>

#include "net/DownloadText.h"
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

// Where this response's body goes in the file, or -1 when the response is
// not the resource (or not the part of it that was asked for).
std::int64_t BodyPosition(HINTERNET request, bool resuming, std::int64_t offset) {
    const int status = rt::QueryHttpStatus(request);
    if (status == 200) return 0;  // the whole resource: a fresh start, or a range the server ignored
    if (status != 206 || !resuming) return -1;
    const std::optional<Text> range = rt::QueryHeader(request, HTTP_QUERY_CONTENT_RANGE);
    const std::optional<std::int64_t> first = range ? ContentRangeStart(*range) : std::nullopt;
    return first && *first == offset ? offset : -1;
}

// The file opened for writing at the position, with nothing after it.
rt::File OpenAt(const Text& path, std::int64_t position) {
    rt::File file = rt::OpenFile(path, position == 0 ? rt::kOpenCreateTruncateWrite : rt::kOpenWrite);
    if (!file) return file;
    LARGE_INTEGER at;
    at.QuadPart = position;
    if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get())) return rt::File();
    return file;
}

}  // namespace

std::int64_t QueryContentLength(const Text& url) {
    // HEAD: a GET here would make WinINet drain a whole second body.
    return rt::HeadContentLength(url, "").value_or(0);
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
    rt::SetTransferTimeouts(internet.get());

    const bool resuming = resume && offset > 0;
    const Text headers = RangeHeader(resume, offset);
    std::vector<std::uint8_t> buffer(kPieceSize, 0);

    // The request is made and sent in two steps (not InternetOpenUrl) so
    // that its time-outs are in place before it goes out.
    rt::UniqueInternet connection, request;
    if (!rt::OpenHttpRequest(internet.get(), url, "GET", "HTTP/1.1", kOpenFlags, nullptr, connection, request) ||
        !::HttpSendRequestA(request.get(), resuming ? headers.c_str() : nullptr,
                            resuming ? static_cast<DWORD>(headers.size()) : 0, nullptr, 0))
        return Finish(message, UrlOpenFailed, "不能打开该URL");

    // The status is read before the file is touched: an error page never
    // truncates what is there.
    const std::int64_t base = BodyPosition(request.get(), resuming, offset);
    if (base < 0) return Finish(message, HttpStatusFailed, "服务器返回错误");
    rt::File file = OpenAt(localPath, base);
    if (!file) return Finish(message, LocalFileOpenFailed, "不能打开本地文件");

    const std::int64_t total = QueryContentLength(url);

    std::int64_t downloaded = base;
    const std::uint32_t start = rt::TickCount();
    running = 1;
    while (running != 0) {
        DWORD n = 0;
        if (!::InternetReadFile(request.get(), buffer.data(), kPieceSize, &n)) {
            rt::CloseFile(file);
            return Finish(message, ReadFailed, "读文件出错");
        }
        if (n == 0) break;
        if (!rt::WriteBytes(file, buffer.data(), n)) {
            rt::CloseFile(file);
            return Finish(message, WriteFailed, "写文件出错");
        }
        if (onData) onData(downloaded, buffer.data(), n);
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
