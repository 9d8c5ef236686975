#include "app/Startup.h"

#include "app/InstallJob.h"
#include "app/InstanceGuard.h"
#include "app/ManifestStep.h"
#include "app/ProcessState.h"
#include "net/DownloadTasks.h"
#include "runtime/Dialogs.h"
#include "runtime/Program.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"
#include "ui/WindowHandlers.h"

namespace app {
namespace {

constexpr char kSecondCopyMessage[] = "请勿重复运行本程序，如程序未响应请尝试重启电脑！";

}  // namespace

rt::Text ProductName() {
    return ui::GetControlProperty(ui::kMainWindowId, ui::kProductNameLabel, ui::kPropText).AsText();
}

void OnMainWindowCreated() {
    const rt::Text name = ProductName();
    for (std::uint32_t label : {ui::kBannerNameLabel, ui::kInstallPageNameLabel, ui::kFinishPageNameLabel})
        ui::SetControlProperty(ui::kMainWindowId, label, ui::kPropText, name);
    PreventSecondInstance(ProductName(), true, rt::Text(kSecondCopyMessage), MB_ICONEXCLAMATION | MB_OK, true);
    // Whatever escapes the manifest step (memory, a damaged answer) ends the
    // installer as an unreachable server does, not with a crash.
    try {
        RunManifestStep(false);
    } catch (...) {
        ShowServerUnreachable();
    }
}

void RegisterHandlers() {
    ui::RegisterWindowHandlers();
    RegisterInstallHandlers();
    ui::RegisterHandler(ui::Action::OnMainWindowCreated, [](std::uint32_t, int) { OnMainWindowCreated(); });
}

void ExitRoutine() { Process().Release(); }

int RunInstaller() {
    rt::RuntimeStartup();
    if (!ui::LoadToolkit()) {
        rt::MessageBox("当前系统版本过低,界面库加载失败,若为xp系统请使用xp版界面库", MB_OK, "警告");
        return 0;
    }
    rt::RegisterLibraryUnloader(ui::UnloadToolkit);
    Process().downloader = std::make_unique<net::ResumableDownloader>();
    rt::RegisterExitRoutine(ExitRoutine);

    RegisterHandlers();
    if (!ui::LoadMainWindow()) {
        rt::MessageBox("当前系统版本过低,界面库加载失败,若为xp系统请使用xp版界面库", MB_OK, "警告");
        rt::EndProgram(0);
    }
    rt::RunMessageLoop();
    rt::EndProgram(0);
}

}  // namespace app
