// How often a transfer lets the window handle what waits for it. Every
// dispatch costs a round trip to the window system (tens to hundreds of
// microseconds under Wine) while a piece arrives every few tens at
// loopback speed, so the reporter dispatches at most once every 8 ms:
// input is still answered well within 50 ms, and the last piece always
// dispatches, so the final state is shown.
#pragma once

#include <cstdint>

namespace net {

constexpr std::int64_t kDispatchIntervalUs = 8000;

class DispatchThrottle {
public:
    // Whether to dispatch now, at nowUs on a steady clock; the first piece
    // always does.
    bool Due(std::int64_t nowUs, bool last) {
        // A clock that went back is a new transfer: it dispatches.
        if (!last && started_ && nowUs >= lastUs_ && nowUs - lastUs_ < kDispatchIntervalUs) return false;
        started_ = true;
        lastUs_ = nowUs;
        return true;
    }

private:
    bool started_ = false;
    std::int64_t lastUs_ = 0;
};

}  // namespace net
