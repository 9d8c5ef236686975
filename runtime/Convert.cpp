#include "runtime/Convert.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace rt {
namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Leading blanks, optional sign, decimal digits; saturates at the limits.
template <typename Int>
Int ParseDecimal(const Text& raw) {
    const Text s = FoldFullWidth(raw);
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    using Wide = unsigned long long;
    const Wide limit = negative ? static_cast<Wide>(std::numeric_limits<Int>::max()) + 1
                                : static_cast<Wide>(std::numeric_limits<Int>::max());
    Wide value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const Wide digit = static_cast<Wide>(s[i] - '0');
        if (value > (limit - digit) / 10) {
            value = limit;
            break;
        }
        value = value * 10 + digit;
    }
    if (!negative) return static_cast<Int>(value);
    if (value == limit) return std::numeric_limits<Int>::min();
    return static_cast<Int>(-static_cast<long long>(value));
}

}  // namespace

Text DecimalText(long long value) { return std::to_string(value); }

Text ToText(bool value) { return value ? "真" : "假"; }
Text ToText(const Text& value) { return Text(value.c_str()); }
Text ToText(const char* value) { return value ? Text(value) : Text(); }
Text ToText(const Bytes& value) {
    const auto* p = reinterpret_cast<const char*>(value.data());
    return Text(p, std::find(p, p + value.size(), '\0'));
}

Text FoldFullWidth(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!IsLeadByte(c) || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const auto t = static_cast<unsigned char>(text[i + 1]);
        if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) {
            out += static_cast<char>(t - 0x80);
        } else if (c == 0xA1 && t == 0xA1) {
            out += ' ';
        } else {
            out += text[i];
            out += text[i + 1];
        }
        ++i;
    }
    return out;
}

std::int32_t ToInteger(const Text& text) { return ParseDecimal<std::int32_t>(text); }

std::int32_t ToInteger(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int64_t ToInt64(const Text& text) { return ParseDecimal<std::int64_t>(text); }

std::optional<std::int64_t> ParseCount(const Text& text) {
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const int digit = c - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace rt
