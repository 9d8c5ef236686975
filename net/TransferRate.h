// The download's speed, smoothed over the last few seconds, and the line
// that tells the user how far it is and how long it still takes.
#pragma once

#include <cstdint>
#include <deque>

#include "runtime/Text.h"

namespace net {

using rt::Text;

class RateMeter {
public:
    static constexpr std::int32_t kWindowMs = 3000;

    // Bytes this transfer received by the milliseconds since it began.
    void Add(std::int32_t elapsedMs, std::int64_t received);
    // Bytes a second over the last kWindowMs (over all of it at first);
    // 0 until there is a span to measure.
    double BytesPerSecond() const;

private:
    struct Sample {
        std::int32_t ms;
        std::int64_t received;
    };
    std::deque<Sample> samples_;
};

// "12.3 MB / 45.0 MB，2.4 MB/s，剩余约 14 秒": the amount done, of the whole
// when it is known, the speed when there is one, and the time left when
// both are known. Sizes below 1 MB are in KB (below 1 KB in B); times of a minute and more
// in minutes and seconds.
Text ProgressLine(std::int64_t done, std::int64_t total, double bytesPerSecond);

}  // namespace net
