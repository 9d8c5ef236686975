#include "runtime/Bytes.h"

#include <cstring>

namespace rt {

Bytes ToBytes(const Text& text) {
    size_t n = std::strlen(text.c_str());
    return Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

Bytes LeftBytes(const Bytes& bytes, int n) {
    if (n <= 0) return Bytes();
    size_t k = std::min(static_cast<size_t>(n), bytes.size());
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(k));
}

Bytes RightBytes(const Bytes& bytes, int n) {
    if (n <= 0) return Bytes();
    size_t k = std::min(static_cast<size_t>(n), bytes.size());
    return Bytes(bytes.end() - static_cast<std::ptrdiff_t>(k), bytes.end());
}

int FindBytes(const Bytes& bytes, const Bytes& sought, int start) {
    if (start < 1) start = 1;
    size_t from = static_cast<size_t>(start) - 1;
    if (sought.empty() || from >= bytes.size() || sought.size() > bytes.size()) return -1;
    for (size_t i = from; i + sought.size() <= bytes.size(); ++i) {
        if (std::memcmp(bytes.data() + i, sought.data(), sought.size()) == 0) return static_cast<int>(i) + 1;
    }
    return -1;
}

Bytes ZeroBytes(int n) { return n <= 0 ? Bytes() : Bytes(static_cast<size_t>(n), 0); }

Bytes BytesFromPointer(const void* address, int n) {
    if (!address || n <= 0) return Bytes();
    const auto* p = static_cast<const std::uint8_t*>(address);
    return Bytes(p, p + n);
}

}  // namespace rt
