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
    Rejected,           // the signature does not hold: "服务器文件校验失败，请稍后重试", end
};

// Whether the manifest's signature was asked for and held.
enum class ManifestTrust {
    NotAsked,  // a build without keys
    Verified,
    Failed,    // missing, malformed or by no trusted key
};

// An empty manifest is an unreachable server, whatever its signature; a
// manifest whose signature fails is rejected before anything in it counts.
UpdateAction DecideUpdate(const Manifest& manifest, const Text& installerVersion,
                          ManifestTrust trust = ManifestTrust::NotAsked, bool manifestEmpty = false);

// Only a web page is opened as the update page: "http://" or "https://"
// (any case) and something after it. Never a program, a file or a share.
bool IsWebAddress(const Text& address);

}  // namespace app
