// The public keys the manifest's signature must verify against, built in
// from INSTALLER_MANIFEST_KEY. Empty: the build asks for no signature.
#pragma once

#include <vector>

#include "runtime/crypto/SignatureCheck.h"

namespace app {

const std::vector<rt::P256PublicKey>& ManifestKeys();

}  // namespace app
