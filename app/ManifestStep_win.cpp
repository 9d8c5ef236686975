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
namespace {

// The whole manifest fetch may take this long; a server that has not
// answered by then counts as unreachable.
constexpr std::uint32_t kManifestTimeLimitMs = 15000;

// The manifest fetched while the window keeps answering; it takes no
// input meanwhile, so nothing can start before the manifest is read.
rt::Bytes FetchManifest(const Text& url) {
    HWND window = ui::WindowHandleOf(ui::kMainWindowId);
    const bool wasDisabled = window && ::EnableWindow(window, FALSE);
    const rt::Bytes body = rt::HttpGetAllResponsive(url, kManifestTimeLimitMs);
    if (window && !wasDisabled) ::EnableWindow(window, TRUE);
    return body;
}

}  // namespace

void ShowServerUnreachable() {
    rt::MessageBox("连接服务器失败，请稍后重试", 0, "提示");
    rt::EndProgram(0);
}

void RunManifestStep(bool distributionChannel) {
    installerVersion = kInstallerVersion;
    defaultInstallFolder = rt::SpecialFolderPath(rt::kFolderAppData) + "TaVoli";
    rt::ProcessPendingEvents();

    const rt::Bytes block(std::begin(kServerHostBlock), std::end(kServerHostBlock));
    serverHost = rt::ToText(rt::DecryptBytes(block, kServerHostPassPhrase, rt::kRc4));

    const Text manifest = rt::Utf8ToText(FetchManifest(ManifestUrl(serverHost)));
    serverInstallerVersion = ManifestValue(manifest, kVersionKey);
    if (serverInstallerVersion.empty()) ShowServerUnreachable();

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
