// The installation job and the handlers of the custom-install page, the
// unpacking progress and the run button.
#pragma once

namespace app {

void QuickInstall();
void CustomInstall();
void ShowCustomInstallPage();
void BrowseInstallFolder();
void ShowExtractProgress(int percent);
void LaunchProduct();

// Binds the handlers above under their form names.
void RegisterInstallHandlers();

}  // namespace app
