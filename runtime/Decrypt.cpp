#include "runtime/Decrypt.h"

#include <array>
#include <utility>

namespace rt {
namespace {

Bytes Rc4(const Bytes& input, const Text& key) {
    std::array<std::uint8_t, 256> s;
    for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
    const size_t keyLength = static_cast<size_t>(TextLength(key));
    if (keyLength > 0) {
        std::uint8_t j = 0;
        for (size_t i = 0; i < 256; ++i) {
            j = static_cast<std::uint8_t>(j + s[i] + static_cast<std::uint8_t>(key[i % keyLength]));
            std::swap(s[i], s[j]);
        }
    }
    Bytes out = input;
    std::uint8_t i = 0, j = 0;
    for (auto& byte : out) {
        i = static_cast<std::uint8_t>(i + 1);
        j = static_cast<std::uint8_t>(j + s[i]);
        std::swap(s[i], s[j]);
        byte ^= s[static_cast<std::uint8_t>(s[i] + s[j])];
    }
    return out;
}

}  // namespace

Bytes DecryptBytes(const Bytes& input, const Text& passPhrase, int algorithm) {
    if (algorithm == kRc4) return Rc4(input, passPhrase);
    return Bytes();
}

}  // namespace rt
