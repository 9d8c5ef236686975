#pragma once

#include "runtime/Bytes.h"
#include "runtime/Text.h"

namespace rt {

constexpr int kBlockCipher = 1;  // not used by the installer: answers empty
constexpr int kRc4 = 2;

// RC4 (algorithm 2) keyed with the pass phrase's bytes; applying it twice
// with the same pass phrase gives the input back. An empty pass phrase
// keeps the identity permutation, whose keystream is still applied.
Bytes DecryptBytes(const Bytes& input, const Text& passPhrase, int algorithm = kBlockCipher);

}  // namespace rt
