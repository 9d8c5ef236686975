// Everything the installer keeps for the life of the process, in one
// owner. The exit routine releases its members in declaration order.
#pragma once

#include <memory>

#include "net/ResumableDownloader.h"
#include "runtime/Handles.h"
#include "runtime/Text.h"

namespace app {

using rt::Text;

// The process-wide texts.
struct ProcessValues {
    // Set together by the manifest step.
    Text installerVersion;
    Text defaultInstallFolder;
    Text serverHost;
    Text serverInstallerVersion;
    Text brandCode;
    Text brandShortName;
    Text productExeUrl;
    Text updateRedirectUrl;
    Text updatePrompt;
    Text manifestText;      // the files' checks, when it has them
    bool manifestSigned = false;  // its signature held: every file needs its check
    // Set by the custom-install page and by the installation job.
    Text customInstallFolder;
    Text launchPath;
    Text launchFolder;  // the installation folder the product starts in
};

struct ProcessState {
    ProcessValues values;
    bool jobRunning = false;
    // The one downloader of the process, made at start-up.
    std::unique_ptr<net::ResumableDownloader> downloader;
    // The single-instance event, released last: a second copy is refused
    // until the very end.
    rt::UniqueHandle instanceEvent;

    // The exit routine: each member in declaration order.
    void Release();
};

ProcessState& Process();
inline ProcessValues& Values() { return Process().values; }

}  // namespace app
