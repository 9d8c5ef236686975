#include "runtime/Http.h"

#include <algorithm>
#include <memory>

#include "runtime/Convert.h"
#include "runtime/Handles.h"
#include "runtime/HttpStatus.h"
#include "runtime/Program.h"

namespace rt {
namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;  // 0x84000000
constexpr DWORD kBufferWithoutLength = 10240;
constexpr DWORD kBufferCap = 102400;

UniqueInternet& Session() {
    static UniqueInternet session;
    return session;
}

// The WinINet handle, opened once per process.
HINTERNET SessionHandle() {
    UniqueInternet& session = Session();
    if (!session) {
        session.reset(::InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
        if (session) SetTransferTimeouts(session.get());
    }
    return session.get();
}

struct UrlParts {
    Text host, object, user, password;
    INTERNET_PORT port = 0;
    bool secure = false;
};

bool SplitUrl(const Text& url, UrlParts& parts) {
    if (url.empty()) return false;
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {}, user[256] = {}, password[256] = {};
    std::string object(url.size() + 2, '\0');
    URL_COMPONENTSA c{};
    c.dwStructSize = sizeof(c);
    c.lpszHostName = host;
    c.dwHostNameLength = sizeof(host);
    c.lpszUserName = user;
    c.dwUserNameLength = sizeof(user);
    c.lpszPassword = password;
    c.dwPasswordLength = sizeof(password);
    c.lpszUrlPath = &object[0];
    c.dwUrlPathLength = static_cast<DWORD>(object.size());
    if (!::InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &c)) return false;
    if (c.nScheme != INTERNET_SCHEME_HTTP && c.nScheme != INTERNET_SCHEME_HTTPS) return false;
    parts.host = host;
    parts.user = user;
    parts.password = password;
    parts.object = object.c_str();
    if (parts.object.empty()) parts.object = "/";
    parts.port = c.nPort;
    parts.secure = c.nScheme == INTERNET_SCHEME_HTTPS;
    return !parts.host.empty();
}
}  // namespace

bool OpenHttpRequest(HINTERNET session, const Text& url, const char* verb, const char* version, DWORD flags,
                     const char* const* acceptTypes, UniqueInternet& connection, UniqueInternet& request) {
    UrlParts parts;
    if (!SplitUrl(url, parts) || !session) return false;
    connection.reset(::InternetConnectA(session, parts.host.c_str(), parts.port,
                                        parts.user.empty() ? nullptr : parts.user.c_str(),
                                        parts.password.empty() ? nullptr : parts.password.c_str(),
                                        INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return false;
    if (parts.secure) flags |= INTERNET_FLAG_SECURE;
    request.reset(::HttpOpenRequestA(connection.get(), verb, parts.object.c_str(), version, nullptr,
                                     const_cast<const char**>(acceptTypes), flags, 0));
    if (request) SetTransferTimeouts(request.get());
    return static_cast<bool>(request);
}

namespace {

const char* const kAcceptAll[] = {"Accept: */* \r\n", nullptr};

bool OpenRequest(HINTERNET session, const Text& url, const char* verb, UniqueInternet& connection,
                 UniqueInternet& request) {
    return OpenHttpRequest(session, url, verb, "HTTP/1.0", kFlags, kAcceptAll, connection, request);
}

// The whole GET on a given WinINet session.
Bytes GetAllOn(HINTERNET session, const Text& url, HttpGetReport& r, std::int64_t maxBytes) {
    r = HttpGetReport();
    UniqueInternet connection, request;
    if (!OpenRequest(session, url, "GET", connection, request)) return Bytes();
    static const char kHeaders[] = "Accept: */*\r\n\r\n";
    if (!::HttpSendRequestA(request.get(), kHeaders, sizeof(kHeaders) - 1, nullptr, 0)) return Bytes();

    r.status = QueryHttpStatus(request.get());
    r.announced = QueryContentLengthOf(request.get()).value_or(-1);
    if (r.announced > maxBytes) {
        r.tooLarge = true;
        return Bytes();
    }
    const DWORD bufferSize = r.announced >= 0
                                 ? static_cast<DWORD>(std::min<std::int64_t>(r.announced + 1, kBufferCap))
                                 : kBufferWithoutLength;
    Bytes body;
    Bytes buffer(bufferSize);
    bool endedNormally = false;
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request.get(), buffer.data(), bufferSize, &read)) break;
        if (read == 0) {
            endedNormally = true;
            break;
        }
        if (static_cast<std::int64_t>(body.size()) + read > maxBytes) {
            r.tooLarge = true;
            return Bytes();
        }
        body.insert(body.end(), buffer.begin(), buffer.begin() + read);
    }
    r.complete = endedNormally &&
                 (r.announced < 0 || static_cast<std::int64_t>(body.size()) == r.announced);
    return body;
}

// One GET on a thread of its own, with a session of its own that the
// waiting thread may close to cut it short. Shared by both threads: a
// worker that does not stop at once may outlive the wait.
struct BoundedGet {
    Text url;
    std::int64_t maxBytes = 0;
    HINTERNET session = nullptr;  // closed by the waiting thread when it gives up
    HttpGetReport report;
    Bytes body;
    UniqueHandle done;
};

DWORD WINAPI RunBoundedGet(void* parameter) {
    std::unique_ptr<std::shared_ptr<BoundedGet>> owned(static_cast<std::shared_ptr<BoundedGet>*>(parameter));
    BoundedGet& get = **owned;
    get.body = GetAllOn(get.session, get.url, get.report, get.maxBytes);
    ::SetEvent(get.done.get());
    return 0;
}

}  // namespace

void SetTransferTimeouts(HINTERNET handle) {
    DWORD connect = kConnectTimeoutMs, send = kSendTimeoutMs, receive = kReceiveTimeoutMs;
    ::InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
    ::InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &send, sizeof(send));
    ::InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
    ::InternetSetOptionA(handle, INTERNET_OPTION_DATA_SEND_TIMEOUT, &send, sizeof(send));
    ::InternetSetOptionA(handle, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receive, sizeof(receive));
}

std::optional<Text> QueryHeader(HINTERNET request, DWORD header) {
    char buffer[256] = {};
    DWORD size = sizeof(buffer) - 1;
    if (!::HttpQueryInfoA(request, header, buffer, &size, nullptr)) return std::nullopt;
    return Text(buffer, std::min<DWORD>(size, sizeof(buffer) - 1));
}

std::optional<std::int64_t> QueryContentLengthOf(HINTERNET request) {
    const std::optional<Text> text = QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH);
    if (!text) return std::nullopt;
    return ParseCount(*text);
}

std::optional<std::int64_t> HeadContentLength(const Text& url, const Text& agent) {
    UniqueInternet session(::InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return std::nullopt;
    SetTransferTimeouts(session.get());
    UniqueInternet connection, request;
    if (!OpenRequest(session.get(), url, "HEAD", connection, request)) return std::nullopt;
    if (!::HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return std::nullopt;
    const int status = QueryHttpStatus(request.get());
    if (status < 200 || status > 299) return std::nullopt;
    return QueryContentLengthOf(request.get());
}

int QueryHttpStatus(HINTERNET request) {
    DWORD status = 0, size = sizeof(status);
    if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return static_cast<int>(status);
}

Bytes HttpGetAll(const Text& url, HttpGetReport* report, std::int64_t maxBytes) {
    HttpGetReport local;
    return GetAllOn(SessionHandle(), url, report ? *report : local, maxBytes);
}

Bytes HttpGetAllResponsive(const Text& url, std::uint32_t timeLimitMs, HttpGetReport* report,
                           std::int64_t maxBytes) {
    HttpGetReport local;
    HttpGetReport& r = report ? *report : local;
    r = HttpGetReport();
    auto get = std::make_shared<BoundedGet>();
    get->url = url;
    get->maxBytes = maxBytes;
    get->done.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueInternet session(::InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session || !get->done) return Bytes();
    SetTransferTimeouts(session.get());
    DWORD timeout = timeLimitMs;
    ::InternetSetOptionA(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
    ::InternetSetOptionA(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
    get->session = session.get();
    auto* shared = new std::shared_ptr<BoundedGet>(get);
    UniqueHandle worker(::CreateThread(nullptr, 0, RunBoundedGet, shared, 0, nullptr));
    if (!worker) {
        delete shared;
        return Bytes();
    }
    const DWORD start = ::GetTickCount();
    HANDLE waits[] = {get->done.get(), worker.get()};
    bool ended = false;
    for (;;) {
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeLimitMs) break;
        const DWORD woke = ::MsgWaitForMultipleObjects(1, waits, FALSE, timeLimitMs - spent, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (woke == WAIT_OBJECT_0 + 1) {
            ProcessPendingEvents();
            continue;
        }
        break;  // the time limit, or a failed wait
    }
    if (!ended) {
        // Closing the session ends what the worker waits for; should it not
        // stop soon, it is left to finish on its own copy of the state.
        session.reset();
        ::WaitForMultipleObjects(1, waits + 1, FALSE, 2000);
        return Bytes();
    }
    ::WaitForSingleObject(worker.get(), INFINITE);
    r = get->report;
    return std::move(get->body);
}

void ReleaseHttpSession() { Session().reset(); }

}  // namespace rt
