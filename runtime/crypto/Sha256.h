// SHA-256 (FIPS 180-4), fed in pieces as a file arrives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace rt {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    Sha256() { Reset(); }
    void Reset();
    void Update(const std::uint8_t* data, std::size_t size);
    // The digest of everything fed since the last reset; the object is
    // reset afterwards.
    Sha256Digest Finish();
    std::uint64_t length() const { return length_; }

private:
    void Block(const std::uint8_t* block);

    std::uint32_t state_[8];
    std::uint8_t buffer_[64];
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

// Lowercase hexadecimal, 64 digits.
std::string HexOf(const Sha256Digest& digest);
// Exactly 64 hexadecimal digits (either case), or false.
bool ParseHexDigest(const std::string& text, Sha256Digest& digest);

}  // namespace rt
