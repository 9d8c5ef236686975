#include <gtest/gtest.h>

#include "net/DownloadText.h"
#include "runtime/Convert.h"

using namespace net;

TEST(DownloadText, AgentAndRange) {
    EXPECT_EQ(AgentText(987), "Agent987");
    EXPECT_EQ(AgentText(0x80000005u), "Agent-2147483643");  // the count read as a signed integer
    EXPECT_EQ(AgentText(0xFFFFFFFFu), "Agent-1");
    EXPECT_EQ(RangeHeader(true, 5000), "\r\nRange:bytes=5000-");
    EXPECT_EQ(RangeHeader(true, 0), "");
    EXPECT_EQ(RangeHeader(false, 5000), "");
    EXPECT_EQ(RangeHeader(true, 5000000000LL), "\r\nRange:bytes=5000000000-");
}

TEST(DownloadText, ElapsedTimeRule) {
    EXPECT_EQ(ElapsedMs(1000, 1000), 10);          // a piece in the start's own tick
    EXPECT_EQ(ElapsedMs(1250, 1000), 250);
    EXPECT_EQ(ElapsedMs(5, 0xFFFFFFF0u), 21);      // across the tick counter's wrap
    EXPECT_EQ(ElapsedMs(0x80000000u, 0), INT32_MIN);
}

TEST(DownloadText, BandsAndLabels) {
    struct Case {
        int base;
        std::int64_t total, downloaded;
        std::int32_t position;
    } cases[] = {
        {0, 1000, 0, 0}, {0, 1000, 1000, 100}, {100, 1000, 1000, 200}, {200, 1000, 1000, 300},
        {0, 3, 1, 33}, {100, 3, 2, 166}, {0, 0, 5000, 0}, {100, 0, 5000, 100}, {200, 0, 1, 200},
        {200, 1000, 1500, 350},  // more than announced: past the band, handed on unchanged
        {0, 268435456, 268435455, 99},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BandPosition(c.base, c.total, c.downloaded), c.position) << c.base << " " << c.downloaded;
    EXPECT_EQ(PercentLabel(151), "50%");
    EXPECT_EQ(PercentLabel(300), "100%");
    EXPECT_EQ(PercentLabel(100), "33%");
    EXPECT_EQ(PercentLabel(200), "66%");
    EXPECT_EQ(PercentLabel(0), "0%");
}

TEST(DownloadText, ContentRangeStartAndCounts) {
    struct Case {
        const char* value;
        std::int64_t start;  // -1: refused
    } cases[] = {
        {"bytes 20000-59999/60000", 20000}, {"bytes 0-0/1", 0}, {"bytes 5-9/*", 5},
        {"bytes 9223372036854775806-9223372036854775806/9223372036854775807", 9223372036854775806LL},
        {"bytes */60000", -1}, {"bytes 10-5/60000", -1}, {"bytes -5-9/60", -1}, {"bytes 5-9", -1},
        {"items 5-9/60", -1}, {"bytes 99999999999999999999-1/2", -1}, {"", -1}, {"bytes 5-9/x", -1},
    };
    for (const Case& c : cases) {
        const std::optional<std::int64_t> start = ContentRangeStart(c.value);
        EXPECT_EQ(start.value_or(-1), c.start) << c.value;
    }
    EXPECT_EQ(rt::ParseCount("0").value_or(-1), 0);
    EXPECT_EQ(rt::ParseCount("9223372036854775807").value_or(-1), 9223372036854775807LL);
    for (const char* bad : {"", "9223372036854775808", "-1", "+1", " 1", "1 ", "1e3", "０"})
        EXPECT_FALSE(rt::ParseCount(bad).has_value()) << bad;
}
