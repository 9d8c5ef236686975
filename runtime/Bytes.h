// Bytes: a counted byte array that may hold zeros. Positions are 1-based.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "runtime/Text.h"

namespace rt {

using Bytes = std::vector<std::uint8_t>;

// A text's bytes without the terminator (up to its first zero byte).
Bytes ToBytes(const Text& text);
inline Bytes ToBytes(const char* text) { return ToBytes(Text(text ? text : "")); }

// A number's little-endian bytes.
template <typename T, std::enable_if_t<std::is_arithmetic_v<T>, int> = 0>
Bytes ToBytes(T value) {
    Bytes out(sizeof(T));
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    for (size_t i = 0; i < sizeof(T); ++i) out[i] = p[i];  // targets are little-endian
    return out;
}

Bytes LeftBytes(const Bytes& bytes, int n);
Bytes RightBytes(const Bytes& bytes, int n);
int FindBytes(const Bytes& bytes, const Bytes& sought, int start = 1);
Bytes ZeroBytes(int n);
Bytes BytesFromPointer(const void* address, int n);

template <typename... T>
std::int32_t BitAnd(std::int32_t a, std::int32_t b, T... rest) {
    std::int32_t r = a & b;
    ((r &= static_cast<std::int32_t>(rest)), ...);
    return r;
}
template <typename... T>
std::int32_t BitOr(std::int32_t a, std::int32_t b, T... rest) {
    std::int32_t r = a | b;
    ((r |= static_cast<std::int32_t>(rest)), ...);
    return r;
}
inline std::int32_t BitNot(std::int32_t a) { return ~a; }
// Arithmetic shift; the count is masked to 0..31.
inline std::int32_t ShiftRight(std::int32_t value, int count) { return value >> (count & 31); }

}  // namespace rt
