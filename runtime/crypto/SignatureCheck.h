// Verifies a detached ECDSA P-256 signature over SHA-256 of a message,
// as `openssl dgst -sha256 -sign` makes it, against trusted public keys.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "runtime/Bytes.h"

namespace rt {

// A public key as the point's coordinates X || Y (32 bytes each).
using P256PublicKey = std::array<std::uint8_t, 64>;

// True when any of the keys verifies the DER signature over the message.
// False for a malformed signature, no keys, or a system without CNG.
bool VerifyP256Signature(const std::vector<P256PublicKey>& keys, const Bytes& message, const Bytes& derSignature);

}  // namespace rt
