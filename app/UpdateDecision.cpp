#include "app/UpdateDecision.h"

namespace app {

Manifest ParseManifest(const Text& manifestText, const Text& brandShortName, bool distributionChannel) {
    return {ManifestValue(manifestText, kVersionKey), ManifestValue(manifestText, kUpdatePromptKey),
            ManifestValue(manifestText, UpdatePageKey(brandShortName, distributionChannel))};
}

UpdateAction DecideUpdate(const Manifest& manifest, const Text& installerVersion, ManifestTrust trust,
                          bool manifestEmpty) {
    if (manifestEmpty) return UpdateAction::ServerUnreachable;
    if (trust == ManifestTrust::Failed) return UpdateAction::Rejected;
    if (manifest.version.empty()) return UpdateAction::ServerUnreachable;
    return manifest.version == installerVersion ? UpdateAction::Proceed : UpdateAction::ShowUpdate;
}

bool IsWebAddress(const Text& address) {
    for (const char* scheme : {"http://", "https://"}) {
        const size_t n = std::char_traits<char>::length(scheme);
        if (address.size() > n && rt::LowerCase(address.substr(0, n)) == scheme) return true;
    }
    return false;
}

}  // namespace app
