#include "net/TransferRate.h"

#include <cmath>
#include <cstdio>

namespace net {
namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

Text Size(double bytes) {
    char text[32];
    if (bytes < 1024.0) {
        std::snprintf(text, sizeof(text), "%.0f B", std::floor(bytes));
    } else if (bytes < kMegabyte) {
        std::snprintf(text, sizeof(text), "%.0f KB", std::floor(bytes / 1024.0));
    } else {
        std::snprintf(text, sizeof(text), "%.1f MB", bytes / kMegabyte);
    }
    return text;
}

Text TimeLeft(double seconds) {
    const long long s = static_cast<long long>(std::ceil(seconds));
    char text[48];
    if (s < 60) {
        std::snprintf(text, sizeof(text), "剩余约 %lld 秒", s < 1 ? 1 : s);
    } else if (s < 3600) {
        std::snprintf(text, sizeof(text), "剩余约 %lld 分 %lld 秒", s / 60, s % 60);
    } else {
        std::snprintf(text, sizeof(text), "剩余约 %lld 小时 %lld 分", s / 3600, (s % 3600) / 60);
    }
    return text;
}

}  // namespace

void RateMeter::Add(std::int32_t elapsedMs, std::int64_t received) {
    if (!samples_.empty() && elapsedMs < samples_.back().ms) samples_.clear();  // a new transfer
    samples_.push_back({elapsedMs, received});
    while (samples_.size() > 2 && samples_.back().ms - samples_[1].ms >= kWindowMs) samples_.pop_front();
}

double RateMeter::BytesPerSecond() const {
    if (samples_.empty()) return 0.0;
    const Sample& last = samples_.back();
    // With one sample the span is the transfer's own start.
    const Sample first = samples_.size() > 1 ? samples_.front() : Sample{0, 0};
    const std::int32_t span = last.ms - first.ms;
    if (span <= 0) return 0.0;
    return static_cast<double>(last.received - first.received) * 1000.0 / span;
}

Text ProgressLine(std::int64_t done, std::int64_t total, double bytesPerSecond) {
    Text line = Size(static_cast<double>(done));
    if (total > 0) line += " / " + Size(static_cast<double>(total));
    if (bytesPerSecond >= 1.0) {
        line += "，" + Size(bytesPerSecond) + "/s";
        if (total > done) line += "，" + TimeLeft(static_cast<double>(total - done) / bytesPerSecond);
    }
    return line;
}

}  // namespace net
