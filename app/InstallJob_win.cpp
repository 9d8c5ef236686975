#include "app/InstallJob.h"

#include "app/Brands.h"
#include "app/Folders.h"
#include "app/InstallPaths.h"
#include "app/InstallPlan.h"
#include "app/InstallRing.h"
#include "app/ProcessValues.h"
#include "app/Startup.h"
#include "net/DownloadTasks.h"
#include "runtime/Dialogs.h"
#include "runtime/Files.h"
#include "runtime/Http.h"
#include "runtime/Program.h"
#include "runtime/Shell.h"
#include "runtime/zip/ExtractZip.h"
#include "ui/ControlIds.h"
#include "ui/Window.h"

namespace app {
namespace {

constexpr char kInstallingText[] = "正在安装中，请耐心等待...";
constexpr char kUnpackingText[] = "正在解压所需数据...";
constexpr char kFinishingText[] = "即将完成安装，请稍等...";
constexpr char kIncompleteText[] = "安装未完成，部分文件下载或解压失败，请检查网络后重试";

bool g_jobRunning = false;

void Set(std::uint32_t control, int property, const ui::PropertyValue& value) {
    ui::SetControlProperty(ui::kMainWindowId, control, property, value);
}


void ShowInstallPage() {
    Set(ui::kPageContainer, ui::kPropCurrentPage, ui::kInstallPage);
    Set(ui::kStatusLabel, ui::kPropText, kInstallingText);
    Set(ui::kExitButton, ui::kPropDisabled, true);
}

void CreateInstallFolders(const Text& d, bool dispatchFirst) {
    if (dispatchFirst) rt::ProcessPendingEvents();
    for (const Text& folder : InstallFolders(d)) rt::CreateFolder(folder);
}

// A library is written only when it arrived whole: an error page or a
// broken transfer must not replace it.
bool FetchLibrary(const FetchTask& task) {
    rt::HttpGetReport report;
    const rt::Bytes body = rt::HttpGetAll(task.url, &report);
    const bool whole = report.status >= 200 && report.status <= 299 && report.complete && !body.empty();
    return whole && rt::WriteBytesToFile(task.target, body);
}

bool Fetch(const FetchTask& task) {
    if (task.kind == FetchKind::Library) return FetchLibrary(task);
    return net::RunDownloadTask(task.url, task.target, net::BandReporter(task.band, InstallRing())) ==
           net::DownloadCompleted;
}

// Steps 2 to 17 over the job's table; true when every file arrived and
// every pack unpacked. Every step runs whatever the earlier ones achieved.
bool RunSteps(const JobInputs& in) {
    const Text& d = in.folder;
    bool complete = true;
    const std::vector<FetchTask> fetches = FetchTasks(in);
    for (size_t i = 0; i < fetches.size(); ++i) {
        complete &= Fetch(fetches[i]);
        if (i == 0) rt::ProcessPendingEvents();  // once after the first download
    }

    rt::WriteIniValue(kProfileFile, "prompt", Text("prompt"), ProfilePrompt(in.brandShortName));
    rt::WriteIniValue(kProfileFile, "BASE", Text("path"), d);
    rt::CreateShortcut(rt::SpecialFolderPath(rt::kFolderDesktop) + in.productName + ".lnk",
                       ProgramPath(d, in.productName));
    launchPath = ProgramPath(d, in.productName);

    const std::vector<UnpackTask> unpacks = UnpackTasks(in);
    Set(ui::kStatusLabel, ui::kPropText, kUnpackingText);
    complete &= UnpackPack(unpacks[0].archive, unpacks[0].destination) == rt::kExtractDone;
    Set(ui::kStatusLabel, ui::kPropText, kFinishingText);
    if (IsDirectory(ResourceFolder(d))) ClearFolder(ResourceFolder(d));
    complete &= UnpackPack(unpacks[1].archive, unpacks[1].destination) == rt::kExtractDone;
    for (const UnpackTask& unpack : unpacks) rt::DeleteFile(unpack.archive);
    return complete;
}

// The entry has shown the install page and made the folders.
void RunInstallJob(const JobInputs& in, int startPage) {
    bool complete = false;
    // What escapes a step takes the failure path below: never a job left
    // on the install page with the exit button disabled.
    try {
        complete = RunSteps(in);
    } catch (...) {
        complete = false;
    }
    if (complete) {
        Set(ui::kPageContainer, ui::kPropCurrentPage, ui::kFinishPage);
        Set(ui::kExitButton, ui::kPropDisabled, false);
        return;
    }
    // Not reported as finished: the user hears why and can try again.
    Set(ui::kExitButton, ui::kPropDisabled, false);
    ui::PaintIfDirty();
    rt::MessageBox(kIncompleteText, 0, "提示", ui::WindowHandleOf(ui::kMainWindowId));
    Set(ui::kPageContainer, ui::kPropCurrentPage, startPage);
}

JobInputs InputsFor(const Text& folder) {
    return {folder, serverHost, productExeUrl, ProductName(), brandShortName};
}

// One job at a time: a click that reaches an install button while a job
// runs (during its first dispatch) is ignored.
class JobScope {
public:
    JobScope() : owner_(!g_jobRunning) { g_jobRunning = true; }
    ~JobScope() {
        if (owner_) g_jobRunning = false;
    }
    bool owner() const { return owner_; }

private:
    bool owner_;
};

}  // namespace

void QuickInstall() {
    JobScope scope;
    if (!scope.owner()) return;
    const Text d = defaultInstallFolder;
    rt::ProcessPendingEvents();
    ShowInstallPage();
    CreateInstallFolders(d, true);
    RunInstallJob(InputsFor(d), ui::kQuickInstallPage);
}

void CustomInstall() {
    JobScope scope;
    if (!scope.owner()) return;
    const Text d = customInstallFolder;
    rt::ProcessPendingEvents();
    CreateInstallFolders(d, false);
    ShowInstallPage();
    RunInstallJob(InputsFor(d), ui::kCustomInstallPage);
}

void ShowCustomInstallPage() {
    Set(ui::kPageContainer, ui::kPropCurrentPage, ui::kCustomInstallPage);
    Set(ui::kFolderBox, ui::kPropContent, defaultInstallFolder);
    customInstallFolder = defaultInstallFolder;
}

void BrowseInstallFolder() {
    const FolderChoice choice = ChooseCustomFolder(rt::BrowseForFolder("请选择欲安装的目录"), defaultInstallFolder);
    customInstallFolder = choice.customInstallFolder;
    Set(ui::kFolderBox, ui::kPropContent, choice.editBoxText);
}

int UnpackPack(const Text& archive, const Text& destination) {
    return rt::ExtractZip(archive, destination, [](int percent, rt::ExtractState&) {
        ui::MainModel().RaiseEvent(ui::kArchive, ui::kEventArchiveProgress, percent);
        // Unpacking dispatches no messages; the ring is painted directly.
        ui::PaintIfDirty();
    });
}

void ShowExtractProgress(int percent) {
    Set(ui::kProgressBar, ui::kPropPosition, percent);
    const std::int64_t position =
        ui::GetControlProperty(ui::kMainWindowId, ui::kProgressBar, ui::kPropPosition).AsInteger();
    Set(ui::kProgressLabel, ui::kPropText, rt::ToText(position) + "%");
}

void LaunchProduct() {
    rt::ProcessPendingEvents();
    const Bytes verb = ToWide("Open"), file = ToWide(launchPath), parameters = ToWide("");
    const wchar_t empty[] = L"";
    auto wide = [&](const Bytes& b) { return b.empty() ? empty : reinterpret_cast<const wchar_t*>(b.data()); };
    ::ShellExecuteW(nullptr, wide(verb), wide(file), wide(parameters), empty, SW_SHOWNORMAL);
    rt::EndProgram(0);
}

void RegisterInstallHandlers() {
    ui::RegisterHandler("QuickInstall", [](std::uint32_t, int) { QuickInstall(); });
    ui::RegisterHandler("CustomInstall", [](std::uint32_t, int) { CustomInstall(); });
    ui::RegisterHandler("ShowCustomInstallPage", [](std::uint32_t, int) { ShowCustomInstallPage(); });
    ui::RegisterHandler("BrowseInstallFolder", [](std::uint32_t, int) { BrowseInstallFolder(); });
    ui::RegisterHandler("ShowExtractProgress", [](std::uint32_t, int percent) { ShowExtractProgress(percent); });
    ui::RegisterHandler("LaunchProduct", [](std::uint32_t, int) { LaunchProduct(); });
}

}  // namespace app
