#include "app/UpdateDecision.h"

namespace app {

Manifest ParseManifest(const Text& manifestText, const Text& brandShortName, bool distributionChannel) {
    return {ManifestValue(manifestText, kVersionKey), ManifestValue(manifestText, kUpdatePromptKey),
            ManifestValue(manifestText, UpdatePageKey(brandShortName, distributionChannel))};
}

UpdateAction DecideUpdate(const Manifest& manifest, const Text& installerVersion) {
    if (manifest.version.empty()) return UpdateAction::ServerUnreachable;
    return manifest.version == installerVersion ? UpdateAction::Proceed : UpdateAction::ShowUpdate;
}

}  // namespace app
