// ECDSA P-256 signatures as OpenSSL writes them (DER: SEQUENCE of two
// INTEGERs) turned into the fixed r || s form that CNG verifies.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace rt {

using RawP256Signature = std::array<std::uint8_t, 64>;

// Strict DER: minimal lengths, positive integers of at most 32 value bytes
// (plus one zero byte before a high bit), nothing after the sequence.
std::optional<RawP256Signature> RawSignatureFromDer(const std::vector<std::uint8_t>& der);

}  // namespace rt
