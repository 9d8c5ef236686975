// The line of amount, speed and time left, and the speed it shows.
#include <gtest/gtest.h>

#include "net/DispatchThrottle.h"
#include "net/TransferRate.h"

using net::ProgressLine;
using net::RateMeter;

namespace {
constexpr std::int64_t MB = 1024 * 1024;
}

TEST(TransferRate, LinesForSizesSpeedsAndTimes) {
    struct Case {
        std::int64_t done, total;
        double rate;
        const char* line;
    } cases[] = {
        {12897485, 47185920, 2.4 * MB, "12.3 MB / 45.0 MB，2.4 MB/s，剩余约 14 秒"},
        {0, 47185920, 0, "0 B / 45.0 MB"},                               // nothing measured yet
        {512 * 1024, 0, 300 * 1024, "512 KB，300 KB/s"},                  // no size announced: no time left
        {10 * MB, 10 * MB, 5.0 * MB, "10.0 MB / 10.0 MB，5.0 MB/s"},      // done: nothing left to wait for
        {0, 300 * MB, 1.0 * MB, "0 B / 300.0 MB，1.0 MB/s，剩余约 5 分 0 秒"},
        {0, 8000 * MB, 1.0 * MB, "0 B / 8000.0 MB，1.0 MB/s，剩余约 2 小时 13 分"},
        {MB - 1, 2 * MB, 100, "1023 KB / 2.0 MB，100 B/s，剩余约 2 小时 54 分"},
        {2 * MB - 10, 2 * MB, 1.0 * MB, "2.0 MB / 2.0 MB，1.0 MB/s，剩余约 1 秒"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgressLine(c.done, c.total, c.rate), rt::Text(c.line)) << c.line;
}

TEST(TransferRate, SpeedIsSmoothedOverTheLastSeconds) {
    RateMeter m;
    EXPECT_EQ(m.BytesPerSecond(), 0.0);
    m.Add(500, 500000);  // one sample: measured from the transfer's start
    EXPECT_DOUBLE_EQ(m.BytesPerSecond(), 1000000.0);
    // 1 MB/s for ten seconds, then 4 MB/s: after three seconds of the new
    // pace the old one no longer counts.
    std::int64_t received = 500000;
    for (int ms = 600; ms <= 10000; ms += 100) m.Add(ms, received += 100000);
    EXPECT_NEAR(m.BytesPerSecond(), 1000000.0, 1.0);
    for (int ms = 10100; ms <= 13500; ms += 100) m.Add(ms, received += 400000);
    EXPECT_NEAR(m.BytesPerSecond(), 4000000.0, 1.0);
    // A new attempt starts counting again.
    m.Add(200, 100000);
    EXPECT_DOUBLE_EQ(m.BytesPerSecond(), 500000.0);
}

TEST(DispatchThrottle, DispatchesAtMostEvery8MsAndAlwaysAfterTheLastPiece) {
    net::DispatchThrottle throttle;
    struct Step {
        std::int64_t us;
        bool last, due;
    } steps[] = {
        {1000, false, true},    // the first piece
        {5000, false, false},   // 4 ms later
        {8999, false, false},   // just short of 8 ms
        {9000, false, true},    // 8 ms after the last dispatch
        {9100, true, true},     // the last piece, whatever the time
        {2000, false, true},    // the clock went back: a new transfer
        {2500, false, false},
    };
    for (const Step& s : steps) EXPECT_EQ(throttle.Due(s.us, s.last), s.due) << s.us;
}
