#include "runtime/crypto/SignatureCheck.h"

#include "runtime/Win32.h"

#include <bcrypt.h>

#include <cstring>

#include "runtime/crypto/EcdsaSignature.h"
#include "runtime/crypto/Sha256.h"

namespace rt {
namespace {

// bcrypt.dll is delay-loaded: from System32 only, and only when a build
// carries keys.
class Algorithm {
public:
    Algorithm() {
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&handle_, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0)))
            handle_ = nullptr;
    }
    ~Algorithm() {
        if (handle_) ::BCryptCloseAlgorithmProvider(handle_, 0);
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Key {
public:
    Key(BCRYPT_ALG_HANDLE algorithm, const P256PublicKey& point) {
        std::uint8_t blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64];
        BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
        std::memcpy(blob, &header, sizeof(header));
        std::memcpy(blob + sizeof(header), point.data(), point.size());
        if (!BCRYPT_SUCCESS(::BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle_, blob,
                                                  sizeof(blob), 0)))
            handle_ = nullptr;
    }
    ~Key() {
        if (handle_) ::BCryptDestroyKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    BCRYPT_KEY_HANDLE get() const { return handle_; }

private:
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

}  // namespace

bool VerifyP256Signature(const std::vector<P256PublicKey>& keys, const Bytes& message, const Bytes& derSignature) {
    if (keys.empty()) return false;
    std::optional<RawP256Signature> raw = RawSignatureFromDer(derSignature);
    if (!raw) return false;
    Sha256 hasher;
    hasher.Update(message.data(), message.size());
    Sha256Digest digest = hasher.Finish();
    const Algorithm algorithm;
    if (!algorithm.get()) return false;
    for (const P256PublicKey& point : keys) {
        const Key key(algorithm.get(), point);
        if (key.get() && BCRYPT_SUCCESS(::BCryptVerifySignature(key.get(), nullptr, digest.data(),
                                                                 static_cast<ULONG>(digest.size()), raw->data(),
                                                                 static_cast<ULONG>(raw->size()), 0)))
            return true;
    }
    return false;
}

}  // namespace rt
