#include "app/ManifestStep.h"

#include "app/Brands.h"
#include "app/InstanceGuard.h"
#include "app/ProcessValues.h"
#include "app/Startup.h"
#include "app/UpdateDecision.h"
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

    const std::optional<Brand> brand = SelectBrand(ProductName());
    brandCode = brand ? brand->code : "";
    brandShortName = brand ? brand->shortName : "";

    // Fetch, read, decide, then act.
    const Manifest manifest =
        ParseManifest(rt::Utf8ToText(FetchManifest(ManifestUrl(serverHost))), brandShortName, distributionChannel);
    const UpdateAction action = DecideUpdate(manifest, installerVersion);
    serverInstallerVersion = manifest.version;
    if (action == UpdateAction::ServerUnreachable) ShowServerUnreachable();
    productExeUrl = ProductExeUrl(serverHost, brandCode, distributionChannel);
    updateRedirectUrl = manifest.updatePage;
    updatePrompt = manifest.prompt;
    if (action == UpdateAction::Proceed) return;

    SetTopmost(ui::WindowHandleOf(ui::kMainWindowId), false);
    rt::MessageBox(updatePrompt, 0, "提示");
    rt::OpenUrl(updateRedirectUrl);
    rt::EndProgram(0);
}

}  // namespace app
