#include "net/DownloadText.h"

#include "runtime/Convert.h"

namespace net {

Text AgentText(std::uint32_t tickCount) { return "Agent" + rt::ToText(static_cast<std::int32_t>(tickCount)); }

Text RangeHeader(bool resume, std::int64_t offset) {
    if (!resume || offset <= 0) return Text();
    return "\r\nRange:bytes=" + rt::ToText(offset) + "-";
}

std::optional<std::int64_t> ContentRangeStart(const Text& value) {
    static const char kUnit[] = "bytes ";
    if (value.compare(0, sizeof(kUnit) - 1, kUnit) != 0) return std::nullopt;
    const size_t dash = value.find('-', sizeof(kUnit) - 1), slash = value.find('/');
    if (dash == Text::npos || slash == Text::npos || slash < dash) return std::nullopt;
    const std::optional<std::int64_t> first = rt::ParseCount(value.substr(sizeof(kUnit) - 1, dash - (sizeof(kUnit) - 1)));
    const std::optional<std::int64_t> last = rt::ParseCount(value.substr(dash + 1, slash - dash - 1));
    const Text whole = value.substr(slash + 1);
    if (!first || !last || *last < *first || (whole != "*" && !rt::ParseCount(whole))) return std::nullopt;
    return first;
}

std::int32_t ElapsedMs(std::uint32_t now, std::uint32_t start) {
    const auto elapsed = static_cast<std::int32_t>(now - start);
    return elapsed == 0 ? 10 : elapsed;
}

std::int32_t BandPosition(int base, std::int64_t total, std::int64_t downloaded) {
    const std::int32_t percent =
        total == 0 ? 0 : rt::ToInteger(static_cast<double>(downloaded) * 100.0 / static_cast<double>(total));
    return rt::ToInteger(static_cast<double>(percent) + base);
}

Text PercentLabel(std::int64_t position) {
    return rt::ToText(rt::ToInteger(static_cast<double>(position) / 3.0)) + "%";
}

}  // namespace net
