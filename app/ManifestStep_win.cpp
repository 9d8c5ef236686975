#include "app/ManifestStep.h"

#include "app/Brands.h"
#include "app/InstanceGuard.h"
#include "app/ProcessValues.h"
#include "app/ServerHostBlock.h"
#include "runtime/Convert.h"
#include "runtime/Decrypt.h"
#include "runtime/Dialogs.h"
#include "runtime/Http.h"
#include "runtime/Program.h"
#include "runtime/Shell.h"
#include "runtime/Utf8.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"

namespace app {

void RunManifestStep(bool distributionChannel) {
    installerVersion = kInstallerVersion;
    defaultInstallFolder = rt::SpecialFolderPath(rt::kFolderAppData) + "TaVoli";
    rt::ProcessPendingEvents();

    const rt::Bytes block(std::begin(kServerHostBlock), std::end(kServerHostBlock));
    serverHost = rt::ToText(rt::DecryptBytes(block, kServerHostPassPhrase, rt::kRc4));

    const Text manifest = rt::Utf8ToText(rt::HttpGetAll(ManifestUrl(serverHost)));
    serverInstallerVersion = ManifestValue(manifest, kVersionKey);
    if (serverInstallerVersion.empty()) {
        rt::MessageBox("连接服务器失败，请稍后重试", 0, "提示");
        rt::EndProgram(0);
    }

    const Text productName =
        ui::GetControlProperty(ui::kMainWindowId, ui::kProductNameLabel, ui::kPropText).AsText();
    const std::optional<Brand> brand = SelectBrand(productName);
    brandCode = brand ? brand->code : "";
    brandShortName = brand ? brand->shortName : "";

    productExeUrl = ProductExeUrl(serverHost, brandCode, distributionChannel);
    updateRedirectUrl = ManifestValue(manifest, UpdatePageKey(brandShortName, distributionChannel));
    updatePrompt = ManifestValue(manifest, kUpdatePromptKey);

    if (installerVersion == serverInstallerVersion) return;
    SetTopmost(ui::WindowHandleOf(ui::kMainWindowId), false);
    rt::MessageBox(updatePrompt, 0, "提示");
    rt::OpenUrl(updateRedirectUrl);
    rt::EndProgram(0);
}

}  // namespace app
