#include "net/TransferRate.h"

#include <cmath>
#include <string>

namespace net {
namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

Text Whole(double value) { return std::to_string(static_cast<long long>(value)); }

// Formatted with integers alone: the printf family would bring its
// floating-point formatter into the exe for these few texts.
Text Size(double bytes) {
    if (bytes < 1024.0) return Whole(std::floor(bytes)) + " B";
    if (bytes < kMegabyte) return Whole(std::floor(bytes / 1024.0)) + " KB";
    const long long tenths = std::llround(bytes / kMegabyte * 10.0);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

Text TimeLeft(double seconds) {
    const long long s = static_cast<long long>(std::ceil(seconds));
    if (s < 60) return "剩余约 " + std::to_string(s < 1 ? 1 : s) + " 秒";
    if (s < 3600) return "剩余约 " + std::to_string(s / 60) + " 分 " + std::to_string(s % 60) + " 秒";
    return "剩余约 " + std::to_string(s / 3600) + " 小时 " + std::to_string((s % 3600) / 60) + " 分";
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
