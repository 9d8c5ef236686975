// The downloader's portable arithmetic: agent and range texts, elapsed
// time, and the progress bands of the download tasks.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/Text.h"

namespace net {

using rt::Text;

// "Agent" and the tick count read as a signed 32-bit integer.
Text AgentText(std::uint32_t tickCount);
// "\r\nRange:bytes=N-" when resuming from an offset above 0, else empty.
Text RangeHeader(bool resume, std::int64_t offset);
// The first byte position of a Content-Range value, "bytes N-M/T" or
// "bytes N-M/*"; absent for anything else.
std::optional<std::int64_t> ContentRangeStart(const Text& value);
// Milliseconds since the start, modulo 2^32 as a signed value; 0 becomes 10.
std::int32_t ElapsedMs(std::uint32_t now, std::uint32_t start);

// Position for a report: base + downloaded * 100 / total (0 without a
// total), in double precision, truncated.
std::int32_t BandPosition(int base, std::int64_t total, std::int64_t downloaded);
// The label for a position read back: position / 3, truncated, and "%".
Text PercentLabel(std::int64_t position);

}  // namespace net
