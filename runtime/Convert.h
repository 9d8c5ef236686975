// Conversions between values and Text.
#pragma once

#include <cstdint>
#include <optional>
#include <type_traits>

#include "runtime/Bytes.h"
#include "runtime/Text.h"

namespace rt {

Text DecimalText(long long value);

// Integers as decimals, logical values as "真"/"假", texts as themselves,
// byte arrays up to their first zero byte.
template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
Text ToText(T value) {
    return DecimalText(static_cast<long long>(value));
}
Text ToText(bool value);
Text ToText(const Text& value);
Text ToText(const char* value);
Text ToText(const Bytes& value);

// Full-width forms of ASCII characters (GBK A3A1..A3FE, and the
// ideographic space A1A1) replaced by their one-byte forms.
Text FoldFullWidth(const Text& text);

// C atoi rules after full-width folding: leading blanks, a sign, digits;
// anything else gives 0. Out-of-range values saturate.
std::int32_t ToInteger(const Text& text);
std::int32_t ToInteger(double value);  // truncated toward zero, saturated
std::int64_t ToInt64(const Text& text);

// A byte count as servers write it: decimal digits only, at least one,
// within 64 bits; absent otherwise (no sign, no blanks, no saturation).
std::optional<std::int64_t> ParseCount(const Text& text);

}  // namespace rt
