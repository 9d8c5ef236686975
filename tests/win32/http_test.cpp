#include <gtest/gtest.h>

#include "runtime/Convert.h"
#include "runtime/Http.h"
#include "tests/win32/test_support.h"

using namespace testing_support;

TEST(HttpGetAll, WholeBodyWithContentLength) {
    rt::HttpGetReport report;
    const Bytes body = rt::HttpGetAll(ServerBase() + "/__gen/300000", &report);
    EXPECT_EQ(body, GeneratedBody(300000));
    EXPECT_EQ(report.status, 200);
    EXPECT_EQ(report.announced, 300000);
    EXPECT_TRUE(report.complete);
}

TEST(HttpGetAll, WholeBodyWithoutContentLength) {
    rt::HttpGetReport report;
    const Bytes body = rt::HttpGetAll(ServerBase() + "/__b/nolength/__gen/123457", &report);
    EXPECT_EQ(body, GeneratedBody(123457));
    EXPECT_EQ(report.announced, -1);
    EXPECT_TRUE(report.complete);
}

TEST(HttpGetAll, EmptyBody) {
    rt::HttpGetReport report;
    EXPECT_TRUE(rt::HttpGetAll(ServerBase() + "/__gen/0", &report).empty());
    EXPECT_EQ(report.status, 200);
    EXPECT_TRUE(report.complete);
}

TEST(HttpGetAll, ABodyPastTheLimitIsDroppedAnnouncedOrNot) {
    for (const char* path : {"/__gen/70000", "/__b/nolength/__gen/70000"}) {
        rt::HttpGetReport report;
        EXPECT_TRUE(rt::HttpGetAll(ServerBase() + path, &report, 65536).empty()) << path;
        EXPECT_TRUE(report.tooLarge) << path;
        EXPECT_FALSE(report.complete) << path;
        // Exactly at the limit is still whole.
        EXPECT_EQ(rt::HttpGetAll(ServerBase() + path, &report, 70000), GeneratedBody(70000)) << path;
        EXPECT_FALSE(report.tooLarge);
    }
}

TEST(HttpGetAll, ACutConnectionReturnsWhatArrived) {
    rt::HttpGetReport report;
    const Bytes body = rt::HttpGetAll(ServerBase() + "/__b/cut=40000/__gen/200000", &report);
    EXPECT_FALSE(report.complete);
    EXPECT_GT(body.size(), 0u);  // what arrived is kept, not dropped
    EXPECT_LE(body.size(), 40000u);
    const Bytes expected = GeneratedBody(body.size());
    EXPECT_EQ(body, expected);  // a prefix of the resource, nothing invented
}

TEST(HttpGetAll, ErrorStatusBodyIsReturnedAndReported) {
    rt::HttpGetReport report;
    const Text body = rt::ToText(rt::HttpGetAll(ServerBase() + "/__b/status=404/qrn/azq.txt", &report));
    EXPECT_EQ(report.status, 404);
    EXPECT_NE(body.find("Error 404"), Text::npos);
    rt::HttpGetAll(ServerBase() + "/__b/status=500/x", &report);
    EXPECT_EQ(report.status, 500);
}

TEST(HttpGetAll, UnreachableOrUnparsableGivesEmpty) {
    rt::HttpGetReport report;
    EXPECT_TRUE(rt::HttpGetAll("http://127.0.0.1:9/qrn/azq.txt", &report).empty());  // nothing listens
    EXPECT_EQ(report.status, 0);
    EXPECT_FALSE(report.complete);
    EXPECT_TRUE(rt::HttpGetAll("not a url").empty());
    EXPECT_TRUE(rt::HttpGetAll("").empty());
    EXPECT_TRUE(rt::HttpGetAll("ftp://127.0.0.1/x").empty());
}

TEST(HttpGetAll, RequestCarriesTheAgentVersionAndHeaders) {
    ResetServer();
    rt::HttpGetAll(ServerBase() + "/__gen/10");
    const Text log = ServerLog();
    EXPECT_NE(log.find("GET /__gen/10 HTTP/1.0\n"), Text::npos) << log;
    EXPECT_NE(log.find("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\n"), Text::npos) << log;
    EXPECT_NE(log.find("Accept: */*"), Text::npos) << log;
}
