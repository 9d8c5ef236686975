#include "app/ProcessValues.h"

namespace app {

int textCodePage = 936;

Text installerVersion;
Text defaultInstallFolder;
Text serverHost;
Text serverInstallerVersion;
Text brandCode;
Text brandShortName;
Text productExeUrl;
Text updateRedirectUrl;
Text updatePrompt;
Text customInstallFolder;
Text launchPath;

void ReleaseProcessValues() {
    for (Text* value : {&installerVersion, &defaultInstallFolder, &serverHost, &serverInstallerVersion, &brandCode,
                        &brandShortName, &productExeUrl, &updateRedirectUrl, &updatePrompt, &customInstallFolder,
                        &launchPath}) {
        Text().swap(*value);
    }
}

}  // namespace app
