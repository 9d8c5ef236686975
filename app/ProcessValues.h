// The installer's process-wide values, each written by the module that
// owns it and released by the exit routine.
#pragma once

#include "runtime/Text.h"

namespace app {

using rt::Text;

// Code page of every conversion of a Text to UTF-16; 936 (GBK) from start-up.
extern int textCodePage;

// Set by the manifest step.
extern Text installerVersion;
extern Text defaultInstallFolder;
extern Text serverHost;
extern Text serverInstallerVersion;
extern Text brandCode;
extern Text brandShortName;
extern Text productExeUrl;
extern Text updateRedirectUrl;
extern Text updatePrompt;

// Set by the installation job and its folder selection.
extern Text customInstallFolder;
extern Text launchPath;

// Releases every process-wide text (the exit routine).
void ReleaseProcessValues();

}  // namespace app
