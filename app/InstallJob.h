// The installation job and the handlers of the custom-install page, the
// unpacking progress and the run button.
#pragma once

#include "runtime/Text.h"

namespace app {

void QuickInstall();
void CustomInstall();
void ShowCustomInstallPage();
void BrowseInstallFolder();
void ShowExtractProgress(int percent);
// Unpacks one pack through the window's archive component, whose progress
// event moves the ring; gives ExtractZip's 1 / 0 / -1.
int UnpackPack(const rt::Text& archive, const rt::Text& destination);
void LaunchProduct();

// Binds the handlers above under their form names.
void RegisterInstallHandlers();

}  // namespace app
