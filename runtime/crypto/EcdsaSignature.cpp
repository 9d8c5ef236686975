#include "runtime/crypto/EcdsaSignature.h"

#include <algorithm>

namespace rt {
namespace {

// One INTEGER at position i, written right-aligned into out[0..32).
bool ReadInteger(const std::vector<std::uint8_t>& der, std::size_t& i, std::uint8_t* out) {
    if (i + 2 > der.size() || der[i] != 0x02) return false;
    const std::size_t length = der[i + 1];
    i += 2;
    if (length == 0 || length > 33 || length >= 0x80 || i + length > der.size()) return false;
    const std::uint8_t* value = der.data() + i;
    if (value[0] & 0x80) return false;                                    // negative
    if (length > 1 && value[0] == 0 && !(value[1] & 0x80)) return false;  // not minimal
    std::size_t skip = 0;
    if (length == 33) {
        if (value[0] != 0) return false;
        skip = 1;
    }
    const std::size_t size = length - skip;
    std::fill(out, out + 32, 0);
    std::copy(value + skip, value + length, out + (32 - size));
    i += length;
    return true;
}

}  // namespace

std::optional<RawP256Signature> RawSignatureFromDer(const std::vector<std::uint8_t>& der) {
    // Two integers of at most 35 bytes each: the sequence's length fits in one byte.
    if (der.size() < 8 || der[0] != 0x30 || der[1] >= 0x80 || std::size_t(der[1]) + 2 != der.size()) return std::nullopt;
    RawP256Signature raw{};
    std::size_t i = 2;
    if (!ReadInteger(der, i, raw.data()) || !ReadInteger(der, i, raw.data() + 32) || i != der.size())
        return std::nullopt;
    const auto zero = [](const std::uint8_t* p) { return std::all_of(p, p + 32, [](std::uint8_t b) { return b == 0; }); };
    if (zero(raw.data()) || zero(raw.data() + 32)) return std::nullopt;
    return raw;
}

}  // namespace rt
