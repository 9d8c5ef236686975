// The resumable downloader against the fault-injecting test server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/ResumableDownloader.h"
#include "runtime/Convert.h"
#include "tests/win32/test_support.h"

using namespace testing_support;
using net::ResumableDownloader;

namespace {

struct Call {
    std::string total, downloaded, received;
    std::int32_t elapsed;
};
std::vector<Call> g_calls;
ResumableDownloader* g_pauseOnLast = nullptr;

void Record(const net::DownloadProgress& p) {
    g_calls.push_back({std::to_string(p.total), std::to_string(p.downloaded), std::to_string(p.received), p.elapsedMs});
    if (g_pauseOnLast && g_calls.back().downloaded == g_calls.back().total) g_pauseOnLast->Pause();
}

struct Result {
    int code;
    Text message;
};

Result Get(ResumableDownloader& d, const Text& path, const Text& local, bool resume = false, std::int64_t offset = 0) {
    g_calls.clear();
    Text message = "previous";
    const int code = d.Download(ServerBase() + path, local, Record, resume, offset, message);
    return {code, message};
}

// The request blocks of the server's log, for one method and path.
std::vector<Text> RequestsFor(const Text& log, const Text& path, const Text& method = "GET") {
    std::vector<Text> blocks;
    size_t at = 0;
    while ((at = log.find(method + " " + path + " ", at)) != Text::npos) {
        const size_t end = log.find("\n\n", at);
        blocks.push_back(log.substr(at, end - at));
        at = end;
    }
    return blocks;
}

}  // namespace

TEST(Downloader, ACompleteBodyArrivesWithEveryPieceReported) {
    ScratchFolder dir("dl");
    ResumableDownloader d;
    EXPECT_EQ(d.running, 0);
    ResetServer();
    const Result r = Get(d, "/__gen/100000", dir / "头像.zip");
    EXPECT_EQ(r.code, net::DownloadCompleted);
    EXPECT_EQ(r.message, "下载成功");
    EXPECT_EQ(ReadWholeFile(dir / "头像.zip"), GeneratedBody(100000));
    ASSERT_FALSE(g_calls.empty());
    EXPECT_GE(g_calls.size(), 10u);  // pieces of at most 10240 bytes
    for (const Call& c : g_calls) {
        EXPECT_EQ(c.total, "100000");
        EXPECT_EQ(c.received, c.downloaded);
        EXPECT_NE(c.elapsed, 0);
    }
    EXPECT_EQ(g_calls.back().downloaded, "100000");
    EXPECT_EQ(d.running, 1);  // left set after a completed download

    // One body on the wire: the download itself, and the size probe as a
    // HEAD request with an empty agent and no range.
    const std::vector<Text> gets = RequestsFor(ServerLog(), "/__gen/100000");
    const std::vector<Text> heads = RequestsFor(ServerLog(), "/__gen/100000", "HEAD");
    ASSERT_EQ(gets.size(), 1u);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_NE(gets[0].find("User-Agent: Agent"), Text::npos) << gets[0];
    EXPECT_EQ(gets[0].find("Range"), Text::npos);
    EXPECT_EQ(heads[0].find("User-Agent: Agent"), Text::npos) << heads[0];
    EXPECT_EQ(heads[0].find("Range"), Text::npos);
}

TEST(Downloader, EmptyBodyAndNoContentLength) {
    ScratchFolder dir("dl0");
    ResumableDownloader d;
    ASSERT_TRUE(WriteWholeFile(dir / "e.bin", Bytes{1, 2, 3}));
    Result r = Get(d, "/__gen/0", dir / "e.bin");
    EXPECT_EQ(r.code, net::DownloadCompleted);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(ReadWholeFile(dir / "e.bin").empty());

    r = Get(d, "/__b/nolength/__gen/50000", dir / "n.bin");
    EXPECT_EQ(r.code, net::DownloadCompleted);
    EXPECT_EQ(ReadWholeFile(dir / "n.bin"), GeneratedBody(50000));
    ASSERT_FALSE(g_calls.empty());
    for (const Call& c : g_calls) EXPECT_EQ(c.total, "0");
}

TEST(Downloader, ResumingFromAnOffsetAndFromZero) {
    ScratchFolder dir("dlr");
    ResumableDownloader d;
    const Bytes whole = GeneratedBody(60000);
    const Text partial = dir / "p.bin";

    // Offset 0 is a fresh download: no range, the file truncated.
    ASSERT_TRUE(WriteWholeFile(partial, Bytes(7000, 9)));
    ResetServer();
    EXPECT_EQ(Get(d, "/__gen/60000", partial, true, 0).code, net::DownloadCompleted);
    EXPECT_EQ(ReadWholeFile(partial), whole);
    EXPECT_EQ(ServerLog().find("Range"), Text::npos);

    // From 20000: the range header, appended after the bytes there.
    ASSERT_TRUE(WriteWholeFile(partial, Bytes(whole.begin(), whole.begin() + 20000)));
    ResetServer();
    EXPECT_EQ(Get(d, "/__gen/60000", partial, true, 20000).code, net::DownloadCompleted);
    EXPECT_EQ(ReadWholeFile(partial), whole);
    EXPECT_NE(ServerLog().find("Range: bytes=20000-"), Text::npos);
    ASSERT_FALSE(g_calls.empty());
    EXPECT_EQ(g_calls.front().total, "60000");  // always the whole size
    EXPECT_EQ(rt::ToInt64(g_calls.front().downloaded) - rt::ToInt64(g_calls.front().received), 20000);
    EXPECT_EQ(g_calls.back().downloaded, "60000");
    EXPECT_EQ(g_calls.back().received, "40000");

    // A server that ignores the range: the file is rewritten, not appended
    // to, and the count of bytes there starts again from 0.
    ASSERT_TRUE(WriteWholeFile(partial, Bytes(whole.begin(), whole.begin() + 20000)));
    EXPECT_EQ(Get(d, "/__b/ignorerange/__gen/60000", partial, true, 20000).code, net::DownloadCompleted);
    EXPECT_EQ(ReadWholeFile(partial), whole);
    ASSERT_FALSE(g_calls.empty());
    for (const auto& c : g_calls) EXPECT_EQ(c.downloaded, c.received);
    EXPECT_EQ(g_calls.back().downloaded, "60000");
}

TEST(Downloader, FailuresGiveTheirCodesAndKeepWhatArrived) {
    ScratchFolder dir("dlf");
    ResumableDownloader d;
    struct Case {
        Text url;
        Text local;
        int code;
        Text message;
    } cases[] = {
        {ServerBase() + "/__b/cut=30000/__gen/200000", dir / "cut.bin", net::ReadFailed, "读文件出错"},
        {"http://127.0.0.1:9/x.zip", dir / "u.bin", net::UrlOpenFailed, "不能打开该URL"},
        {"", dir / "empty-url.bin", net::UrlOpenFailed, "不能打开该URL"},
        {ServerBase() + "/__gen/10", "", net::LocalFileOpenFailed, "不能打开本地文件"},
        {ServerBase() + "/__gen/10", dir / "no\\such\\folder.bin", net::LocalFileOpenFailed, "不能打开本地文件"},
        {ServerBase() + "/__b/status=404/qrn/exe/zcx/qn_z.exe", dir / "404.exe", net::HttpStatusFailed, "服务器返回错误"},
        {ServerBase() + "/__b/status=500/x", dir / "500.bin", net::HttpStatusFailed, "服务器返回错误"},
    };
    for (const auto& c : cases) {
        Text message;
        g_calls.clear();
        EXPECT_EQ(d.Download(c.url, c.local, Record, false, 0, message), c.code) << c.url;
        EXPECT_EQ(message, c.message) << c.url;
    }
    // The pieces of the cut transfer stay; the error page is not written.
    const Bytes cut = ReadWholeFile(dir / "cut.bin");
    EXPECT_GT(cut.size(), 0u);
    EXPECT_LE(cut.size(), 30000u);
    EXPECT_EQ(cut, GeneratedBody(cut.size()));
    EXPECT_TRUE(ReadWholeFile(dir / "404.exe").empty());
}

TEST(Downloader, AResponseThatIsNotTheAskedPartLeavesTheFileAlone) {
    ScratchFolder dir("dls");
    ResumableDownloader d;
    const Bytes whole = GeneratedBody(60000);
    const Bytes start(whole.begin(), whole.begin() + 20000);
    const Text partial = dir / "p.bin";
    struct Case {
        Text path;
        bool resume;
    } cases[] = {
        {"/__b/badrange/__gen/60000", true},         // 206 from another position than asked
        {"/__b/status=404/__gen/60000", true},       // an error page while resuming
        {"/__b/status=404/__gen/60000", false},      // and on a fresh start: nothing truncated
        {"/__b/status=203/__gen/60000", false},      // 2xx, but not the resource
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteWholeFile(partial, start));
        Text message;
        EXPECT_EQ(d.Download(ServerBase() + c.path, partial, Record, c.resume, c.resume ? 20000 : 0, message),
                  net::HttpStatusFailed)
            << c.path;
        EXPECT_EQ(ReadWholeFile(partial), start) << c.path;
    }
}

TEST(Downloader, PauseInTheLastPiecesCallback) {
    ScratchFolder dir("dlp");
    ResumableDownloader d;
    g_pauseOnLast = &d;
    const Result r = Get(d, "/__gen/30000", dir / "p.bin");
    g_pauseOnLast = nullptr;
    EXPECT_EQ(r.code, net::DownloadPaused);
    EXPECT_EQ(r.message, "下载已暂停");
    EXPECT_EQ(d.running, 0);
    EXPECT_EQ(ReadWholeFile(dir / "p.bin"), GeneratedBody(30000));  // complete all the same
    // A pause before a download has no effect on it.
    d.Pause();
    EXPECT_EQ(Get(d, "/__gen/100", dir / "q.bin").code, net::DownloadCompleted);
}
