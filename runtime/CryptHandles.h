// Owners for CryptoAPI providers and hashes.
#pragma once

#include <wincrypt.h>

#include "runtime/Handles.h"

namespace rt {

struct CryptProviderTraits {
    using Type = HCRYPTPROV;
    static HCRYPTPROV Empty() { return 0; }
    static void Close(HCRYPTPROV provider) { ::CryptReleaseContext(provider, 0); }
};
struct CryptHashTraits {
    using Type = HCRYPTHASH;
    static HCRYPTHASH Empty() { return 0; }
    static void Close(HCRYPTHASH hash) { ::CryptDestroyHash(hash); }
};

using UniqueCryptProvider = UniqueResource<CryptProviderTraits>;
using UniqueCryptHash = UniqueResource<CryptHashTraits>;

}  // namespace rt
