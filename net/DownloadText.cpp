#include "net/DownloadText.h"

#include "runtime/Convert.h"

namespace net {

Text AgentText(std::uint32_t tickCount) { return "Agent" + rt::ToText(static_cast<std::int32_t>(tickCount)); }

Text RangeHeader(bool resume, std::int64_t offset) {
    if (!resume || offset <= 0) return Text();
    return "\r\nRange:bytes=" + rt::ToText(offset) + "-";
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
