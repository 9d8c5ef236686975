// The manifest step's portable half: the server's manifest read into a
// plain value, and what the installer is to do about it. No I/O in here.
#pragma once

#include "app/Brands.h"
#include "runtime/Text.h"

namespace app {

// The values the installer reads from the manifest (GBK text).
struct Manifest {
    Text version;     // empty when the manifest is missing or unreadable
    Text prompt;      // the update notice
    Text updatePage;  // the brand's update page for its channel
};

Manifest ParseManifest(const Text& manifestText, const Text& brandShortName, bool distributionChannel);

enum class UpdateAction {
    ServerUnreachable,  // no version announced: "连接服务器失败，请稍后重试", end
    Proceed,            // the versions match: the user installs
    ShowUpdate,         // they differ: the notice, the update page, end
};

UpdateAction DecideUpdate(const Manifest& manifest, const Text& installerVersion);

}  // namespace app
