#include "app/ManifestStep.h"

#include "app/Brands.h"
#include "app/InstanceGuard.h"
#include "app/ManifestKeys.h"
#include "app/ProcessState.h"
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
#include "runtime/crypto/SignatureCheck.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"

namespace app {
namespace {

// The whole manifest fetch may take this long; a server that has not
// answered by then counts as unreachable.
constexpr std::uint32_t kManifestTimeLimitMs = 15000;
// The manifest and its signature are small texts; a larger answer is not
// them, and memory is not the server's to fill.
constexpr std::int64_t kManifestLimit = 64 * 1024;

// The manifest fetched while the window keeps answering; it takes no
// input meanwhile, so nothing can start before the manifest is read.
rt::Bytes FetchManifest(const Text& url) {
    HWND window = ui::WindowHandleOf(ui::kMainWindowId);
    const bool wasDisabled = window && ::EnableWindow(window, FALSE);
    const rt::Bytes body = rt::HttpGetAllResponsive(url, kManifestTimeLimitMs, nullptr, kManifestLimit);
    if (window && !wasDisabled) ::EnableWindow(window, TRUE);
    return body;
}

}  // namespace

void ShowServerUnreachable() {
    rt::MessageBox("连接服务器失败，请稍后重试", 0, "提示");
    rt::EndProgram(0);
}

// Whether the manifest's bytes carry a signature by a built-in key; not
// asked in a build without keys.
ManifestTrust CheckSignature(const rt::Bytes& manifest, const Text& url) {
    const std::vector<rt::P256PublicKey>& keys = ManifestKeys();
    if (keys.empty()) return ManifestTrust::NotAsked;
    if (manifest.empty()) return ManifestTrust::Failed;
    const rt::Bytes signature = FetchManifest(url + ".sig");
    return rt::VerifyP256Signature(keys, manifest, signature) ? ManifestTrust::Verified : ManifestTrust::Failed;
}

void ShowManifestRejected() {
    rt::MessageBox("服务器文件校验失败，请稍后重试", 0, "提示");
    rt::EndProgram(0);
}

void RunManifestStep(bool distributionChannel) {
    rt::ProcessPendingEvents();
    const rt::Bytes block(std::begin(kServerHostBlock), std::end(kServerHostBlock));
    const Text host = rt::ToText(rt::DecryptBytes(block, kServerHostPassPhrase, rt::kRc4));
    const std::optional<Brand> brand = SelectBrand(ProductName());
    const Text shortName = brand ? brand->shortName : "";

    // Fetch, read, decide; then set the process-wide values in one place
    // and act.
    const Text url = ManifestUrl(host);
    const rt::Bytes body = FetchManifest(url);
    const ManifestTrust trust = CheckSignature(body, url);
    const Text text = rt::Utf8ToText(body);
    const Manifest manifest = ParseManifest(text, shortName, distributionChannel);
    const UpdateAction action = DecideUpdate(manifest, kInstallerVersion, trust, body.empty());

    ProcessValues& v = Values();
    v.installerVersion = kInstallerVersion;
    v.defaultInstallFolder = rt::SpecialFolderPath(rt::kFolderAppData) + "TaVoli";
    v.serverHost = host;
    v.brandCode = brand ? brand->code : "";
    v.brandShortName = shortName;
    v.serverInstallerVersion = manifest.version;
    v.productExeUrl = ProductExeUrl(host, v.brandCode, distributionChannel);
    v.updateRedirectUrl = manifest.updatePage;
    v.updatePrompt = manifest.prompt;
    v.manifestText = trust == ManifestTrust::Failed ? Text() : text;
    v.manifestSigned = trust == ManifestTrust::Verified;

    switch (action) {
        case UpdateAction::Proceed:
            return;
        case UpdateAction::ServerUnreachable:
            ShowServerUnreachable();
            return;
        case UpdateAction::Rejected:
            ShowManifestRejected();
            return;
        case UpdateAction::ShowUpdate:
            break;
    }
    SetTopmost(ui::WindowHandleOf(ui::kMainWindowId), false);
    rt::MessageBox(v.updatePrompt, 0, "提示");
    // The shell opens whatever it is given, with administrator rights:
    // only a web page is handed to it.
    if (IsWebAddress(v.updateRedirectUrl)) rt::OpenUrl(v.updateRedirectUrl);
    rt::EndProgram(0);
}

}  // namespace app
